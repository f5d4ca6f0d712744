# Cross compilation for 64-bit Windows with the MinGW-w64 compilers of the
# distribution (Debian: package g++-mingw-w64-x86-64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(OMIRA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${OMIRA_MINGW_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${OMIRA_MINGW_TRIPLET}-g++)
set(CMAKE_RC_COMPILER ${OMIRA_MINGW_TRIPLET}-windres)

# Headers and libraries come from the target's sysroot only; build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${OMIRA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
