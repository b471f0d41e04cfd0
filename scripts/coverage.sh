#!/usr/bin/env bash
# Line and branch coverage of the portable core (vexa_core) under the native core
# tests: an unoptimised gcc build with --coverage in build/coverage, the tests run by
# ctest, and gcovr's report of the core's own sources only (not the tests, the tools,
# the sample-game builder, the benchmarks or the fuzz targets).
#   scripts/coverage.sh      HTML in build/coverage/report/index.html, summary on stdout
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}
build=build/coverage
report=$build/report

scripts/deps.sh gcovr
export LANG=C.UTF-8 LC_ALL=C.UTF-8

echo "== coverage build"
cmake -S . -B "$build" -G Ninja -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=Debug \
    -DBUILD_TESTING=ON -DCMAKE_C_FLAGS="-O0 --coverage" -DCMAKE_CXX_FLAGS="-O0 --coverage" \
    -DCMAKE_EXE_LINKER_FLAGS=--coverage >/dev/null
cmake --build "$build" -j"$jobs" --target vexa_core_tests

# Counts left by an earlier run would add to this one's.
find "$build" -name '*.gcda' -delete
echo "== core tests"
ctest --test-dir "$build" -j"$jobs" --output-on-failure

echo "== report"
rm -rf "$report"
mkdir -p "$report"
# Only the core's folders; its _win.cpp files are not in this build, but the filter
# says so in case one ever is. CMake's compiler checks were built with the flags too
# and have no data. Branches that only the exception unwinder takes and branches on
# lines with no code of their own are the compiler's, not ours.
core='(app|ui|stage|sprites|bananas|cameras)/'
summary=$(gcovr --root . --object-directory "$build" --exclude-directories '.*/CMakeFiles/[0-9.]+' \
    --filter "$core" --exclude '.*_win\.(cpp|h)$' \
    --exclude-unreachable-branches --exclude-throw-branches \
    --html-details "$report/index.html" --html-title "vexa_core coverage" \
    --txt "$report/lines.txt" --json-summary "$report/summary.json" --json-summary-pretty \
    --print-summary -j"$jobs")
cat "$report/lines.txt"
echo "$summary"
echo "coverage: report in $report/index.html"
