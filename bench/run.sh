#!/usr/bin/env bash
# Builds the benchmarks and runs them; prints their figures. Not part of the test run.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/packages.sh
BUILD_DIR=build-bench
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARU_BUILD_TESTS=OFF -DVARU_BUILD_BENCH=ON >/dev/null
cmake --build "$BUILD_DIR" --target bench_transfer bench_figures varusim
cd "$BUILD_DIR/bench"
ln -sfn ../bin/tool tool
QT_QPA_PLATFORM=offscreen ./bench_figures "$@"
./bench_transfer ../bin/varusim
