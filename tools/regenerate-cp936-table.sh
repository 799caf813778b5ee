#!/usr/bin/env bash
# Writes convert/text/cp936_table.cpp and tests/data/cp936-decoded.txt from code
# page 936 as Windows converts it (here: Wine), by running cp936_table.exe of
# a Windows build. Both files are committed; the tests check them against
# each other and, in the Windows build, against the system.
#   tools/regenerate-cp936-table.sh BUILD_DIR    (e.g. build/win-x86_64, built)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)

export WINEDEBUG=-all
export WINEPREFIX=${QUIRNEL_WINEPREFIX:-$root/build/wineprefix}
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
. "$root/scripts/wine-path.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Only a complete run replaces the committed files.
wine "$build/cp936_table.exe" >"$work/table.cpp" </dev/null
wine "$build/cp936_table.exe" --decoded >"$work/decoded.txt" </dev/null
mv "$work/table.cpp" "$root/convert/text/cp936_table.cpp"
mv "$work/decoded.txt" "$root/tests/data/cp936-decoded.txt"
echo "wrote convert/text/cp936_table.cpp and tests/data/cp936-decoded.txt"
