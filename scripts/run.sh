#!/usr/bin/env bash
# Installs what the machine lacks, builds the tool and opens its window on the
# bundled demo page (under a private Xvfb, with a screenshot, when there is no display).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
exec bash scripts/run-linux.sh "$@"
