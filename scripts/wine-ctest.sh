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

# Debian's wine script starts the 32-bit loader whenever it is installed, and
# lets it hand 64-bit programs on. A kernel without 32-bit support (some
# virtual machines) cannot start that loader: 64-bit programs then go to the
# 64-bit loader directly, through a "wine" of our own first on the PATH.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1 && [ -x /usr/lib/wine/wine64 ]; then
  shim=$(mktemp -d)
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/wine"
  chmod +x "$shim/wine"
  export PATH="$shim:$PATH"
fi
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
