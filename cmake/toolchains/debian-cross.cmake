# What the pendant's toolchains share: Debian's cross compiler of crossTriplet and its multiarch
# Qt 5 and pugixml, tests under qemu-user through CTest's emulator. Included by arm64.cmake and
# armhf.cmake once they set crossProcessor, crossTriplet and crossEmulator.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${crossProcessor})
set(CMAKE_C_COMPILER ${crossTriplet}-gcc)
set(CMAKE_CXX_COMPILER ${crossTriplet}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${crossTriplet})
set(CMAKE_CROSSCOMPILING_EMULATOR ${crossEmulator})
# Libraries and headers of the target's architecture; programs (moc, uic, rcc, lrelease) of this
# machine's.
set(CMAKE_FIND_ROOT_PATH /usr/${crossTriplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
execute_process(COMMAND dpkg-architecture -qDEB_BUILD_MULTIARCH OUTPUT_VARIABLE buildArch OUTPUT_STRIP_TRAILING_WHITESPACE)
set(Qt5LinguistTools_DIR /usr/lib/${buildArch}/cmake/Qt5LinguistTools CACHE PATH "the build machine's translation tools")
