#!/usr/bin/env bash
# Renders every page in its states into screenshots/ (or the folder given) for a person to
# look at. Uses the test build.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-screenshots}
./scripts/packages.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARU_WERROR=ON >/dev/null
cmake --build build-test --target screenshots
QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu build-test/tests/screenshots "$out"
echo "Screenshots are in $out/"
