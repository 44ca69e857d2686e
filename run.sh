#!/usr/bin/env bash
# Installs what is missing, builds in build/ and starts the client.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/packages.sh

BUILD_DIR=build
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARU_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD_DIR"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found. Run the client on a virtual display with: xvfb-run ./run.sh" >&2
  exit 1
fi

exec "$BUILD_DIR/bin/VaruPC"
