#!/usr/bin/env bash
# Builds the zip of a Windows build and checks what a person gets: both
# programs without debug sections and with their version resource, importing
# only Windows system DLLs (no libgcc, libstdc++ or winpthread DLL to ship),
# the sample file, and the user guide as UTF-8 text with a byte order mark and
# CR LF line ends.
#   scripts/check-package.sh BUILD_DIR
set -euo pipefail
build=$1
cmake --build "$build" --target package-zip >/dev/null
objdump=$(sed -n 's/^CMAKE_OBJDUMP:FILEPATH=//p' "$build/CMakeCache.txt")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zip=$(cd "$build" && ls "$PWD"/quirnel-*.zip)
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
(cd "$unpacked" && cmake -E tar xf "$zip")
folder=$unpacked/quirnel

fail() { echo "check-package: $zip: $*" >&2; exit 1; }

for file in quirnel.exe marc2tab.exe sample.iso user-guide.txt; do
  [ -s "$folder/$file" ] || fail "$file is missing"
done
for exe in quirnel.exe marc2tab.exe; do
  imports=$("$objdump" -p "$folder/$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  for dll in $imports; do
    case "$dll" in
      kernel32.dll|user32.dll|gdi32.dll|comdlg32.dll|comctl32.dll|shell32.dll|advapi32.dll|msimg32.dll|\
      msvcrt.dll|ole32.dll|shlwapi.dll|api-ms-win-*.dll) ;;
      *) fail "$exe imports $dll, which Windows does not have" ;;
    esac
  done
  if "$objdump" -h "$folder/$exe" | grep -q '\.debug_'; then fail "$exe carries debug sections"; fi
  for text in Quirnel "$version" "${exe%.exe}"; do
    strings -e l "$folder/$exe" | grep -qx "$text" || fail "$exe has no version resource naming $text"
  done
done
[ "$(head -c 3 "$folder/user-guide.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "the guide lacks its byte order mark"
lines=$(wc -l <"$folder/user-guide.txt")
[ "$lines" -gt 0 ] && [ "$(grep -c $'\r$' "$folder/user-guide.txt")" = "$lines" ] || fail "the guide's lines do not all end in CR LF"
echo "check-package: $zip is complete"
