# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads variant):
#   cmake -S . -B build-windows -G Ninja -DREJKMX_GUI=OFF \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# Packages: g++-mingw-w64-x86-64-posix, and wine64 to run the results.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(REJKMX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${REJKMX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${REJKMX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${REJKMX_MINGW_PREFIX}-windres)

# Look for libraries and headers of the target only; programs come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${REJKMX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static C, C++ and winpthread runtimes: the .exe files run without any DLL beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# CTest and test discovery start the .exe files through Wine. Debian's wine64 package
# installs the loader outside PATH; the `wine` wrapper package is not needed.
find_program(REJKMX_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(REJKMX_WINE64 NAMES wine64 wine)
if(REJKMX_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${REJKMX_WINE64})
endif()
