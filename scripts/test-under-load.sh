#!/usr/bin/env bash
# The suites that run on a real display, on a busy machine: finds tests that
# pass only with the timing of a quiet one. Builds the Linux window's tests
# and runs the bridge's tests and the end-to-end suite three times while two
# busy loops (stress-ng when installed) keep two cores occupied, then once
# pinned to one core (taskset -c 0); then the Windows suite under Wine once
# with the loops running. Prints, per run, the tests that failed; exits 0
# only when every test passed every time. Nothing is retried. Long (about a
# quarter of an hour), so not part of scripts/test.sh or CI.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
source scripts/lib/parallel-jobs.sh

logs="$PWD/build/under-load"
mkdir -p "$logs"
e2e=build/test-linux/tests/linux/autolabel_e2e_linux
bridge=build/test-linux/tests/linux/autolabel_bridge_tests

load_pids=()
start_load() {
    if command -v stress-ng >/dev/null; then
        stress-ng --cpu 2 --quiet >/dev/null 2>&1 &
        load_pids+=($!)
    else
        local i
        for i in 1 2; do
            (while :; do :; done) &
            load_pids+=($!)
        done
    fi
}
stop_load() {
    local pid
    for pid in "${load_pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    load_pids=()
}
trap stop_load EXIT

failures=0
# report NAME LOG STATUS: the failed tests of one run, from GoogleTest's or
# ctest's summary; a run that failed without naming a test says how it ended.
report() {
    local name=$1 log=$2 status=$3 failed
    failed=$( (grep -E '^\[  FAILED  \] [A-Za-z0-9_/.]+' "$log" | sed -E 's/^\[  FAILED  \] ([^ ,]+).*/\1/'
        grep -E '^[[:space:]]*[0-9]+ - .* \((Failed|Timeout|SEGFAULT|Subprocess aborted|Not Run)\)' "$log" |
            sed -E 's/^[[:space:]]*[0-9]+ - //') | sort -u)
    if ((status == 0)) && [[ -z "$failed" ]]; then
        echo "under-load: $name: passed"
        return
    fi
    failures=$((failures + 1))
    echo "under-load: $name: FAILED (status $status; log $log)"
    if [[ -n "$failed" ]]; then
        sed 's/^/    /' <<<"$failed"
    else
        echo "    no test named; last lines:"
        tail -n 5 "$log" | sed 's/^/    /'
    fi
}

# run_linux NAME [PREFIX...]: the bridge's tests and the end-to-end suite.
run_linux() {
    local name=$1 log="$logs/$1.log" status=0
    shift
    : >"$log"
    "$@" "$bridge" >>"$log" 2>&1 || status=$?
    "$@" bash scripts/run-under-xvfb.sh "$e2e" >>"$log" 2>&1 || status=$?
    report "$name" "$log" "$status"
}

echo "== building the Linux window's tests"
cmake --preset test-linux >/dev/null && cmake --build --preset test-linux || exit 1
echo "== building the Windows program"
bash scripts/build-windows-libxml2.sh >/dev/null || exit 1
{ cmake --preset windows >/dev/null &&
    cmake --build --preset windows; } || exit 1

echo "== Linux suites, three runs with both cores busy ($(command -v stress-ng >/dev/null && echo stress-ng || echo two busy loops))"
start_load
for run in 1 2 3; do
    run_linux "linux-loaded-$run"
done
stop_load

echo "== Linux suites, one run pinned to one core"
run_linux "linux-one-core" taskset -c 0

echo "== Windows suite under Wine, one run with both cores busy"
start_load
status=0
bash scripts/test-windows.sh >"$logs/windows-loaded.log" 2>&1 || status=$?
stop_load
report "windows-loaded" "$logs/windows-loaded.log" "$status"

if ((failures == 0)); then
    echo "under-load: every test passed in every run (4 Linux, 1 Windows)"
    exit 0
fi
echo "under-load: $failures of 5 runs had failures"
exit 1
