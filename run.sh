#!/usr/bin/env bash
# Installs what is missing, builds in build/, starts the local service simulator (unless a
# service already answers on its port) and then the launcher, which refreshes the desktop
# shortcut and starts the client. The simulator started here stops when the client exits.
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

port=$(sed -n 's/^VARU_SERVICE_PORT:STRING=//p' "$BUILD_DIR/CMakeCache.txt")
url=$(sed -n 's/^VARU_SERVICE_URL:STRING=//p' "$BUILD_DIR/CMakeCache.txt")
sim_pid=""
sim_dir=""
client="$(pwd)/$BUILD_DIR/bin/VaruPC"
client_pids() { pgrep -f -x "$client" || true; }
cleanup() {
  for pid in $(client_pids); do
    kill "$pid" 2>/dev/null || true
  done
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  [ -n "$sim_dir" ] && rm -rf "$sim_dir"
}
trap cleanup EXIT INT TERM

if [ "$url" = "http://127.0.0.1:$port" ] && ! curl -s -o /dev/null --max-time 2 "$url/index/pcVersion"; then
  sim_dir=$(mktemp -d)
  "$BUILD_DIR/bin/varusim" --port "$port" --data-dir "$sim_dir" >/dev/null &
  sim_pid=$!
  for _ in $(seq 50); do
    curl -s -o /dev/null --max-time 1 "$url/index/pcVersion" && break
    sleep 0.1
  done
fi

# The embedded browser: no sandbox for root, and software rendering where there may be
# no GPU (a virtual display).
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
export QT_QUICK_BACKEND=${QT_QUICK_BACKEND:-software}

"$BUILD_DIR/VaruPC"
# The launcher returns at once; the client runs on until its window is closed.
for _ in $(seq 50); do
  [ -n "$(client_pids)" ] && break
  sleep 0.1
done
while [ -n "$(client_pids)" ]; do
  sleep 0.5
done
