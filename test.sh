#!/usr/bin/env bash
# Installs what is missing, builds in build-test/ with warnings as errors, checks the
# formatting and runs the whole suite. Exits non-zero on any failure.
#   ./test.sh             the whole suite
#   ./test.sh --sanitize  the non-GUI suite built with AddressSanitizer and UBSan, in
#                         build-sanitize/
set -euo pipefail
cd "$(dirname "$0")"

./scripts/packages.sh

if [ "${1:-}" = "--sanitize" ]; then
  BUILD_DIR=build-sanitize
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARU_WERROR=ON -DVARU_SANITIZE=ON >/dev/null
  cmake --build "$BUILD_DIR"
  cd "$BUILD_DIR"
  # Leak reports of Qt's and fontconfig's one-time allocations are suppressed there alone.
  export LSAN_OPTIONS="suppressions=$(pwd)/../scripts/lsan.supp:print_suppressions=0"
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  ctest -j"$(nproc)" --output-on-failure -LE "gui|crash"
  exit
fi

BUILD_DIR=build-test
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARU_WERROR=ON >/dev/null
cmake --build "$BUILD_DIR"

./scripts/check-format.sh

cd "$BUILD_DIR"
ctest -j"$(nproc)" --output-on-failure
