#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for the given seconds (default 60), one after another, on the committed seeds
# in fuzz/corpus/<target>/ and the corpus grown so far in the build folder.
# FUZZ_RUNS=N also stops each target after N executions; FUZZ_TARGETS="a b" picks targets.
# Prints each target's executions and whether it found anything; exits non-zero on a find.
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${PIPWARDEN_BUILD_DIR:-$ROOT/build}/fuzz"
SECONDS_EACH="${1:-60}"
JOBS="$(nproc 2>/dev/null || echo 2)"
mkdir -p "$BUILD/logs"

echo "== fuzz build (clang)"
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD/build" -DPIPWARDEN_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$BUILD/logs/configure.log" 2>&1 ||
    { cat "$BUILD/logs/configure.log"; echo "fuzz.sh: configure failed" >&2; exit 2; }
targets="${FUZZ_TARGETS:-$(cd "$ROOT/fuzz" && ls ./*.cpp | sed 's|^\./||; s|\.cpp$||')}"
build_targets=()
for t in $targets; do build_targets+=(--target "fuzz_$t"); done
cmake --build "$BUILD/build" -j"$JOBS" "${build_targets[@]}" >"$BUILD/logs/build.log" 2>&1 ||
    { tail -40 "$BUILD/logs/build.log"; echo "fuzz.sh: build failed" >&2; exit 2; }

# Speed over detail: no allocation stacks and no fill of new blocks (a find is replayed by
# running the target on the saved input), inputs up to 1 KB, no entropic scheduling.
export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=0:max_malloc_fill_size=0}"
finds=0
for t in $targets; do
    corpus="$BUILD/corpus/$t"
    artifacts="$BUILD/artifacts/$t"
    log="$BUILD/logs/$t.log"
    mkdir -p "$corpus" "$artifacts"
    runs=()
    [ -n "${FUZZ_RUNS:-}" ] && runs=(-runs="$FUZZ_RUNS")
    "$BUILD/build/fuzz/fuzz_$t" "$corpus" "$ROOT/fuzz/corpus/$t" -max_total_time="$SECONDS_EACH" \
        "${runs[@]}" -timeout=10 -max_len=1024 -entropic=0 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" >"$log" 2>&1
    rc=$?
    execs="$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' | tail -1)"
    if [ "$rc" -eq 0 ]; then
        echo "$t: ${execs:-?} executions, nothing found"
    else
        finds=$((finds + 1))
        echo "$t: FOUND a fault after ${execs:-?} executions (log $log, input in $artifacts/)"
        grep -E 'ERROR|check failed|runtime error|SUMMARY' "$log" | head -5
    fi
done
[ "$finds" -eq 0 ]
