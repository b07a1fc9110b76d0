#!/usr/bin/env bash
# Benchmarks of the Windows programs under Wine on a private X display. They print
# figures and judge nothing; the tests are scripts/test.sh.
#
#   scripts/bench.sh [SECTION...]   every section, or only the named ones (e.g. "reader")
#
# Builds what the sections need first. Build folder: $PIPWARDEN_WIN_BUILD_DIR, else
# $PIPWARDEN_BUILD_DIR/win (default build/win, the folder scripts/test.sh uses).
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${PIPWARDEN_BUILD_DIR:-$ROOT/build}"
WIN_BUILD="${PIPWARDEN_WIN_BUILD_DIR:-$BUILD/win}"
JOBS="$(nproc 2>/dev/null || echo 2)"
LOGS="$BUILD/logs"
BENCH_TIMEOUT=300

# Every section: its name, the targets it runs, and a function bench_<name>.
SECTIONS=(reader missing pricebar)
declare -A SECTION_TARGETS=(
    [reader]="reader_bench mt4sim"
    [missing]="reader_bench mt4sim"
    [pricebar]="pipwarden_e2e pipwarden mt4sim"
)

wanted=("$@")
[ ${#wanted[@]} -eq 0 ] && wanted=("${SECTIONS[@]}")
targets=()
for section in "${wanted[@]}"; do
    [ -n "${SECTION_TARGETS[$section]+x}" ] || { echo "bench.sh: no section '$section' (${SECTIONS[*]})" >&2; exit 2; }
    read -r -a section_targets <<<"${SECTION_TARGETS[$section]}"
    targets+=("${section_targets[@]}")
done

# shellcheck source=lib/wine.sh
source "$ROOT/scripts/lib/wine.sh"
for tool in cmake wine Xvfb; do
    command -v "$tool" >/dev/null || { echo "bench.sh: $tool is missing; run scripts/bootstrap.sh" >&2; exit 1; }
done

mkdir -p "$LOGS"
echo "== build ($WIN_BUILD: ${targets[*]})"
if [ ! -f "$WIN_BUILD/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$WIN_BUILD" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$(wine_env_toolchain "$ROOT")" >"$LOGS/bench-configure.log" 2>&1 ||
        { cat "$LOGS/bench-configure.log"; echo "bench.sh: configure failed" >&2; exit 1; }
fi
cmake --build "$WIN_BUILD" -j"$JOBS" --target "${targets[@]}" >"$LOGS/bench-build.log" 2>&1 ||
    { tail -40 "$LOGS/bench-build.log"; echo "bench.sh: build failed" >&2; exit 1; }

trap 'wine_env_stop' EXIT INT TERM
wine_env_start "$WIN_BUILD" >"$LOGS/bench-wine-env.log" 2>&1 ||
    { cat "$LOGS/bench-wine-env.log"; echo "bench.sh: the Wine environment did not come up" >&2; exit 1; }

# ---- Terminal reader --------------------------------------------------------
# Microseconds per cell read across the process boundary, and the calls into the terminal
# of one price refresh for 8 displayed pairs in a 40-row Market Watch (tools/bench).
# shellcheck disable=SC2317 # called by name below
bench_reader() {
    echo "== terminal reader"
    timeout -k 5 "$BENCH_TIMEOUT" wine "$WIN_BUILD/bin/reader_bench.exe"
}

# ---- A displayed pair the terminal does not list -------------------------------
# The main tick's scan of 8 listed pairs and one pair missing from a 40-row Market Watch, side
# by side: looked for on every tick (the earlier behaviour, kept as a switch of the scan) and
# looked for only when the row count changes or every 30 s of the program clock.
# shellcheck disable=SC2317 # called by name below
bench_missing() {
    echo "== missing pair"
    timeout -k 5 "$BENCH_TIMEOUT" wine "$WIN_BUILD/bin/reader_bench.exe" /missing
}

# ---- Price bar --------------------------------------------------------------
# One main tick's price scan for 8 pairs spread over a 40-row Market Watch (the reads that
# cross into the terminal are what a tick costs; tests/e2e/PriceBarBench.cpp), then the real
# program left alone beside a terminal with moving prices: its CPU time over
# $PIPWARDEN_BENCH_IDLE_SECONDS (default 60) s and its memory, read from /proc of its Wine
# process (Wine reports neither for another process).

# The Unix process whose command line holds this text (Wine keeps the path it was given).
_bench_pid_of() {
    local needle=$1 entry
    for entry in /proc/[0-9]*/cmdline; do
        if tr '\0' ' ' 2>/dev/null <"$entry" | grep -qiF -- "$needle"; then
            entry=${entry%/cmdline}
            echo "${entry#/proc/}"
            return 0
        fi
    done
    return 1
}

# User plus system time of a process, in clock ticks.
_bench_cpu_ticks() {
    # The name field may hold blanks; the fields after its ")" are fixed.
    sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}

# shellcheck disable=SC2317 # called by name below
bench_pricebar() {
    local idle=${PIPWARDEN_BENCH_IDLE_SECONDS:-60} dir program pid sim_pid i t0 t1 hz
    echo "== price bar"
    run_e2e "$WIN_BUILD" --gtest_filter='PriceBarBench.*' --gtest_also_run_disabled_tests \
        --gtest_brief=1 | grep -E '^(main tick|\[  FAILED)' || return 1

    dir=$(mktemp -d "${TMPDIR:-/tmp}/pw-bench.XXXXXX") || return 1
    mkdir -p "$dir/file"
    cp "$WIN_BUILD/bin/Pipwarden.exe" "$dir/file/" || return 1
    # Straight to the price bar, as after a first use.
    printf '[MAIN]\r\nSHOWOPTION=1\r\n' >"$dir/file/pipward.cfg"
    program="$dir/file/Pipwarden.exe"
    wine "$WIN_BUILD/bin/mt4sim.exe" /rows:40 "/seed:$$" >/dev/null 2>&1 &
    sleep 3
    wine "$program" >/dev/null 2>&1 &
    pid=""
    for ((i = 0; i < 100; i++)); do
        pid=$(_bench_pid_of "$program") && break
        sleep 0.1
    done
    sim_pid=$(_bench_pid_of "mt4sim.exe /rows:40 /seed:$$")
    if [ -z "$pid" ]; then
        echo "bench.sh: the main program did not start" >&2
        [ -n "$sim_pid" ] && kill "$sim_pid"
        rm -rf "$dir"
        return 1
    fi
    sleep 5 # start-up and the first column build are not idle time
    hz=$(getconf CLK_TCK)
    t0=$(_bench_cpu_ticks "$pid")
    sleep "$idle"
    t1=$(_bench_cpu_ticks "$pid")
    echo "idle program over $idle s: CPU $(((t1 - t0) * 1000 / hz)) ms" \
        "($(awk -v t=$((t1 - t0)) -v hz="$hz" -v s="$idle" 'BEGIN { printf "%.2f", 100 * t / hz / s }') % of one core)"
    awk '/^(VmRSS|RssAnon):/ { printf "idle program %s %s kB\n", $1, $2 }' "/proc/$pid/status"
    awk '/^Private_(Clean|Dirty):/ { sum += $2 } END { printf "idle program private memory (resident, not shared): %d kB\n", sum }' \
        "/proc/$pid/smaps_rollup"
    kill "$pid" 2>/dev/null
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
    sleep 1
    rm -rf "$dir"
}

# ---- (further sections go here: add the name to SECTIONS and its targets) ---

status=0
for section in "${wanted[@]}"; do
    "bench_$section" || { echo "bench.sh: section $section failed" >&2; status=1; }
done
exit "$status"
