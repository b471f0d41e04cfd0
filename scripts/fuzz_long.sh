#!/usr/bin/env bash
# Long fuzz campaigns: runs each target, one after the other on one core, for RUNS
# executions in chunks, and keeps going where an earlier campaign stopped.
#   scripts/fuzz_long.sh [RUNS] [target...]      (RUNS defaults to 10000000)
# Executions are counted in build/fuzz-long/ledger (target, seed, runs, seconds per
# chunk); a target whose ledger total has reached RUNS is skipped. Each chunk grows a
# work corpus in build/fuzz-long/<target>; after each chunk what adds coverage is
# merged into fuzz/corpus/<target>, where ./test.sh replays it. Extra seed folders
# (e.g. corpora grown elsewhere) can be given in VEXA_FUZZ_SEEDS, separated by ':'.
# A second campaign of the same target, on another core, is started with
# VEXA_FUZZ_WORKER=2 (up to 9): it has a work corpus and seeds of its own and shares
# the ledger and fuzz/corpus/<target>, and so picks up what the other one merges there.
# Neither counts the other's running chunk, so the ledger may end up to a chunk past RUNS.
# A crash stops the campaign with libFuzzer's report and the input in build/fuzz-long.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10000000}
shift || true
chunk=${VEXA_FUZZ_CHUNK:-500000}
worker=${VEXA_FUZZ_WORKER:-1}
[[ $worker =~ ^[1-9]$ ]] || { echo "VEXA_FUZZ_WORKER must be 1 to 9" >&2; exit 2; }
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(bps_apply_fuzz ips_apply_fuzz ini_fuzz stage_load_fuzz decompress_fuzz tiled_import_fuzz)

# Campaigns may run side by side, one per core; they share the build, which one of
# them at a time brings up to date.
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

# Worker 1 keeps the names of a single campaign; another worker's files carry its number.
suffix=
[ "$worker" = 1 ] || suffix=.w$worker

for t in "${targets[@]}"; do
    # A copy, so that rebuilding the tree does not change a running campaign (a new
    # file rather than a rewrite, since another worker may be running the old one).
    bin=$out/bin/$t$suffix
    cp "build/fuzz/$t" "$bin.new" && mv -f "$bin.new" "$bin"
    work=$out/$t$suffix
    mkdir -p "$work"
    seeds=()
    IFS=':' read -r -a extra <<< "${VEXA_FUZZ_SEEDS:-}"
    for d in "${extra[@]}"; do [ -d "$d/$t" ] && seeds+=("$d/$t"); done
    while :; do
        total=$(done_runs "$t")
        [ "$total" -lt "$runs" ] || break
        n=$(( runs - total < chunk ? runs - total : chunk ))
        # Seeds count the target's chunks; each worker draws from a range of its own,
        # so that two running at once never fuzz with the same one.
        seed=$(( (worker - 1) * 1000 + $(awk -v t="$t" '$1 == t' "$ledger" | wc -l) + 1 ))
        start=$(date +%s)
        if ! "$bin" -runs="$n" -seed="$seed" -max_len=70000 -rss_limit_mb=2048 \
                -artifact_prefix="$out/$t-" "$work" "fuzz/corpus/$t" "${seeds[@]}" \
                > "$work.log" 2>&1; then
            echo "$t: a finding (seed $seed); see $work.log, and run the input it names" \
                "again with build/fuzz/$t for allocation stacks" >&2
            exit 1
        fi
        # One worker at a time records its chunk and merges into the shared corpus.
        (
            flock 9
            echo "$t $seed $n $(( $(date +%s) - start ))" >> "$ledger"
            "$bin" -merge=1 -max_len=70000 -rss_limit_mb=2048 "fuzz/corpus/$t" "$work" \
                > "$work.merge.log" 2>&1
        ) 9> "$out/$t.lock"
        echo "$t: $(done_runs "$t") runs, corpus $(ls "fuzz/corpus/$t" | wc -l) files"
    done
done
