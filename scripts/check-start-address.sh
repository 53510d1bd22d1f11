#!/usr/bin/env bash
# Reads back where the packaged programs start:
#   bash scripts/check-start-address.sh [--forum-host HOST] DEB ZIP
# The Debian package's program, unpacked, names its start address in its
# usage; the zip's autolabel.exe holds it among its texts. With a forum's
# host that is http://HOST/cuseraudit/browser in both; without one, the
# programs are built for no forum: the usage says so, and the exe holds no
# forum's address but the placeholder's. Exits non-zero when they differ.
set -euo pipefail
host=""
if [[ "${1:-}" == "--forum-host" ]]; then
    host="$2"
    shift 2
fi
deb="$1"
zip="$2"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked/deb"
unzip -q "$zip" autolabel.exe -d "$unpacked/zip"

# The usage goes to standard error, with status 2, before any display is needed.
usage=$("$unpacked/deb/usr/bin/autolabel" --help 2>&1 >/dev/null || true)
# The moderation addresses compiled into the exe (the usage's example aside).
addresses=$(grep -a -o -E 'http://[][A-Za-z0-9._:-]+/cuseraudit/browser' \
    "$unpacked/zip/autolabel.exe" | grep -v -x 'http://HOST/cuseraudit/browser' | sort -u || true)

if [[ -n "$host" ]]; then
    address="http://$host/cuseraudit/browser"
    grep -q -F "$address" <<<"$usage" ||
        { echo "start address: $(basename "$deb")'s program does not start on $address:" >&2
          echo "$usage" >&2; exit 1; }
    [[ "$addresses" == "$address" ]] ||
        { echo "start address: $(basename "$zip")'s autolabel.exe holds '$addresses', not $address" >&2
          exit 1; }
    echo "start address: both programs start on $address"
else
    grep -q -F "built without the forum's address" <<<"$usage" ||
        { echo "start address: $(basename "$deb")'s program names a forum:" >&2
          echo "$usage" >&2; exit 1; }
    if [[ -z "$addresses" ]] || grep -v -q -E '^http://([^/]*\.)?invalid(:[0-9]+)?/' <<<"$addresses"; then
        echo "start address: $(basename "$zip")'s autolabel.exe names a forum: $addresses" >&2
        exit 1
    fi
    echo "start address: built for no forum; both programs open on their own page"
fi
