#!/usr/bin/env bash
# Sets up, builds and runs every test: the native suite under ASan/UBSan, a
# short fuzzing run, and the Windows builds (32- and 64-bit) with their tests
# under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/setup.sh windows

echo "== native build and tests (ASan/UBSan)"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DQUIRNEL_SANITIZE=ON >/dev/null
cmake --build build/native -j "$jobs"
(cd build/native && ctest --output-on-failure -j "$jobs")

if [ -x scripts/fuzz-smoke.sh ]; then
  echo "== fuzzing smoke run"
  scripts/fuzz-smoke.sh
fi

for arch in i686 x86_64; do
  echo "== Windows build ($arch) and its tests under Wine"
  cmake -S . -B "build/win-$arch" -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "build/win-$arch" -j "$jobs"
  scripts/check-package.sh "build/win-$arch"  # the zip for people: needs no Wine
  scripts/wine-ctest.sh "build/win-$arch"
done
echo "== all tests passed"
