#!/usr/bin/env bash
# A long monkey run through the real editor under Wine, in an Xvfb display of its own:
#   scripts/monkey.sh [STEPS [FIRST_SEED [SEEDS]]]
# runs STEPS steps (default 1000) for each of SEEDS seeds (default 1) from FIRST_SEED
# (default 1). A failing seed prints its finding and the shortest sequence of steps
# found that still fails (VEXA_MONKEY_SHRINK seconds spent shortening, default 300);
# the last line counts the steps run and the findings. Runs side by side (one per
# core, on other seeds) are told apart by VEXA_MONKEY_RUN, a word that names each
# one's Wine prefix and its copy of the programs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
export LANG=C.UTF-8 LC_ALL=C.UTF-8
scripts/build_win.sh vexa_win_tests file_stress fake_emulator

# An Xvfb display and a Wine prefix of its own, so that ./test.sh can run beside it.
run_name=${VEXA_MONKEY_RUN:-}
[[ $run_name =~ ^[A-Za-z0-9_-]*$ ]] || { echo "VEXA_MONKEY_RUN must be letters, digits, - or _" >&2; exit 2; }
export WINEPREFIX=$root/build/win/wineprefix-monkey$run_name
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
source scripts/xvfb.sh
start_xvfb
trap 'stop_xvfb; wineserver -k 2>/dev/null || true' EXIT
scripts/wine-prefix.sh "$WINEPREFIX"
setsid -f wine explorer /desktop=Default,1280x1024 </dev/null >/dev/null 2>&1

export VEXA_MONKEY_STEPS=${1:-1000} VEXA_MONKEY_SEED=${2:-1} VEXA_MONKEY_SEEDS=${3:-1}
export VEXA_MONKEY_SHRINK=${VEXA_MONKEY_SHRINK:-300}
# A copy of its own, so the build can go on while a long run runs.
run=build/win/monkey-run$run_name
mkdir -p $run
cp build/win/vexa_win_tests.exe build/win/file_stress.exe build/win/fake_emulator.exe $run/
wine $run/vexa_win_tests.exe --gtest_filter='Monkey.*' </dev/null 2> >(grep -v 'Read access denied' >&2)
