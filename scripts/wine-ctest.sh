#!/usr/bin/env bash
# Runs ctest for a Windows build directory under Wine, headless under Xvfb at
# depth 24, with Chinese fonts linked in. A Wine prefix is created once and
# kept in $QUIRNEL_WINEPREFIX (default: build/wineprefix next to the sources).
#   scripts/wine-ctest.sh BUILD_DIR [ctest arguments...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
shift

export WINEDEBUG=-all
export WINEPREFIX=${QUIRNEL_WINEPREFIX:-$here/../build/wineprefix}
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono/Gecko installer prompts
mkdir -p "$WINEPREFIX"

. "$here/wine-path.sh"
export WINEPREFIX=$(cd "$(dirname "$WINEPREFIX")" && pwd)/$(basename "$WINEPREFIX")

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -u
  here=$1; build=$2; shift 2
  wineserver -p                                  # one server for the whole run
  wine wineboot >/dev/null 2>&1 </dev/null       # create the prefix, start its services quietly
  "$here/wine-prefix-setup.sh"
  # Trust Wine only once a tiny exe of this very build has printed its line and returned 42.
  set +e
  out=$(wine "$build/wine_check.exe" 2>/dev/null </dev/null); rc=$?
  set -e
  if [ "$rc" != 42 ] || [ "${out%%$'"'"'\r'"'"'*}" != "wine-check: alive" ]; then
    echo "wine-ctest: Wine does not run this build (exit $rc, output \"$out\"); is wine32 installed?" >&2
    wineserver -k; exit 1
  fi
  cd "$build" && ctest --output-on-failure "$@"; rc=$?
  wineserver -k; wineserver -w; exit $rc' bash "$here" "$build" "$@"
