#!/usr/bin/env bash
# Installs what is missing, builds in build/, starts the local service simulator (unless a
# service already answers on its port) and then the client. The simulator started here is
# stopped when the client exits.
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
client_pid=""
cleanup() {
  if [ -n "$client_pid" ]; then
    kill "$client_pid" 2>/dev/null || true
  fi
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

# In the background, so that an interrupt stops the client and the simulator at once.
"$BUILD_DIR/bin/VaruPC" &
client_pid=$!
status=0
wait "$client_pid" || status=$?
client_pid=""
exit "$status"
