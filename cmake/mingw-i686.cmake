# The Windows programs: 32-bit, as the target systems run them.
# Debian: g++-mingw-w64-i686.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(VELKORN_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
