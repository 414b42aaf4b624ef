# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix: the
# posix thread model, which std::thread and std::mutex need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZORVAN_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZORVAN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZORVAN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZORVAN_MINGW_PREFIX}-windres)

# Appended, not set: a Qt for MinGW named on the command line must stay in the search roots,
# since packages are looked for under those roots only.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${ZORVAN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
