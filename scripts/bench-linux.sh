#!/usr/bin/env bash
# Builds and runs the Linux window's benchmarks on the real engine, under a
# private Xvfb server when there is no display.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/bench-linux"
source "$root/scripts/lib/parallel-jobs.sh"
(cd "$root" && cmake --preset bench-linux >/dev/null && cmake --build --preset bench-linux)
source "$root/scripts/lib/xvfb.sh"
if [[ -z "${DISPLAY:-}" ]]; then
    start_xvfb || { echo "bench-linux: could not start Xvfb" >&2; exit 1; }
    trap stop_xvfb EXIT
fi
"$build/bench/linux/bridge_bench" "$@"
