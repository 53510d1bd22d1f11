#!/usr/bin/env bash
# Builds the GTK window with its tests (preset test-linux) and runs them with
# ctest: the DOM bridge's tests, and the end-to-end suite on the real engine
# on a private Xvfb server (scripts/run-under-xvfb.sh), which fails, never skips,
# when no display can be had. Arguments (a --gtest_filter, say) go to the
# end-to-end suite, which then runs alone.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
source scripts/lib/parallel-jobs.sh

cmake --preset test-linux >/dev/null
cmake --build --preset test-linux

if (($# > 0)); then
    exec bash scripts/run-under-xvfb.sh build/test-linux/tests/linux/autolabel_e2e_linux "$@"
fi
ctest --preset test-linux
