# The pendant's processor, arm64, with Debian's cross compiler and its multiarch Qt 5 and pugixml
# (scripts/install-deps --cross arm64). Tests run under qemu-user, through CTest's emulator.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)
# Libraries and headers of the target's architecture; programs (moc, uic, rcc, lrelease) of this
# machine's.
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
execute_process(COMMAND dpkg-architecture -qDEB_BUILD_MULTIARCH OUTPUT_VARIABLE buildArch OUTPUT_STRIP_TRAILING_WHITESPACE)
set(Qt5LinguistTools_DIR /usr/lib/${buildArch}/cmake/Qt5LinguistTools CACHE PATH "the build machine's translation tools")
