#!/usr/bin/env bash
# Every test there is: installs what the machine lacks, checks the C++
# formatting, then runs the core on the in-memory double (plain and with
# AddressSanitizer + UndefinedBehaviorSanitizer), the Linux window on the real
# engine under Xvfb and the Windows program under Wine, and makes the packages
# for a forum and for none, reading back where their programs start.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/install-deps.sh
source scripts/lib/parallel-jobs.sh

echo "== C++ formatting"
bash scripts/check-format.sh

for preset in default sanitize; do
    echo "== core tests ($preset)"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done

echo "== Linux window on the real engine"
bash scripts/test-linux.sh
echo "== Windows program under Wine"
bash scripts/test-windows.sh
# package.sh reads back where both programs start, and fails when it is not
# the forum's moderation page (or, for none, the tool's own page).
echo "== packages for a forum, then for none"
bash scripts/package.sh --forum-host forum.example.test:8080
bash scripts/package.sh
echo "== all test suites passed"
