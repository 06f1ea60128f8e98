#!/usr/bin/env bash
# Sets up, builds and makes the Debian package tervane_<version>_<arch>.deb in build/.
# Install it with: sudo apt install ./build/tervane_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
scripts/build.sh
build_dir=${TERVANE_BUILD_DIR:-build}
cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$build_dir"
ls "$build_dir"/tervane_*.deb
