# 64-bit ARM, Debian's arm64: see arm-linux.cmake.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(TALLYPORT_TRIPLET aarch64-linux-gnu)
set(TALLYPORT_QEMU qemu-aarch64-static)
include(${CMAKE_CURRENT_LIST_DIR}/arm-linux.cmake)
