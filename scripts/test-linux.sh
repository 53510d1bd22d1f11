#!/usr/bin/env bash
# Builds the GTK window and runs its end-to-end tests on the real engine
# under a private Xvfb server. Fails (never skips) when no display can be had.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${AUTOLABEL_LINUX_TEST_BUILD:-$root/build/test-linux}"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DAUTOLABEL_BUILD_GTK=ON -DAUTOLABEL_BUILD_TESTS=ON -DAUTOLABEL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j2 --target autolabel autolabel-web-extension autolabel_e2e_linux \
    autolabel_bridge_tests

"$build/tests/linux/autolabel_bridge_tests"

source "$root/scripts/linux-xvfb.sh"
start_xvfb || { echo "test-linux: could not start Xvfb" >&2; exit 1; }
trap stop_xvfb EXIT

"$build/tests/linux/autolabel_e2e_linux" "$@"
