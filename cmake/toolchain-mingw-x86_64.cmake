# Cross build for 64-bit (x86_64) Windows, for 64-bit clients, with mingw-w64; runs under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORVACCT_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
