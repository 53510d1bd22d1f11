#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages/*.txt that this
# machine lacks. Needs root (or sudo) only when something is missing.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root/scripts/packages"

mapfile -t wanted < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' ./*.txt | grep -v '^$' | sort -u)
missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
if ((${#missing[@]} == 0)); then
    echo "install-deps: all ${#wanted[@]} packages present"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
as_root=()
[[ $(id -u) -eq 0 ]] || as_root=(sudo)
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
