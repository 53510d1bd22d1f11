#!/usr/bin/env bash
# Builds the tool and opens its window on the bundled demo page.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ -f scripts/run-linux.sh ]]; then
    exec bash scripts/run-linux.sh "$@"
fi
echo "run: the Linux window is not built yet; only the core and its tests exist (bash scripts/test.sh)." >&2
exit 1
