# 64-bit Arm Linux with Debian's cross compiler (g++-aarch64-linux-gnu) and libraries
# (libopenmpt-dev:arm64, libgtest-dev:arm64); the programs and tests run under qemu-aarch64-static.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(linux_triplet aarch64-linux-gnu)
set(linux_multiarch aarch64-linux-gnu)
set(linux_emulator qemu-aarch64-static)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
