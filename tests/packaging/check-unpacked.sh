#!/usr/bin/env bash
# check-unpacked.sh DEB_DIR VERSION DEMO_DIR
# Unpacks the package into a temporary root, as dpkg would install it, and runs its programs there.
set -euo pipefail
deb=$1/tervane_${2}_$(dpkg --print-architecture).deb
demo=$3
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"

"$root/usr/bin/tervane-cli" --help | grep -q "^Usage: tervane-cli COMMAND"
# The installed tool reads a key base.
"$root/usr/bin/tervane-cli" tree "${demo%.dir}" | grep -q '"nodes"'
"$root/usr/bin/orvel-sim" --help | grep -q -- "--model"
QT_QPA_PLATFORM=offscreen "$root/usr/bin/tervane" --help | grep -q -- "--screenshot"
echo "the unpacked programs run"
