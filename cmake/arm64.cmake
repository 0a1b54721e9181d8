# Cross build for 64-bit ARM (Debian arm64):
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/arm64.cmake
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(KORVAN_TRIPLET aarch64-linux-gnu)
set(KORVAN_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
