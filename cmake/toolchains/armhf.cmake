# 32-bit ARM (hard float), Debian's armhf: see arm-linux.cmake.
set(CMAKE_SYSTEM_PROCESSOR arm)
set(TALLYPORT_TRIPLET arm-linux-gnueabihf)
set(TALLYPORT_QEMU qemu-arm-static)
include(${CMAKE_CURRENT_LIST_DIR}/arm-linux.cmake)
