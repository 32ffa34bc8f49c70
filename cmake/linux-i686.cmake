# 32-bit x86 Linux with Debian's cross compiler (g++-i686-linux-gnu) and libraries (libopenmpt-dev:i386,
# libgtest-dev:i386); the programs and tests run under qemu-i386-static.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(linux_triplet i686-linux-gnu)
set(linux_multiarch i386-linux-gnu)
set(linux_emulator qemu-i386-static)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
