# Shared part of the cross toolchain files: a Debian cross compiler for
# KORVAN_TRIPLET, with the target's libraries installed through Debian
# multi-arch (headers in /usr/include, libraries in /usr/lib/<triplet>), and
# qemu-user to run the target's programs on the build machine.
#
# The including file sets CMAKE_SYSTEM_PROCESSOR, KORVAN_TRIPLET and
# KORVAN_QEMU.
set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER ${KORVAN_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${KORVAN_TRIPLET}-g++)
set(CMAKE_STRIP ${KORVAN_TRIPLET}-strip CACHE FILEPATH "")
set(CMAKE_LIBRARY_ARCHITECTURE ${KORVAN_TRIPLET})

# pkg-config must see only the target's .pc files.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${KORVAN_TRIPLET}/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# Programs built for the target (the test programs during discovery and
# ctest, the program under test) run through the emulator. The dynamic
# loader and libraries come from the multi-arch directories of this machine.
find_program(KORVAN_QEMU_PATH ${KORVAN_QEMU} REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KORVAN_QEMU_PATH})
