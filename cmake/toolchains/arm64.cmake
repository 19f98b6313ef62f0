# The pendant's processor, arm64 (scripts/install-deps --cross arm64).
set(crossProcessor aarch64)
set(crossTriplet aarch64-linux-gnu)
set(crossEmulator qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
