#!/usr/bin/env bash
# Compares the bytes two builds of marc2tab write: text in GBK and in UTF-8,
# and workbooks, for the bundled sample, the third-party files and generated
# GBK and UTF-8 files. For changes that must not change what is written.
#   scripts/compare-outputs.sh OLD_MARC2TAB NEW_MARC2TAB [MAKE_CNMARC]
# Under Wine, give "wine path/marc2tab.exe" as either program.
set -euo pipefail
old=$1; new=$2; make_cnmarc=${3:-}
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT

inputs=("$here/samples/sample.iso")
while IFS= read -r -d '' file; do inputs+=("$file"); done \
  < <(find "$here/tests/data/third-party" -type f \( -name '*.mrc' -o -name '*.iso' -o -name '*.marc' -o -name '*.dat' \) -print0 | sort -z)
if [ -n "$make_cnmarc" ]; then
  $make_cnmarc --records 3000 "$work/gbk.iso" >/dev/null
  $make_cnmarc --records 3000 --utf8 "$work/utf8.iso" >/dev/null
  $make_cnmarc --records 2000 --shape dense-subfields "$work/dense.iso" >/dev/null
  inputs+=("$work/gbk.iso" "$work/utf8.iso" "$work/dense.iso")
fi

lists=("" "001a,200a*,000?,701a*,100a,200A")
compared=0 differing=0
for input in "${inputs[@]}"; do
  for fields in "${lists[@]}"; do
    for form in "--encoding gbk out.txt" "--encoding utf-8 out.txt" "--format xlsx out.xlsx"; do
      set -- $form
      options=("$1" "$2"); name=$3
      [ -n "$fields" ] && options+=(--fields "$fields")
      for side in old new; do
        mkdir -p "$work/$side"; rm -f "$work/$side/$name"
        program=${!side}
        (cd "$work/$side" && $program "${options[@]}" "$input" "$name" >/dev/null 2>&1) || true
      done
      compared=$((compared + 1))
      if ! cmp -s "$work/old/$name" "$work/new/$name"; then
        differing=$((differing + 1))
        echo "differs: $(basename "$input") ${options[*]}"
      fi
    done
  done
done
echo "compare-outputs: $compared outputs compared, $differing differ"
[ "$differing" -eq 0 ]
