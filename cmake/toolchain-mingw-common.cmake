# Shared part of the mingw-w64 toolchain files: Debian's compilers of the posix thread model for
# ORVACCT_MINGW_TRIPLE, the target's own libraries and headers, and Wine to run what is built.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${ORVACCT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVACCT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVACCT_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVACCT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
