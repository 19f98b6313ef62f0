# The pendant's processor, armhf (scripts/install-deps --cross armhf).
set(crossProcessor arm)
set(crossTriplet arm-linux-gnueabihf)
set(crossEmulator qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
