#!/usr/bin/env bash
# Sets up, builds and starts the editor on the bundled demo key base, with a simulated Orvel
# Kestrel programmer (orvel-sim) plugged in.
#
# With a display, the editor runs in its own window and this terminal talks to the programmer:
# type for example "key 1 0156341200000005" to present a Dallas key for reading, "write-result 0"
# for a successful write, "help" for the list, "quit" to unplug it. Closing the editor ends the
# programmer too.
# Without a display, the editor runs under Xvfb, a screenshot of the main window is saved to
# build/screenshot.png, and the script exits.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
scripts/build.sh
build_dir=${TERVANE_BUILD_DIR:-build}
app="$build_dir/src/app/tervane"
sim="$build_dir/tools/orvel-sim/orvel-sim"
demo="data/demo/demo.dir"
sim_args=(--model kestrel --firmware 1.36 --name demo)

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    "$app" "$demo" &
    editor=$!
    # The programmer ends with the editor.
    script=$$
    ( while kill -0 "$editor" 2>/dev/null; do sleep 1; done
      pkill -P "$script" -x orvel-sim 2>/dev/null || true ) &
    echo "Simulated programmer: type 'help' for its commands."
    "$sim" "${sim_args[@]}" || true
    wait "$editor" 2>/dev/null || true
    exit 0
fi

echo "No display: starting the editor under Xvfb for a screenshot."
"$sim" "${sim_args[@]}" < /dev/null > "$build_dir/orvel-sim.log" 2>&1 &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true' EXIT
sleep 0.5
timeout 120 xvfb-run -a -s "-screen 0 1280x800x24" "$app" --screenshot "$build_dir/screenshot.png" "$demo"
echo "Screenshot saved to $build_dir/screenshot.png"
