#!/usr/bin/env bash
# Long fuzz campaigns: runs each target, one after the other on one core, for RUNS
# executions in chunks, and keeps going where an earlier campaign stopped.
#   scripts/fuzz_long.sh [RUNS] [target...]      (RUNS defaults to 10000000)
# Executions are counted in build/fuzz-long/ledger (target, seed, runs, seconds per
# chunk); a target whose ledger total has reached RUNS is skipped. Each chunk grows a
# work corpus in build/fuzz-long/<target>; after each chunk what adds coverage is
# merged into fuzz/corpus/<target>, where ./test.sh replays it. Extra seed folders
# (e.g. corpora grown elsewhere) can be given in VEXA_FUZZ_SEEDS, separated by ':'.
# A crash stops the campaign with libFuzzer's report and the input in build/fuzz-long.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10000000}
shift || true
chunk=${VEXA_FUZZ_CHUNK:-500000}
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(bps_apply_fuzz ips_apply_fuzz ini_fuzz stage_load_fuzz decompress_fuzz)

# Campaigns of different targets may run side by side, one per core; they share the
# build, which one of them at a time brings up to date.
mkdir -p build
(
    flock 9
    CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DVEXA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build/fuzz >/dev/null
) 9> build/fuzz.lock
out=build/fuzz-long
mkdir -p "$out/bin"
ledger=$out/ledger
touch "$ledger"

# Recording where each allocation came from costs a long run more than a tenth of its
# time (the stage lists allocate per entry); a finding's input run again on its own
# (build/fuzz/<target> <input>) reports those stacks.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0}

done_runs() { awk -v t="$1" '$1 == t { s += $3 } END { print s + 0 }' "$ledger"; }

for t in "${targets[@]}"; do
    # A copy, so that rebuilding the tree does not change a running campaign.
    cp "build/fuzz/$t" "$out/bin/$t"
    work=$out/$t
    mkdir -p "$work"
    seeds=()
    IFS=':' read -r -a extra <<< "${VEXA_FUZZ_SEEDS:-}"
    for d in "${extra[@]}"; do [ -d "$d/$t" ] && seeds+=("$d/$t"); done
    while :; do
        total=$(done_runs "$t")
        [ "$total" -lt "$runs" ] || break
        n=$(( runs - total < chunk ? runs - total : chunk ))
        seed=$(( $(awk -v t="$t" '$1 == t' "$ledger" | wc -l) + 1 ))
        start=$(date +%s)
        if ! "$out/bin/$t" -runs="$n" -seed="$seed" -max_len=70000 -rss_limit_mb=2048 \
                -artifact_prefix="$out/$t-" "$work" "fuzz/corpus/$t" "${seeds[@]}" \
                > "$out/$t.log" 2>&1; then
            echo "$t: a finding (seed $seed); see $out/$t.log, and run the input it names" \
                "again with build/fuzz/$t for allocation stacks" >&2
            exit 1
        fi
        echo "$t $seed $n $(( $(date +%s) - start ))" >> "$ledger"
        "$out/bin/$t" -merge=1 -max_len=70000 -rss_limit_mb=2048 "fuzz/corpus/$t" "$work" \
            > "$out/$t.merge.log" 2>&1
        echo "$t: $(done_runs "$t") runs, corpus $(ls "fuzz/corpus/$t" | wc -l) files"
    done
done
