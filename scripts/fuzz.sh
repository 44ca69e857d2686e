#!/usr/bin/env bash
# Builds the libFuzzer programs with clang in build-fuzz/ and runs each for a bounded time,
# starting from the committed seeds in fuzz/corpus/. New inputs go to build-fuzz/corpus/,
# a finding to build-fuzz/findings/ (the run then fails).
#   scripts/fuzz.sh                  every program for 20 seconds (the CI guard)
#   scripts/fuzz.sh 600              every program for ten minutes
#   scripts/fuzz.sh 600 fuzz_binaryxml fuzz_service_reply   just those
# FUZZ_SEED=N makes a run repeat itself (CI uses one); by default each run differs.
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_EACH=${1:-20}
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(fuzz_binaryxml fuzz_keytool_listing fuzz_aapt_badging fuzz_service_reply)

./scripts/packages.sh
BUILD_DIR=build-fuzz
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVARU_BUILD_FUZZ=ON -DVARU_BUILD_TESTS=OFF -DVARU_WERROR=ON >/dev/null
cmake --build "$BUILD_DIR" --target "${TARGETS[@]}"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
# The suite's leak suppressions: third-party libraries only (see the file).
export LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p "$BUILD_DIR/findings"
for target in "${TARGETS[@]}"; do
  corpus="$BUILD_DIR/corpus/$target"
  mkdir -p "$corpus"
  echo "== $target: ${SECONDS_EACH}s"
  "$BUILD_DIR/fuzz/$target" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -seed="${FUZZ_SEED:-0}" -print_final_stats=1 \
    -artifact_prefix="$BUILD_DIR/findings/$target-" \
    "$corpus" "fuzz/corpus/$target" 2>"$BUILD_DIR/$target.log" ||
    { tail -60 "$BUILD_DIR/$target.log"; echo "$target: finding in $BUILD_DIR/findings/" >&2; exit 1; }
  grep -E "^stat::(number_of_executed_units|new_units_added)" "$BUILD_DIR/$target.log" | tr '\n' ' '
  echo
done
