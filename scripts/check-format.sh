#!/usr/bin/env bash
# Fails when a C++ source of the project is not as clang-format would write it.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h')
[ ${#files[@]} -eq 0 ] && exit 0
if ! clang-format --dry-run --Werror "${files[@]}"; then
  echo "Formatting differs from .clang-format; fix with: clang-format -i <file>" >&2
  exit 1
fi
