# Cross build for 32-bit (i686) Windows, the product, with mingw-w64; runs under Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ORVACCT_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
