#!/usr/bin/env bash
# check-unpacked.sh DEB_DIR VERSION DEMO_DIR
# Unpacks the package into a temporary root, as dpkg would install it, and runs its programs there.
set -euo pipefail
deb=$1/tervane_${2}_$(dpkg --print-architecture).deb
demo=$3
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"

# Each program's whole output is read before it is searched: grep -q would close the pipe early.
expect() {
    local pattern=$1
    shift
    local output
    output=$("$@") || { echo "failed: $*" >&2; exit 1; }
    grep -qe "$pattern" <<<"$output" || { echo "$*: no \"$pattern\" in its output" >&2; exit 1; }
}
expect "^Usage: tervane-cli COMMAND" "$root/usr/bin/tervane-cli" --help
# The installed tool reads a key base.
expect '"nodes"' "$root/usr/bin/tervane-cli" tree "${demo%.dir}"
expect "--model" "$root/usr/bin/orvel-sim" --help
expect "--screenshot" env QT_QPA_PLATFORM=offscreen "$root/usr/bin/tervane" --help
echo "the unpacked programs run"
