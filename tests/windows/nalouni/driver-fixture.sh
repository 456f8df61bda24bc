#!/usr/bin/env bash
# The nalouni_driver fixture: installs and starts the port driver in the Wine
# prefix of the tests, and removes it afterwards.
#   driver-fixture.sh setup <wine-run> <nalouni.exe> [install options, e.g. --image X.sys]
#   driver-fixture.sh cleanup <wine-run> <nalouni.exe>
# A driver runs in winedevice.exe, which Wine ends together with the
# prefix's wineserver as soon as the last program has exited; so setup makes
# the wineserver persistent, and cleanup ends it ("wineserver -k").
set -euo pipefail
step=$1 winerun=$2 tool=$3
shift 3
here=$(cd "$(dirname "$winerun")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Wine's daemons must not hold ctest's output pipes: they get a file.
run() { "$winerun" "$@" >"$log" 2>&1 </dev/null; local rc=$?; cat "$log"; return $rc; }

case $step in
setup)
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    run cmd /c exit 0 || true   # wine-run creates the prefix
  fi
  timeout 60 wineserver -w || true   # a server without persistence ends
  wineserver -p >/dev/null 2>&1 </dev/null
  run "$tool" install "$@"
  ;;
cleanup)
  rc=0
  # A driver that refuses to stop goes only with its host: end Wine, then
  # remove the service that is left stopped.
  if ! run "$tool" uninstall; then
    wineserver -k >/dev/null 2>&1 || true
    run "$tool" uninstall || rc=$?
  fi
  wineserver -k >/dev/null 2>&1 || true
  exit $rc
  ;;
*)
  echo "usage: $0 setup|cleanup <wine-run> <nalouni.exe> [install options]" >&2
  exit 2
  ;;
esac
