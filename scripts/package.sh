#!/usr/bin/env bash
# Builds the release packages into build/packages, from the "package-linux"
# and "windows" presets, with CPack:
#   autolabel_<version>_amd64.deb     the Linux program for Debian 12
#   autolabel-<version>-win64.zip     autolabel.exe and a text for its user
# then checks them as Debian and the desktops do (lintian, desktop-file-
# validate, appstreamcli validate), reads back where their programs start,
# and fails on any error. See usage below.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

usage() {
    cat <<'TEXT'
usage: bash scripts/package.sh [--forum-host HOST]

Makes the Debian package and the Windows zip in build/packages.

  --forum-host HOST   the forum the packages are for: both programs start on
                      http://HOST/cuseraudit/browser. HOST as in an address:
                      a name or an IP address, with :PORT where needed
                      (forum.example.com, 192.0.2.10:8080, [2001:db8::1]:8080).

Without --forum-host the packages are for no forum: their programs open on a
page of their own that says how to give them the forum's address.
TEXT
}

host=""
given=false
while (($# > 0)); do
    case "$1" in
        --forum-host)
            (($# >= 2)) || { usage >&2; exit 2; }
            host="$2"
            given=true
            shift 2
            ;;
        --forum-host=*)
            host="${1#*=}"
            given=true
            shift
            ;;
        -h | --help)
            usage
            exit 0
            ;;
        *)
            usage >&2
            exit 2
            ;;
    esac
done

forum=()
if $given; then
    name='[A-Za-z0-9_]([A-Za-z0-9_.-]*[A-Za-z0-9_])?'
    ipv6='\[[0-9A-Fa-f:.]+\]'
    if ! [[ "$host" =~ ^($name|$ipv6)(:[0-9]{1,5})?$ ]]; then
        echo "package: '$host' is not a host: give the name or address alone, with :PORT" \
            "where needed, without http:// or a path" >&2
        exit 2
    fi
    if [[ "${host%:*}" =~ (^|\.)[Ii][Nn][Vv][Aa][Ll][Ii][Dd]\.?$ ]]; then
        echo "package: '$host' never resolves; leave --forum-host out for packages for no forum" >&2
        exit 2
    fi
    forum=(-DAUTOLABEL_FORUM_HOST="$host")
fi

bash scripts/install-deps.sh
source scripts/lib/parallel-jobs.sh
out="$PWD/build/packages"
mkdir -p "$out"

echo "== Debian package${host:+ for $host}"
# The presets are for no forum unless the host is given here.
cmake --preset package-linux "${forum[@]}" >/dev/null
cmake --build --preset package-linux
rm -f "$out"/autolabel_*_amd64.deb
cpack --config build/package-linux/CPackConfig.cmake -B "$out" >/dev/null
deb=$(ls "$out"/autolabel_*_amd64.deb)

echo "== Windows zip${host:+ for $host}"
bash scripts/build-windows-libxml2.sh >/dev/null
cmake --preset windows "${forum[@]}" >/dev/null
cmake --build --preset windows --target autolabel
rm -f "$out"/autolabel-*-win64.zip
cpack --config build/windows/CPackConfig.cmake -B "$out" >/dev/null
zip=$(ls "$out"/autolabel-*-win64.zip)

echo "== checks"
bash scripts/check-package.sh "$deb"
# The listing is read whole: grep -q on a pipe would end unzip early, which
# pipefail counts as a failure.
entries=$(unzip -Z1 "$zip")
grep -q -x 'autolabel.exe' <<<"$entries" || { echo "package: no autolabel.exe in $zip" >&2; exit 1; }
bash scripts/check-start-address.sh ${host:+--forum-host "$host"} "$deb" "$zip"
echo "package: $deb"
echo "package: $zip"
