#!/usr/bin/env bash
# Builds and runs the Linux window's benchmarks on the real engine, under a
# private Xvfb server when there is no display.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/bench-linux"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DAUTOLABEL_BUILD_GTK=ON -DAUTOLABEL_BUILD_TESTS=OFF -DAUTOLABEL_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j2 --target bridge_bench autolabel-web-extension
source "$root/scripts/linux-xvfb.sh"
if [[ -z "${DISPLAY:-}" ]]; then
    start_xvfb || { echo "bench-linux: could not start Xvfb" >&2; exit 1; }
    trap stop_xvfb EXIT
fi
"$build/bench/linux/bridge_bench" "$@"
