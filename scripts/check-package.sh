#!/usr/bin/env bash
# Checks a Debian package of the program as Debian and the desktops would:
# lintian on the package, desktop-file-validate on its desktop entry,
# appstreamcli on its AppStream metadata. Exits non-zero on any error.
set -euo pipefail
deb="$1"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"

echo "-- lintian $(basename "$deb")"
# Errors and warnings fail.
status=0
report=$(lintian --fail-on error,warning "$deb" 2>&1) || status=$?
grep -v 'running with root privileges' <<<"$report" || true
((status == 0)) || { echo "lintian: failed ($status)" >&2; exit 1; }
echo "lintian: no errors or warnings"

echo "-- desktop-file-validate"
for entry in "$unpacked"/usr/share/applications/*.desktop; do
    desktop-file-validate "$entry"
    echo "desktop-file-validate: $(basename "$entry") valid"
done

echo "-- appstreamcli validate"
appstreamcli validate --no-net "$unpacked"/usr/share/metainfo/*.metainfo.xml
# The installed tree as a software centre reads it: metadata, desktop entry, icon.
appstreamcli validate-tree --no-net "$unpacked/usr"
