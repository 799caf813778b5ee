#!/usr/bin/env bash
# Runs the checks of .clang-tidy on the portable sources (the core,
# marc2tab, the POSIX platform), from a native build's compile commands.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/tidy -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
run-clang-tidy -p build/tidy -quiet 'convert/|cli/|platform/posix/|tests/core/|tests/cli/|tests/xlsx/' 2>/dev/null
