#!/usr/bin/env bash
# Installs what is missing from Debian's packages, configures and builds. Safe to run again:
# nothing is installed twice and an unchanged tree rebuilds in seconds.
#
# Usage: setup.sh [program|all] [PACKAGE...]
#   program  what the program and marovellix-cli need to build and run; builds only them
#   all      (the default) besides, the test and benchmark libraries and the tools the checks
#            and the package use (help2man for the manual pages, lintian...); builds everything,
#            tests, benchmarks and manual pages included
# Packages named after the mode are installed too. With MAROVELLIX_PACKAGES_ONLY=1 it stops
# after the packages.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

mode=all
case "${1:-}" in
program | all)
  mode=$1
  shift
  ;;
esac

packages=(
  cmake g++ make pkg-config
  qt6-base-dev libqt6opengl6-dev qt6-charts-dev qt6-svg-dev libgl-dev qt6-translations-l10n fonts-liberation
  libcups2-dev libqt6sql6-sqlite
)
if [ "$mode" = all ]; then
  packages+=(
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth poppler-utils util-linux
    dpkg-dev file desktop-file-utils
    help2man locales man-db bash-completion appstream lintian
    cups cups-filters printer-driver-cups-pdf cups-client
    at-spi2-core python3-pyatspi dbus xdotool
  )
fi
packages+=("$@") # what a calling script needs besides
# Real package names only: a name another package merely provides (bookworm's "cups-pdf" is
# provided by printer-driver-cups-pdf) is never reported installed by dpkg-query, so every run
# would call apt-get again, and sudo with it.

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
  for p in "${missing[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      echo "setup.sh: '$p' is still not installed: a name that other packages only provide? Name the package itself" >&2
      exit 1
    fi
  done
fi

if [ "${MAROVELLIX_PACKAGES_ONLY:-0}" = 1 ]; then
  exit 0
fi

build_dir=${MAROVELLIX_BUILD_DIR:-build}
if [ "$mode" = program ]; then
  # A new build folder leaves the tests and benchmarks out, so that configuring needs neither
  # GoogleTest nor Google Benchmark; one the test command made keeps them, unbuilt here.
  if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DMAROVELLIX_BUILD_TESTS=OFF -DMAROVELLIX_BUILD_BENCH=OFF
  fi
  cmake --build "$build_dir" -j"$(nproc)" --target marovellix marovellix-cli marovellix_help
  exit 0
fi

if [ ! -f "$build_dir/CMakeCache.txt" ] \
  || ! grep -qx 'MAROVELLIX_BUILD_TESTS:BOOL=ON' "$build_dir/CMakeCache.txt" \
  || ! grep -qx 'MAROVELLIX_BUILD_BENCH:BOOL=ON' "$build_dir/CMakeCache.txt"; then
  cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMAROVELLIX_BUILD_TESTS=ON -DMAROVELLIX_BUILD_BENCH=ON
fi
cmake --build "$build_dir" -j"$(nproc)"
