#!/usr/bin/env bash
# Formats the project's C++ sources with clang-format and .clang-format.
#   scripts/format.sh           rewrites the files that differ
#   scripts/format.sh --check   lists them and fails instead (CI runs this)
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
    clang-format --dry-run --Werror "${files[@]}"
    echo "format: ${#files[@]} files as .clang-format wants them"
else
    clang-format -i "${files[@]}"
fi
