#!/usr/bin/env bash
# Installs what is missing, builds in build-test/ with warnings as errors, checks the
# formatting and runs the whole suite. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/packages.sh

BUILD_DIR=build-test
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARU_WERROR=ON >/dev/null
cmake --build "$BUILD_DIR"

./scripts/check-format.sh

cd "$BUILD_DIR"
ctest -j"$(nproc)" --output-on-failure
