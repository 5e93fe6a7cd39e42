#!/usr/bin/env bash
# Installs what is missing from Debian's packages, configures and builds. Safe to run again:
# nothing is installed twice and an unchanged tree rebuilds in seconds. Packages named as
# arguments are installed too. With MAROVELLIX_PACKAGES_ONLY=1 it stops after the packages.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

packages=(
  cmake g++ make pkg-config
  qt6-base-dev libqt6opengl6-dev qt6-charts-dev libgl-dev qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth poppler-utils fonts-liberation util-linux
  dpkg-dev file desktop-file-utils
  "$@" # what a calling script needs besides
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ "${MAROVELLIX_PACKAGES_ONLY:-0}" = 1 ]; then
  exit 0
fi

build_dir=${MAROVELLIX_BUILD_DIR:-build}
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build_dir" -j"$(nproc)"
