#!/usr/bin/env bash
# Builds the Debian package and checks it:
#
#   scripts/check-package.sh            build it, run lintian on it (any error
#                                       or warning fails), check its contents
#                                       and dependencies, validate the desktop
#                                       entry, AppStream data and manual pages,
#                                       and run dta2csv from the unpacked files
#   scripts/check-package.sh --install  also install it system-wide (root or
#                                       sudo), run both programs from /usr/bin
#                                       and remove it again
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${ENGINE_PACKAGES[@]}" "${WINDOW_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}" lintian

fail() { echo "check-package: $*" >&2; exit 1; }

cmake --preset dev >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
(cd build && cpack -G DEB >/dev/null)
deb=$PWD/build/zizadod5_0.9_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no package at $deb"
echo "built $deb"

# Debian's own checks: no error or warning is let through (a tag that must
# be overridden gets an override with a comment line saying why).
lintian --fail-on error,warning "$deb" || fail "lintian found errors or warnings"

depends=$(dpkg-deb -f "$deb" Depends)
for dep in fonts-liberation libqt6widgets6 libc6 libstdc++6; do
  grep -q "$dep" <<<"$depends" || fail "Depends lacks $dep: $depends"
done

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
for file in usr/bin/zizadod5 usr/bin/dta2csv usr/share/applications/zizadod5.desktop \
    usr/share/icons/hicolor/scalable/apps/zizadod5.svg \
    usr/share/icons/hicolor/16x16/apps/zizadod5.png \
    usr/share/icons/hicolor/32x32/apps/zizadod5.png \
    usr/share/man/man1/dta2csv.1.gz usr/share/man/man1/zizadod5.1.gz \
    usr/share/metainfo/org.example.zizadod5.metainfo.xml \
    usr/share/doc/zizadod5/copyright usr/share/doc/zizadod5/changelog.gz; do
  [ -f "$unpacked/$file" ] || fail "the package lacks /$file"
done

desktop-file-validate "$unpacked/usr/share/applications/zizadod5.desktop"
grep -qx 'Name=KOVA/DTA Conversor' "$unpacked/usr/share/applications/zizadod5.desktop" ||
  fail "the desktop entry is not named KOVA/DTA Conversor"
appstreamcli validate --no-net --pedantic "$unpacked/usr/share/metainfo/org.example.zizadod5.metainfo.xml" >/dev/null ||
  appstreamcli validate --no-net --pedantic "$unpacked/usr/share/metainfo/org.example.zizadod5.metainfo.xml"
for page in dta2csv zizadod5; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$unpacked/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page(1) manual page warnings: $warnings"
done
[ "$("$unpacked/usr/bin/dta2csv" --version)" = "dta2csv 0.9" ] || fail "unpacked dta2csv --version"
echo "lintian, package contents, desktop entry, AppStream data and manual pages: clean"

[ "${1:-}" = "--install" ] || exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$deb" >/dev/null
trap '"${sudo[@]}" dpkg -r zizadod5 >/dev/null; rm -rf "$unpacked"' EXIT
[ "$(/usr/bin/dta2csv --version)" = "dta2csv 0.9" ] || fail "installed dta2csv --version"
desktop-file-validate /usr/share/applications/zizadod5.desktop
work=$(mktemp -d)
cp examples/MOV0612.DAT "$work/"
(cd "$work" && /usr/bin/dta2csv MOV0612.DAT >/dev/null) || fail "installed dta2csv did not convert"
[ -s "$work/MOV0612.CSV" ] || fail "installed dta2csv wrote no CSV"
# The window runs until it is closed: still running after two seconds
# means it started.
status=0
(cd "$work" && QT_QPA_PLATFORM=offscreen timeout 2 /usr/bin/zizadod5) || status=$?
rm -rf "$work"
[ "$status" -eq 124 ] || fail "installed zizadod5 ended with status $status"
echo "installed, ran dta2csv and zizadod5 from /usr/bin, removed: clean"
