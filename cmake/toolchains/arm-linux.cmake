# Shared part of the ARM toolchain files: Debian 12's multiarch cross compilers
# and the target's libraries in the multiarch folders of the build root
# (scripts/cross-build.sh). Set TALLYPORT_TRIPLET and CMAKE_SYSTEM_PROCESSOR
# first. Test programs run through qemu-user; -L names the root whose
# multiarch folders hold the target's dynamic loader and libraries.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${TALLYPORT_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${TALLYPORT_TRIPLET}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${TALLYPORT_TRIPLET})

# Programs (moc, rcc, lrelease, mosquitto) from the build machine; libraries,
# headers and CMake packages of the target only.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config of the target architecture (libmosquitto, qrcodegencpp, libsystemd).
set(PKG_CONFIG_EXECUTABLE ${TALLYPORT_TRIPLET}-pkg-config CACHE FILEPATH "pkg-config of the target")

set(TALLYPORT_QEMU_ROOT "/" CACHE PATH "Root holding the target's loader and libraries, for qemu-user")
set(CMAKE_CROSSCOMPILING_EMULATOR ${TALLYPORT_QEMU} -L ${TALLYPORT_QEMU_ROOT})
