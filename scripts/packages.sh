#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing the client need.
# Only missing packages are installed, so a second run costs a few dpkg queries.
set -euo pipefail

PACKAGES=(
  # build
  cmake ninja-build g++ pkg-config clang-format
  # fuzzing (scripts/fuzz.sh)
  clang libfuzzer-14-dev
  # the local service simulator
  libcpp-httplib-dev curl
  qtbase5-dev qtbase5-dev-tools qtwebengine5-dev
  # external tools driven by the client (they are linked into bin/tool/)
  aapt zipalign zip unzip openjdk-17-jdk-headless
  # test fixtures and judges: real APKs are compiled against the framework resources,
  # signed outputs are checked by apksigner
  android-framework-res apksigner
  # benchmarks: the usual way of making channel APKs, and whole-command timing
  apktool hyperfine
  # widgets under a virtual display, with a font that has the Chinese texts
  xvfb xauth fonts-noto-cjk
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing Debian packages: ${missing[*]}" >&2
  echo "Install them as root: apt-get install --no-install-recommends ${missing[*]}" >&2
  exit 1
fi

echo "Installing Debian packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# The recommends of Qt's packages pull in system daemons: never take them.
if ! apt-get install -y -q --no-install-recommends "${missing[@]}"; then
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
