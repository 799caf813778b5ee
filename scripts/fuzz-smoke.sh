#!/bin/sh
# Builds the libFuzzer target with clang in build-fuzz/ and runs it for about a
# minute from the seed corpus. Exits non-zero on any crash, leak or sanitizer
# report (the crashing input is left in build-fuzz/artifacts/).
#   scripts/fuzz-smoke.sh [SECONDS]
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUIRNEL_FUZZ=ON \
  -DQUIRNEL_SANITIZE=ON -DQUIRNEL_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzz_convert -j 2 >/dev/null

# New inputs go to a scratch corpus, so the committed seeds stay as they are.
mkdir -p "$build/corpus" "$build/artifacts"
# Runaway memory is a finding too, not only a crash.
"$build/fuzz/fuzz_convert" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -malloc_limit_mb=512 -print_final_stats=1 \
  -artifact_prefix="$build/artifacts/" "$build/corpus" fuzz/corpus
echo "fuzz-smoke: no crash in $seconds seconds"
