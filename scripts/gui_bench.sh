#!/usr/bin/env bash
# The GUI benchmark: builds vexa_gui_bench in the Windows build and runs it under Wine
# in an Xvfb display and Wine desktops of its own, large enough for the measured
# 1580 x 1150 main window. It runs twice: with Wine's own visual style (as the tests'
# prefix has it), and with visual styles off (the classic look), because Wine's themed
# scroll bars alone cost several milliseconds each. Prints a Markdown table for each:
# every figure next to its floor from the same run. VEXA_BUILD_WIN chooses another
# build folder than build/win (its prefixes live there too), VEXA_DISPLAY_FROM the
# first display number tried.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
export LANG=C.UTF-8 LC_ALL=C.UTF-8
win=${VEXA_BUILD_WIN:-build/win}
scripts/build_win.sh vexa_gui_bench

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
source scripts/xvfb.sh
VEXA_XVFB_SCREEN=1920x1200x24 start_xvfb
# Stops only this display and the benchmark's own Wine (stop_xvfb would also stop the
# Wine of other builds' tests), keeping the run's exit status.
cleanup() {
    local status=$?
    [ -z "${WINEPREFIX:-}" ] || wineserver -k 2>/dev/null || true
    kill "$VEXA_XVFB_PID" 2>/dev/null || true
    exit "$status"
}
trap cleanup EXIT

# run_in PREFIX THEME_ACTIVE: prefixes of the benchmark's own, with a 1920 x 1200
# virtual desktop (the tests' prefix has 1280 x 1024).
run_in() {
    export WINEPREFIX=$root/$win/$1
    scripts/wine-prefix.sh "$WINEPREFIX"
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1920x1200 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /d "$2" /f \
        >/dev/null 2>&1
    wineserver -w
    wine "$win/vexa_gui_bench.exe" </dev/null
    wineserver -k 2>/dev/null || true
}

echo "## Wine's visual style"
run_in wineprefix-bench 1
echo
echo "## Visual styles off"
run_in wineprefix-bench-classic 0
