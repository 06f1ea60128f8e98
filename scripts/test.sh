#!/usr/bin/env bash
# Sets up, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
scripts/build.sh
build_dir=${TERVANE_BUILD_DIR:-build}
ctest --test-dir "$build_dir" --output-on-failure -j2 --timeout 300
