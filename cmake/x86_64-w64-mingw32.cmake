# Cross build: 64-bit Windows binaries with mingw-w64, run through 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
# ctest runs the tests in the project's 64-bit Wine prefix,
# build/wineprefix64, where the 32-bit programs run on WoW64.
set(SSIKOVO_WINE_ARCH win64)
set(SSIKOVO_WINE_PREFIX wineprefix64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
