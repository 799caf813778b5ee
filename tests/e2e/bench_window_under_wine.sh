#!/usr/bin/env bash
# Throughput of a conversion through the real window under Wine, against
# marc2tab.exe on the same file (both the same build, both under Wine).
#   tests/e2e/bench_window_under_wine.sh BUILD_DIR INPUT [ROUNDS]
# The driver clicks through the window as a person would and times from the
# first record counted on the progress label to the end message; marc2tab is
# timed from its start to its exit.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
input=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
rounds=${3:-3}

export WINEDEBUG=-all
export WINEPREFIX=${QUIRNEL_WINEPREFIX:-$here/../../build/wineprefix}
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -u
  here=$1; build=$2; input=$3; rounds=$4
  wineserver -p
  wine wineboot >/dev/null 2>&1 </dev/null
  "$here/../../scripts/wine-prefix-setup.sh"
  wine "$build/tests/e2e/quirnel_driver.exe" bench "Z:$build/ui/quirnel.exe" "Z:$build/cli/marc2tab.exe" \
       "Z:$input" "Z:$build/tests/e2e/bench" "$rounds"; rc=$?
  rm -rf "$build/tests/e2e/bench"
  wineserver -k; wineserver -w; exit $rc' bash "$here" "$build" "$input" "$rounds"
