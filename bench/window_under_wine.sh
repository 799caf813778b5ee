#!/usr/bin/env bash
# Throughput of a conversion through the real window under Wine, against
# marc2tab.exe on the same file (both from the same Windows build, both under
# Wine). Builds the benchmark driver (bench/window_bench.cpp) in that build.
#   bench/window_under_wine.sh BUILD_DIR INPUT [ROUNDS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
input=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
rounds=${3:-3}
cmake -S "$here/.." -B "$build" -DQUIRNEL_BENCH=ON >/dev/null
cmake --build "$build" --target bench_window -j2 >/dev/null

. "$here/../scripts/wine-path.sh"
export WINEDEBUG=-all
export WINEPREFIX=${QUIRNEL_WINEPREFIX:-$here/../build/wineprefix}
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -u
  here=$1; build=$2; input=$3; rounds=$4
  wineserver -p
  wine wineboot >/dev/null 2>&1 </dev/null
  "$here/../scripts/wine-prefix-setup.sh"
  wine "$build/bench/bench_window.exe" "Z:$build/ui/quirnel.exe" "Z:$build/cli/marc2tab.exe" \
       "Z:$input" "Z:$build/bench-window" "$rounds"; rc=$?
  rm -rf "$build/bench-window"
  wineserver -k; wineserver -w; exit $rc' bash "$here" "$build" "$input" "$rounds"
