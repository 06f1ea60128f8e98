#!/usr/bin/env bash
# check-mime-type.sh MIME_XML DEMO_DIR WORK_DIR
# Builds a MIME database of the system's types and the key base type, and asks GIO (what the file
# managers ask) for the type of key bases and of other files named .dir.
set -euo pipefail
xml=$1
demo=$2
work=$3
rm -rf "$work"
mkdir -p "$work/share/mime/packages" "$work/files"
cp "$xml" "$work/share/mime/packages/tervane.xml"
XDG_DATA_DIRS="$work/share:/usr/share" update-mime-database "$work/share/mime"

byte() { printf '%b' "\\x$(printf %02x "$1")"; }
# A header record: name length, name, padding to 256, the version (int32), zeros to 273 bytes.
header() {
    local length=$1 name=$2 version=$3
    byte "$length"
    printf '%s' "$name"
    head -c $((255 - ${#name})) /dev/zero
    byte $((version & 255))
    byte $((version >> 8))
    head -c 15 /dev/zero
}

files=$work/files
cp "$demo" "$files/demo.dir"
cp "$demo" "$files/demo-without-extension"
header 9 "Data Base" 100 >"$files/empty-base.dir"
header 9 "Data Base" 101 >"$files/version-101.dir"
header 9 "data base" 100 >"$files/lower-case.dir"
header 10 "Data Base2" 100 >"$files/longer-name.dir"
printf 'Data Base\n' >"$files/text.dir"
head -c 400 /dev/zero >"$files/zeros.dir"

ours=application/x-tervane-key-base
cases=(
    "demo.dir $ours"
    "demo-without-extension $ours"
    "empty-base.dir $ours"
    "version-101.dir other"
    "lower-case.dir other"
    "longer-name.dir other"
    "text.dir other"
    "zeros.dir other"
)
failed=0
for entry in "${cases[@]}"; do
    read -r file want <<<"$entry"
    got=$(XDG_DATA_DIRS="$work/share:/usr/share" XDG_DATA_HOME="$work/home" \
        gio info -a standard::content-type "$files/$file" | sed -n 's/^ *standard::content-type: //p')
    if { [ "$want" = "$ours" ] && [ "$got" != "$ours" ]; } || { [ "$want" = other ] && [ "$got" = "$ours" ]; }; then
        echo "$file: got $got, wanted $want" >&2
        failed=1
    else
        echo "$file: $got"
    fi
done
exit $failed
