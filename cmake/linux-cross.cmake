# Cross-compiling for another Linux CPU with Debian's cross compilers and the target's multiarch
# libraries; included by the toolchain files, which set the triplet, the multiarch directory and the
# emulator. CMake runs every program it builds (tools, tests) through the emulator.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${linux_triplet}-gcc)
set(CMAKE_CXX_COMPILER ${linux_triplet}-g++)
find_program(linux_emulator_path ${linux_emulator} REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${linux_emulator_path})
set(CMAKE_FIND_ROOT_PATH /usr/${linux_triplet})
set(CMAKE_LIBRARY_ARCHITECTURE ${linux_multiarch})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
# pkg-config finds the target's .pc files only.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${linux_multiarch}/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
