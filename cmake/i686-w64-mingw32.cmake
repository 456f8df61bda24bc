# Cross build: 32-bit Windows binaries with mingw-w64, run through 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
# ctest runs the tests in the project's 32-bit Wine prefix, build/wineprefix.
set(SSIKOVO_WINE_ARCH win32)
set(SSIKOVO_WINE_PREFIX wineprefix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
