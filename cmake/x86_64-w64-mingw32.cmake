# Cross build: 64-bit Windows binaries with mingw-w64, run through 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
# ctest runs the tests in the project's 64-bit Wine prefix, build/wineprefix64,
# where the 32-bit programs run on WoW64: the .exe tests through the wrapper,
# the other steps (the driver fixtures, the 32-bit programs) with the same
# environment, SSIKOVO_WINE_ENV.
get_filename_component(_ssikovo_root ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(SSIKOVO_WINE_ENV env WINEARCH=win64 WINEPREFIX=${_ssikovo_root}/build/wineprefix64)
set(CMAKE_CROSSCOMPILING_EMULATOR ${SSIKOVO_WINE_ENV} ${_ssikovo_root}/tools/wine-run)
