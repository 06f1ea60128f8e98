#!/usr/bin/env bash
# check-package.sh BUILD_DIR VERSION OUT_DIR
# Makes the Debian package from a built tree and checks what it holds and declares; lintian, when
# installed, must report no error.
set -euo pipefail
build=$1
version=$2
out=$3
arch=$(dpkg --print-architecture)
deb=$out/tervane_${version}_${arch}.deb

rm -rf "$out"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out.log" 2>&1 || { cat "$out.log" >&2; exit 1; }
[ -f "$deb" ] || { echo "cpack made no $deb" >&2; ls "$out" >&2; exit 1; }

failed=0
fail() {
    echo "$*" >&2
    failed=1
}

files=$(dpkg-deb --contents "$deb" | awk '{print $6}' | grep -v '/$')
expected=(
    ./usr/bin/tervane
    ./usr/bin/tervane-cli
    ./usr/bin/orvel-sim
    ./usr/lib/udev/rules.d/70-orvel-programmer.rules
    ./usr/share/applications/tervane.desktop
    ./usr/share/icons/hicolor/scalable/apps/tervane.svg
    ./usr/share/metainfo/org.example.tervane.metainfo.xml
    ./usr/share/mime/packages/tervane.xml
    ./usr/share/man/man1/tervane.1.gz
    ./usr/share/man/man1/tervane-cli.1.gz
    ./usr/share/man/man1/orvel-sim.1.gz
    ./usr/share/doc/tervane/copyright
    ./usr/share/doc/tervane/changelog.gz
    ./usr/share/doc/tervane/user-guide.md
    ./usr/share/doc/tervane/user-guide.ru.md
    ./usr/share/doc/tervane/guide/en/main-window.png
    ./usr/share/doc/tervane/guide/ru/main-window.png
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/tervane.png")
done
for file in "${expected[@]}"; do
    grep -qxF "$file" <<<"$files" || fail "missing from the package: $file"
done
# Nothing but the programs, the udev rule and shared data; no libraries, headers or build tools.
while IFS= read -r file; do
    case $file in
        ./usr/bin/tervane | ./usr/bin/tervane-cli | ./usr/bin/orvel-sim) ;;
        ./usr/lib/udev/rules.d/*.rules | ./usr/share/*) ;;
        *) fail "unexpected in the package: $file" ;;
    esac
done <<<"$files"

info=$(dpkg-deb --info "$deb")
field() { sed -n "s/^ $1: //p" <<<"$info"; }
[ "$(field Package)" = tervane ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), wanted $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
# The dependencies come from dpkg-shlibdeps: Qt's libraries with their versions, and the C library.
depends=$(field Depends)
for library in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libhidapi-hidraw0 libudev1; do
    grep -qE "(^|, )$library( \(>= [^)]+\))?(,|$)" <<<"$depends" || fail "Depends lacks $library: $depends"
done
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
for script in postinst postrm; do
    dpkg-deb --ctrl-tarfile "$deb" | tar -xOf - "./$script" | sh -n || fail "$script: not a valid shell script"
    mode=$(dpkg-deb --ctrl-tarfile "$deb" | tar -tvf - "./$script" 2>/dev/null | awk '{print $1}')
    [ "$mode" = "-rwxr-xr-x" ] || fail "$script: mode \"$mode\", wanted -rwxr-xr-x"
done
postinst=$(dpkg-deb --ctrl-tarfile "$deb" | tar -xOf - ./postinst)
grep -q "udevadm control --reload-rules" <<<"$postinst" || fail "postinst does not reload the udev rules"

if command -v lintian >/dev/null; then
    start=$SECONDS
    # Warnings and notes are shown, errors fail the test.
    lintian --fail-on error "$deb" || fail "lintian reports errors"
    echo "lintian took $((SECONDS - start)) s"
else
    echo "lintian not installed: left out"
fi

[ $failed -eq 0 ] && echo "$deb: ${#expected[@]} files checked, depends: $depends"
exit $failed
