#!/usr/bin/env bash
# Sets up, builds and runs every test: the native suite under ASan/UBSan, a
# short fuzzing run, and the Windows builds (32- and 64-bit) with their tests
# under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/setup.sh windows

echo "== formatting and static checks"
scripts/format.sh --check
scripts/tidy.sh

echo "== native build and tests (ASan/UBSan)"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DQUIRNEL_SANITIZE=ON >/dev/null
cmake --build build/native -j "$jobs"
(cd build/native && ctest --output-on-failure -j "$jobs")

if [ -x scripts/fuzz-smoke.sh ]; then
  echo "== fuzzing smoke run"
  scripts/fuzz-smoke.sh
fi

# Wine runs a 32-bit program through its 32-bit loader, a Linux i386 program;
# a kernel built without 32-bit support (some virtual machines) cannot start
# it at all. The 32-bit build is then compiled but its tests cannot run.
kernel_runs_32bit() {
  [ -x /usr/lib/wine/wine ] || { echo "test.sh: the 32-bit Wine loader is missing (wine32:i386)" >&2; exit 1; }
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

for arch in i686 x86_64; do
  echo "== Windows build ($arch) and its tests under Wine"
  cmake -S . -B "build/win-$arch" -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "build/win-$arch" -j "$jobs"
  scripts/check-package.sh "build/win-$arch"  # the zip for people: needs no Wine
  if [ "$arch" = i686 ] && ! kernel_runs_32bit; then
    echo "== NOTE: this machine's kernel runs no 32-bit programs, so Wine cannot start the 32-bit build;"
    echo "   it was compiled and packed, and its tests are skipped here (they run wherever 32-bit programs can)."
    continue
  fi
  scripts/wine-ctest.sh "build/win-$arch"
done
echo "== all tests passed"
