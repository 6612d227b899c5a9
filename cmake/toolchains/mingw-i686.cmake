# Cross build for i686 Windows with the mingw-w64 compilers of Debian (g++-mingw-w64-i686).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(SPARREL_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${SPARREL_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${SPARREL_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${SPARREL_MINGW_PREFIX}-windres)
set(CMAKE_OBJDUMP ${SPARREL_MINGW_PREFIX}-objdump)

# Headers and libraries come from the cross environment only; programs (the build's tools) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${SPARREL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
