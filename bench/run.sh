#!/bin/sh
# Builds the Release benchmarks, makes a 220 MB CNMARC file (once), warms the
# page cache and times the conversion against the read-and-split baseline,
# the census against the conversion, the field chooser's tick, workbooks through the conversion and the
# memory of a very wide row, then the workbook writer at each zlib level.
#   bench/run.sh [MEGABYTES]
# The build and the data live in build-bench/ (not committed).
set -eu
cd "$(dirname "$0")/.."
megabytes=${1:-220}
build=build-bench
data=$build/data/cnmarc-seed1-${megabytes}mb.iso

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUIRNEL_BENCH=ON -DQUIRNEL_TESTS=OFF >/dev/null
make -C "$build" -j2 make_cnmarc bench_convert bench_census bench_preview bench_xlsx marc2tab >/dev/null

mkdir -p "$build/data"
if [ ! -f "$data" ]; then
  "$build/bench/make_cnmarc" --seed 1 --megabytes "$megabytes" --line-breaks crlf "$data"
fi
utf8=$build/data/cnmarc-seed1-${megabytes}mb-utf8.iso
if [ ! -f "$utf8" ]; then
  "$build/bench/make_cnmarc" --seed 1 --megabytes "$megabytes" --line-breaks crlf --utf8 "$utf8"
fi
cat "$data" "$utf8" >/dev/null  # into the page cache

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'),"\
     "$(free -m | awk '/^Mem:/ {print $2}') MiB memory"
"$build/bench/bench_convert" --repeat 5 "$data"
echo "GBK records, UTF-8 output:";   "$build/bench/bench_convert" --repeat 5 --encoding utf-8 "$data" | sed -n 3p
echo "UTF-8 records, GBK output:";   "$build/bench/bench_convert" --repeat 5 "$utf8" | sed -n 3p
echo "UTF-8 records, UTF-8 output:"; "$build/bench/bench_convert" --repeat 5 --encoding utf-8 "$utf8" | sed -n 3p
echo "census against a conversion with the default field list:"
"$build/bench/bench_census" --repeat 5 "$data" | tail -n +2
"$build/bench/bench_census" --repeat 5 "$utf8" | tail -n +2
echo "the field chooser's tick:"
"$build/bench/bench_preview" --repeat 5 "$data"

if command -v hyperfine >/dev/null 2>&1; then
  out=$build/data/marc2tab-out.txt
  hyperfine --warmup 1 --runs 5 --prepare "rm -f $out" \
    -n 'cat (read only)' "cat $data" \
    -n 'marc2tab, empty field list (split and write)' "$build/cli/marc2tab --fields '' $data $out" \
    -n 'marc2tab, default field list' "$build/cli/marc2tab $data $out"
  rm -f "$out"
fi

echo "Workbooks through the whole conversion:"
"$build/bench/bench_convert" --repeat 5 --format xlsx "$data" | sed -n 3p
echo "The largest resident size of one row of 1,000 and 3,000 x 200a*, text then workbook:"
for items in 1000 3000; do
  for format in tsv xlsx; do "$build/bench/bench_xlsx" --wide-row "$items" --format "$format" "$build/data"; done
done

echo "The workbook writer at each zlib level (see BENCHMARKS.md):"
"$build/bench/bench_xlsx" --repeat 3
