#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a desktop
# needs: the programs (answering --version), the desktop entry, the icons,
# the AppStream metadata and the manual pages, each accepted by its own
# validator; then builds the Debian package and checks its contents and
# dependencies.
# Usage: install_and_package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
id=io.github.valmora.Valmora
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

dest=$work/root
DESTDIR=$dest cmake --install "$build" --prefix /usr >"$work/install.log"

files=(
  usr/bin/valmora
  usr/bin/valmora-cli
  usr/share/applications/$id.desktop
  usr/share/metainfo/$id.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/$id.svg
  usr/share/man/man1/valmora.1.gz
  usr/share/man/man1/valmora-cli.1.gz
  usr/share/doc/valmora/copyright
)
sizes=(16 24 32 48 64 128 256)
for s in "${sizes[@]}"; do files+=("usr/share/icons/hicolor/${s}x${s}/apps/$id.png"); done
for f in "${files[@]}"; do [[ -f $dest/$f ]] || fail "not installed: /$f"; done
for p in valmora valmora-cli; do
  [[ -x $dest/usr/bin/$p ]] || fail "/usr/bin/$p is not executable"
  answer=$("$dest/usr/bin/$p" --version 2>&1) || fail "$p --version exited with $?"
  [[ $answer == "$p $version" ]] || fail "$p --version said '$answer', not '$p $version'"
done
for s in "${sizes[@]}"; do
  png=$dest/usr/share/icons/hicolor/${s}x${s}/apps/$id.png
  file -b "$png" | grep -q "PNG image data, $s x $s," || fail "$png is not a ${s}x${s} PNG: $(file -b "$png")"
done
file -b "$dest/usr/share/icons/hicolor/scalable/apps/$id.svg" | grep -q SVG || fail "the scalable icon is not an SVG"

desktop-file-validate "$dest/usr/share/applications/$id.desktop" || fail "desktop-file-validate refused the desktop entry"
appstreamcli validate --no-net --explain "$dest/usr/share/metainfo/$id.metainfo.xml" ||
  fail "appstreamcli refused the metainfo"
grep -q "<release version=\"$version\"" "$dest/usr/share/metainfo/$id.metainfo.xml" ||
  fail "the metainfo does not list release $version"

for page in valmora valmora-cli; do
  src=$dest/usr/share/man/man1/$page.1.gz
  # groff's own warnings (-ww) name any macro or escape it cannot read.
  warnings=$(zcat "$src" | groff -ww -z -man -Tutf8 2>&1)
  [[ -z $warnings ]] || fail "groff warns on $page.1: $warnings"
  text=$(LC_ALL=C MANPAGER=cat MANWIDTH=80 man -l "$src" 2>"$work/man.err") || fail "man -l $page.1 failed"
  [[ ! -s $work/man.err ]] || fail "man -l $page.1 complained: $(cat "$work/man.err")"
  grep -q "^NAME" <<<"$text" || fail "$page.1 renders without a NAME section"
  grep -Eq "^ *$page +- " <<<"$text" || fail "$page.1 does not name $page"
  grep -q "$version" <<<"$text" || fail "$page.1 does not show version $version"
done

cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(find "$work/package" -maxdepth 1 -name "valmora_${version}_*.deb" | head -n 1)
if [[ -z $deb ]]; then
  fail "no valmora_${version}_*.deb built"
else
  contents=$(dpkg-deb -c "$deb")
  for f in "${files[@]}"; do
    grep -q " \./$f\$" <<<"$contents" || fail "the package lacks /$f"
  done
  description=$(dpkg-deb -f "$deb" Description)
  grep -q ";" <<<"$description" && fail "the package description holds a ';': $description"
  depends=$(dpkg-deb -f "$deb" Depends)
  for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
    grep -q "\b$lib\b" <<<"$depends" || fail "the package does not depend on $lib: $depends"
  done
  echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes, installed size $(dpkg-deb -f "$deb" Installed-Size) KiB"
  echo "depends: $depends"
fi
exit $failed
