#!/usr/bin/env bash
# Configures the Windows build (build/win, MinGW-w64 through the project's toolchain
# file) and builds the given targets, quietly: the GUI benchmark and the long monkey
# runs build only what they run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh >/dev/null
export LANG=C.UTF-8 LC_ALL=C.UTF-8
cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/win -j"${JOBS:-2}" --target "$@" >/dev/null
