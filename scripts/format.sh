#!/usr/bin/env bash
# Formats the tree's C++ with .clang-format (the generated code page table
# is left as it was made). --check only says whether anything would change.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.h' '*.c' | grep -v 'convert/text/cp936_table.cpp')
if [ "${1:-}" = --check ]; then
  clang-format --dry-run --Werror $files
else
  clang-format -i $files
fi
