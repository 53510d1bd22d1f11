#!/usr/bin/env bash
# Every test there is: installs what the machine lacks, then the core on the
# in-memory double (plain and with AddressSanitizer + UndefinedBehaviorSanitizer),
# then the Linux window on the real engine under Xvfb and the Windows program
# under Wine, where those suites exist.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)
for preset in default sanitize; do
    echo "== core tests ($preset)"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done

if [[ -f scripts/test-linux.sh ]]; then
    echo "== Linux window on the real engine"
    bash scripts/test-linux.sh
fi
if [[ -f scripts/test-windows.sh ]]; then
    echo "== Windows program under Wine"
    bash scripts/test-windows.sh
fi
echo "== all test suites passed"
