#!/usr/bin/env bash
# Checks a built package without installing it on this machine: its control
# fields, the files it holds, and that its pff runs from a scratch root.
# Usage: packaging/check_deb.sh PACKAGE.deb VERSION
set -euo pipefail
deb=$1 version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "check_deb: $*" >&2
  exit 1
}

[ "$(dpkg-deb -f "$deb" Package)" = vellumcraft ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
# Found by dpkg-shlibdeps, and the one it cannot see.
for needed in libc6 libqt6widgets6 libqt6svg6 qt6-image-formats-plugins; do
  [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

dpkg -x "$deb" "$scratch"
for file in usr/bin/vellumcraft usr/bin/pff \
  usr/share/applications/vellumcraft.desktop \
  usr/share/mime/packages/vellumcraft.xml \
  usr/share/icons/hicolor/scalable/apps/vellumcraft.svg \
  usr/share/icons/hicolor/48x48/apps/vellumcraft.png \
  usr/share/icons/hicolor/256x256/apps/vellumcraft.png \
  usr/share/man/man1/pff.1.gz usr/share/man/man1/vellumcraft.1.gz \
  usr/share/bash-completion/completions/pff \
  usr/share/doc/vellumcraft/copyright; do
  [ -f "$scratch/$file" ] || fail "missing $file"
done
[ "$("$scratch/usr/bin/pff" --version)" = "pff $version" ] || fail "pff --version"
echo "check_deb: $(basename "$deb") holds what it should"
