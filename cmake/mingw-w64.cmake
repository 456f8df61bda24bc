# The part of a mingw-w64 cross build that does not depend on the width;
# included by i686-w64-mingw32.cmake and x86_64-w64-mingw32.cmake after they
# set TOOLCHAIN_PREFIX, CMAKE_SYSTEM_PROCESSOR and the build's Wine
# architecture and prefix (SSIKOVO_WINE_ARCH, SSIKOVO_WINE_PREFIX).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_DLLTOOL ${TOOLCHAIN_PREFIX}-dlltool)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# ctest runs the .exe tests through the wrapper, and the other steps (the
# driver fixtures, the 32-bit programs of the 64-bit build) with the same
# environment, SSIKOVO_WINE_ENV: the build's own Wine and prefix, whatever
# the shell has exported.
get_filename_component(_ssikovo_root ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(SSIKOVO_WINE_ENV env WINEARCH=${SSIKOVO_WINE_ARCH}
    WINEPREFIX=${_ssikovo_root}/build/${SSIKOVO_WINE_PREFIX})
set(CMAKE_CROSSCOMPILING_EMULATOR ${SSIKOVO_WINE_ENV} ${_ssikovo_root}/tools/wine-run)
