#!/usr/bin/env bash
# Sets up, builds and starts the editor on the bundled demo key base.
# Without a display it runs the editor under Xvfb, saves a screenshot of the main window to
# build/screenshot.png and exits.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
scripts/build.sh
build_dir=${TERVANE_BUILD_DIR:-build}
app="$build_dir/src/app/tervane"
demo="data/demo/demo.dir"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$app" "$demo"
fi
echo "No display: starting the editor under Xvfb for a screenshot."
xvfb-run -a -s "-screen 0 1280x800x24" "$app" --screenshot "$build_dir/screenshot.png" "$demo"
echo "Screenshot saved to $build_dir/screenshot.png"
