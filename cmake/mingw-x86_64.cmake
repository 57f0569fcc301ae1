# The same Windows programs built 64-bit, only to run the tests under Wine on
# hosts that cannot execute 32-bit code. Debian: g++-mingw-w64-x86-64.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(VELKORN_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
