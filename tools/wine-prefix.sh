# Sourced by the Wine helpers: the Wine architecture and the project's prefix
# for it, unless WINEPREFIX names another. WINEARCH=win32 (the default) is
# 32-bit Wine in build/wineprefix; WINEARCH=win64 is 64-bit Wine in
# build/wineprefix64, which runs 64-bit programs and 32-bit ones on WoW64.
export WINEARCH=${WINEARCH:-win32}
case $WINEARCH in
  win32) export WINEPREFIX=${WINEPREFIX:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wineprefix} ;;
  win64) export WINEPREFIX=${WINEPREFIX:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wineprefix64} ;;
  *) echo "WINEARCH must be win32 or win64, not $WINEARCH" >&2; exit 2 ;;
esac
