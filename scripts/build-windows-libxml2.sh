#!/usr/bin/env bash
# libxml2 for the Windows build, which Debian does not ship for mingw: the
# core's in-memory double parses its pages with it, so the core's tests need
# it to run under Wine. Fetches Debian's source package with apt (a private
# deb-src list; the system's apt setup is left alone), cross-builds a static
# library with only the parts the double uses, and installs it under
# build/windows-deps/libxml2. Does nothing when it is already there.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
source scripts/lib/parallel-jobs.sh

deps="$root/build/windows-deps"
prefix="$deps/libxml2"
if [[ -f "$prefix/lib/libxml2.a" ]]; then
    echo "$prefix"
    exit 0
fi

apt_dir="$deps/apt"
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" \
    "$deps/source"
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
cat >"$apt_dir/sources.list.d/debian-src.sources" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
apt_options=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
    -o APT::Sandbox::User=root)
apt-get "${apt_options[@]}" update -qq >&2
(cd "$deps/source" && apt-get "${apt_options[@]}" source --download-only -qq libxml2 >&2)
rm -rf "$deps/source/tree"
mkdir -p "$deps/source/tree"
tar -xf "$deps"/source/libxml2_*.orig.tar.* -C "$deps/source/tree" --strip-components=1

options=()
for part in ICONV LZMA ZLIB PYTHON PROGRAMS TESTS HTTP FTP MODULES CATALOG SCHEMAS SCHEMATRON \
    XINCLUDE XPTR C14N DOCB DEBUG READER WRITER; do
    options+=("-DLIBXML2_WITH_$part=OFF")
done
cmake -S "$deps/source/tree" -B "$deps/source/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" >/dev/null
cmake --build "$deps/source/build" >/dev/null
cmake --install "$deps/source/build" >/dev/null
echo "$prefix"
