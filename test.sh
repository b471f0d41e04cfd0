#!/usr/bin/env bash
# Builds both builds and runs every test: the native core tests, the fuzz targets
# for a short fixed budget, and the Win32 tests under Wine in an Xvfb display of
# our own (under code page 1252, then the locale-sensitive ones again under 932).
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD
jobs=${JOBS:-2}

# tiled: tests/tiled/tiled_judge.py lets Tiled judge the maps vexa writes.
scripts/deps.sh tiled
export LANG=C.UTF-8 LC_ALL=C.UTF-8

echo "== native build"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --build build/native -j"$jobs"
echo "== fuzz build"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DVEXA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz -j"$jobs"
echo "== windows build"
cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/win -j"$jobs"

source scripts/xvfb.sh
start_xvfb
trap stop_xvfb EXIT

status=0
echo "== formatting and lint"
scripts/lint.sh build/native || status=1
echo "== native tests"
ctest --test-dir build/native -j"$jobs" --output-on-failure || status=1
echo "== fuzz targets"
ctest --test-dir build/fuzz -j"$jobs" --output-on-failure || status=1
# The Wine tests run one at a time: they share one display and one desktop, and two
# at once take the activation from each other's dialogs (a message box that never
# becomes active is never answered), or move windows under the other's pointer.
echo "== windows tests under Wine, code page 932"
VEXA_EXPECT_ACP=932 LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 ctest --test-dir build/win -j1 --output-on-failure \
    -R 'CodePage|DialogLanguage|LanguageTest|wine_shutdown' || status=1
echo "== windows tests under Wine, code page 1252"
VEXA_EXPECT_ACP=1252 ctest --test-dir build/win -j1 --output-on-failure || status=1
exit $status
