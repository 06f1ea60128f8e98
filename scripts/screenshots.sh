#!/usr/bin/env bash
# Makes the user guide's pictures, docs/guide/en/*.png and docs/guide/ru/*.png, from the running
# editor under Xvfb, on the demo key base with a simulated Kestrel: run it again after a change
# to the windows. The editor runs with a temporary home and program folder, so the user's own
# settings are neither read nor changed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
scripts/build.sh
build_dir=${TERVANE_BUILD_DIR:-build}
cmake --build "$build_dir" --target guide-shots

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/runtime"
for lang in en ru; do
    out=docs/guide/$lang
    mkdir -p "$out"
    rm -f "$out"/*.png
    HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/runtime \
        LANG=C.UTF-8 timeout 300 xvfb-run -a -s "-screen 0 1280x800x24" \
        "$build_dir/tools/guide-shots/guide-shots" --lang "$lang" --out "$out" data/demo/demo.dir
done
# Smaller files, the same pictures.
if command -v optipng >/dev/null; then
    optipng -quiet -o2 docs/guide/*/*.png
fi
du -ch docs/guide/*/*.png | tail -1
