# Cross build for 32-bit ARM, hard-float (Debian armhf):
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/armhf.cmake
set(CMAKE_SYSTEM_PROCESSOR arm)
set(KORVAN_TRIPLET arm-linux-gnueabihf)
set(KORVAN_QEMU qemu-arm)
# GCC notes on every std::map iterator that its ARM parameter passing changed
# in GCC 7.1; everything here is built by one compiler, so the note is noise.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
