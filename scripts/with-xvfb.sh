#!/usr/bin/env bash
# Runs a command on a private Xvfb server, whatever display there is, and
# stops the server afterwards. Fails (never skips) when no server can start:
# the end-to-end suite is run through this by ctest.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/linux-xvfb.sh"
start_xvfb || { echo "with-xvfb: could not start Xvfb" >&2; exit 1; }
trap stop_xvfb EXIT
"$@"
