#!/usr/bin/env bash
# Builds the release packages into build/packages, from the "package-linux"
# and "windows" presets, with CPack:
#   autolabel_<version>_amd64.deb     the Linux program for Debian 12
#   autolabel-<version>-win64.zip     autolabel.exe and a text for its user
# then checks them as Debian and the desktops do (lintian, desktop-file-
# validate, appstreamcli validate) and fails on any error.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
source scripts/lib/parallel-jobs.sh
out="$PWD/build/packages"
mkdir -p "$out"

echo "== Debian package"
cmake --preset package-linux >/dev/null
cmake --build --preset package-linux
rm -f "$out"/autolabel_*_amd64.deb
cpack --config build/package-linux/CPackConfig.cmake -B "$out" >/dev/null
deb=$(ls "$out"/autolabel_*_amd64.deb)

echo "== Windows zip"
bash scripts/build-windows-libxml2.sh >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target autolabel
rm -f "$out"/autolabel-*-win64.zip
cpack --config build/windows/CPackConfig.cmake -B "$out" >/dev/null
zip=$(ls "$out"/autolabel-*-win64.zip)

echo "== checks"
bash scripts/check-package.sh "$deb"
unzip -l "$zip" | grep -q ' autolabel.exe$' || { echo "package: no autolabel.exe in $zip" >&2; exit 1; }
echo "package: $deb"
echo "package: $zip"
