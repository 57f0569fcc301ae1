# Shared part of the mingw-w64 toolchain files; VELKORN_MINGW_TRIPLE is set by
# the file that includes this one.
set(CMAKE_SYSTEM_NAME Windows)

# The posix-threads variant: only its libstdc++ has std::thread and std::mutex,
# which GoogleTest needs.
set(CMAKE_C_COMPILER ${VELKORN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELKORN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELKORN_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELKORN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread linked in: a program needs no DLL beside
# Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
