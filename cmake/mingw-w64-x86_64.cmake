# Cross build for 64-bit Windows with Debian's mingw-w64, tests run under Wine.
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DPIMINGBAO_BUILD_QT=OFF
#
# Every program is linked statically (C and C++ runtimes, winpthreads, libgcrypt), so an
# .exe runs on its own, without a DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PIMINGBAO_MINGW_TRIPLE x86_64-w64-mingw32)
set(PIMINGBAO_MINGW_SYSROOT /usr/${PIMINGBAO_MINGW_TRIPLE})

# The -posix compilers: the -win32 ones come without std::thread and std::mutex.
set(CMAKE_C_COMPILER ${PIMINGBAO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PIMINGBAO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PIMINGBAO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH ${PIMINGBAO_MINGW_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# pkg-config answers from the Windows libraries only, and for static linking, so that
# libgcrypt brings libgpg-error and ws2_32 along.
set(ENV{PKG_CONFIG_LIBDIR} ${PIMINGBAO_MINGW_SYSROOT}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
set(PKG_CONFIG_ARGN --static CACHE STRING "Arguments to supply to pkg-config")

# Tests (and the test discovery after each build) run through Wine, in a prefix of this
# build folder's own.
get_filename_component(PIMINGBAO_WINE_RUN "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${PIMINGBAO_WINE_RUN};--prefix;${CMAKE_BINARY_DIR}/wine-prefix")
