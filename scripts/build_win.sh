#!/usr/bin/env bash
# Configures the Windows build (build/win, or VEXA_BUILD_WIN; MinGW-w64 through the
# project's toolchain file) and builds the given targets, quietly: the GUI benchmark
# and the long monkey runs build only what they run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh >/dev/null
export LANG=C.UTF-8 LC_ALL=C.UTF-8
win=${VEXA_BUILD_WIN:-build/win}
cmake -S . -B "$win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$win" -j"${JOBS:-2}" --target "$@" >/dev/null
