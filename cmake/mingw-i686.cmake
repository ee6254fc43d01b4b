# Cross-building Quorvel.exe for 32-bit Windows with Debian's MinGW-w64 (GCC, win32 threads).
#
#   cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
#
# Every program links libgcc and libstdc++ statically and imports system DLLs only.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(QUORVEL_MINGW_TRIPLET i686-w64-mingw32)

# The -win32 names pin the thread model: the -posix compilers would bring in libwinpthread,
# and the unsuffixed names follow update-alternatives.
set(CMAKE_C_COMPILER   ${QUORVEL_MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${QUORVEL_MINGW_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER  ${QUORVEL_MINGW_TRIPLET}-windres)
set(CMAKE_AR           ${QUORVEL_MINGW_TRIPLET}-gcc-ar-win32 CACHE FILEPATH "")
set(CMAKE_RANLIB       ${QUORVEL_MINGW_TRIPLET}-gcc-ranlib-win32 CACHE FILEPATH "")
set(CMAKE_STRIP        ${QUORVEL_MINGW_TRIPLET}-strip CACHE FILEPATH "")

# Headers and libraries come from the MinGW sysroot only; build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${QUORVEL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: no libgcc_s_dw2-1.dll, libstdc++-6.dll or libwinpthread-1.dll
# beside them. Section garbage collection drops what nothing calls.
set(CMAKE_C_FLAGS_INIT   "-ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--gc-sections")
# Optimised builds are stripped; Debug and RelWithDebInfo keep their symbols.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s")
