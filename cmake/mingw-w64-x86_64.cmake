# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 compilers
# (g++-mingw-w64-x86-64-posix: the POSIX thread model, which std::thread needs).
#
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DVANTREL_WINDOWS_DEPS=<folder with bin/, include/ and lib/ of SDL2 and friends>
#
# Libraries, headers and CMake packages are looked for only in the MinGW-w64
# system folder and in VANTREL_WINDOWS_DEPS, never among the Linux ones.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VANTREL_MINGW_HOST x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VANTREL_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTREL_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${VANTREL_MINGW_HOST}-windres)

# The toolchain file is read again for every try_compile; pass the folder on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VANTREL_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/${VANTREL_MINGW_HOST})
if(VANTREL_WINDOWS_DEPS)
  list(PREPEND CMAKE_FIND_ROOT_PATH "${VANTREL_WINDOWS_DEPS}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
