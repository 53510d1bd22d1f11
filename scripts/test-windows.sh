#!/usr/bin/env bash
# Builds the Windows program with mingw-w64 (preset "windows") and runs its
# tests under Wine: a fresh Wine prefix in the build folder, a warm Wine
# server, and a display (its own Xvfb when there is none; no display fails
# the run). Leaves build/windows/screenshot.png of the window under Wine.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
source scripts/lib/parallel-jobs.sh

build="$PWD/build/windows"
# The core's in-memory double needs libxml2, cross-built once where the
# preset looks for it.
bash scripts/build-windows-libxml2.sh >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows

export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
source scripts/lib/xvfb.sh
app_pid=""
anchor_pid=""
cleanup() {
    [[ -n "$app_pid" ]] && kill "$app_pid" 2>/dev/null || true
    [[ -n "$anchor_pid" ]] && kill "$anchor_pid" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    stop_xvfb
}
trap cleanup EXIT

# Windows cannot be created without a display, and skipped tests would pass.
# A full HD screen: wide enough for the window's buttons at 175 %.
export XVFB_SCREEN=1920x1080x24
if [[ -z "${DISPLAY:-}" ]] || ! xdpyinfo >/dev/null 2>&1; then
    start_xvfb || { echo "test-windows: no X display and Xvfb would not start" >&2; exit 1; }
fi

echo "== fresh Wine prefix in $WINEPREFIX"
rm -rf "$WINEPREFIX"
wineboot --init >/dev/null 2>&1
wineserver -w
# The UI fonts of Wine lack CJK glyphs: link them to the CJK font installed
# from scripts/packages/windows.txt, so the captions show (screenshot only;
# the tests read captions back as text).
for face in "MS Sans Serif" "System" "Tahoma" "MS Shell Dlg" "Microsoft Sans Serif"; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
done
wineserver -w

# A warm server: started inside ctest it would hold ctest's output open.
wineserver -p
wine cmd /c exit

# The program once before the tests, for the screenshot: this also starts
# the COM services it needs, which would otherwise be started from inside a
# test and hold that test's output pipe open.
echo "== screenshot of the window under Wine"
wine "$build/app/win32/autolabel.exe" >/dev/null 2>&1 &
app_pid=$!
sleep 5
import -window root "$build/screenshot.png"
kill "$app_pid" 2>/dev/null || true
app_pid=""
# And at 150 % (144 DPI), as a laptop shows it: the window lays itself out
# at the DPI that the program reads as it starts.
desktop='HKCU\Control Panel\Desktop'
wine reg add "$desktop" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wine "$build/app/win32/autolabel.exe" >/dev/null 2>&1 &
app_pid=$!
sleep 5
import -window root "$build/screenshot-144dpi.png"
kill "$app_pid" 2>/dev/null || true
app_pid=""
wine reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1

echo "== Windows tests and the core's tests under Wine"
[[ -f "$build/tests/core/core_tests.exe" ]] || { echo "test-windows: core tests not built" >&2; exit 1; }
# One desktop for the whole run, whose process holds no test's output: see
# tests/win32/support/desktop_anchor.cpp.
wine "$build/tests/win32/desktop_anchor.exe" >"$build/desktop_anchor.out" 2>/dev/null &
anchor_pid=$!
for ((waited = 0; waited < 600; ++waited)); do
    grep -q anchored "$build/desktop_anchor.out" 2>/dev/null && break
    kill -0 "$anchor_pid" 2>/dev/null || break
    sleep 0.1
done
grep -q anchored "$build/desktop_anchor.out" ||
    { echo "test-windows: the desktop anchor did not start" >&2; exit 1; }
ctest --preset windows
kill "$anchor_pid" 2>/dev/null || true
anchor_pid=""

# The zip a Windows user downloads (scripts/package.sh makes the same): its
# program, unpacked alone, opens its window.
echo "== the zip's autolabel.exe under Wine"
cpack --config "$build/CPackConfig.cmake" -B "$build/packages" >/dev/null
unzipped="$build/unzipped"
rm -rf "$unzipped"
unzip -q "$build"/packages/autolabel-*-win64.zip -d "$unzipped"
[[ -f "$unzipped/README.txt" ]] || { echo "test-windows: no README.txt in the zip" >&2; exit 1; }
wine "$unzipped/autolabel.exe" about:blank >/dev/null 2>&1 &
app_pid=$!
title="青禾核心用户标注平台自动刷贴器"
if ! timeout 60 xdotool search --sync --onlyvisible --name "^$title\$" >/dev/null; then
    echo "test-windows: the zip's autolabel.exe showed no window titled $title" >&2
    exit 1
fi
kill "$app_pid" 2>/dev/null || true
app_pid=""
echo "test-windows: the zip's autolabel.exe opened its window"

echo "test-windows: passed; screenshots in $build/screenshot.png and $build/screenshot-144dpi.png"
