#!/usr/bin/env bash
# The formatting and lint gate: every tracked C++ source must be formatted as
# .clang-format says, every include must run down the floors of the house
# (scripts/include_floors.py), and the portable core must be clean under .clang-tidy.
# $1 is a native build folder with compile_commands.json (default build/native).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/native}

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run -Werror "${sources[@]}"; then
    echo "lint: formatting differs from .clang-format (clang-format -i the files above)" >&2
    exit 1
fi

if ! python3 scripts/include_floors.py; then
    echo "lint: the includes above run up or across the floors of the house" >&2
    exit 1
fi

mapfile -t core < <(git ls-files 'app/*.cpp' 'ui/*.cpp' 'stage/*.cpp' 'sprites/*.cpp' 'bananas/*.cpp' \
    'cameras/*.cpp' 'terrain/*.cpp' 'tiled/*.cpp' 'cli/*.cpp' | grep -v -E '_(win|crt)\.cpp$')
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! run-clang-tidy -p "$build" -j"${JOBS:-2}" -quiet "${core[@]}" >"$log" 2>&1 ||
    grep -q -E '(warning|error): ' "$log"; then
    grep -E -A3 '(warning|error): ' "$log" >&2 || cat "$log" >&2
    echo "lint: clang-tidy found the faults above in the core" >&2
    exit 1
fi
echo "lint: ${#sources[@]} files formatted, includes run down the floors, ${#core[@]} core files clean under clang-tidy"
