#!/usr/bin/env bash
# Installs the Debian 12 packages that Tervane needs to build, test and run.
# Only missing packages are installed; root runs apt-get directly, anyone else through sudo.
set -euo pipefail

# qt6-base-dev holds QtNetwork too; its library brings the TLS backend and libssl3 for https.
# The Debian package is made and checked with dpkg-dev (dpkg-shlibdeps) and lintian; the desktop
# files with desktop-file-utils, appstream, shared-mime-info and gio (libglib2.0-bin).
packages=(
    cmake ninja-build g++ pkg-config clang-format
    qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n libgl-dev
    libhidapi-dev libudev-dev libbenchmark-dev
    xvfb xauth fonts-dejavu-core
    dpkg-dev lintian desktop-file-utils appstream shared-mime-info libglib2.0-bin optipng
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
else
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
