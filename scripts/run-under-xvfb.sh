#!/usr/bin/env bash
# Runs a command on a private Xvfb server, whatever display there is, and
# stops the server afterwards. Fails (never skips) when no server can start:
# the end-to-end suite is run through this by ctest.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/lib/xvfb.sh"
start_xvfb || { echo "run-under-xvfb: could not start Xvfb" >&2; exit 1; }
trap stop_xvfb EXIT
"$@"
