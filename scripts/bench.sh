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
# What the idle price bar may cost beside a bare window.
IDLE_GOAL_CPU=0.2
IDLE_GOAL_MB=8

# Every section: its name, the targets it runs, and a function bench_<name>.
SECTIONS=(reader missing pricebar)
declare -A SECTION_TARGETS=(
    [reader]="reader_bench mt4sim"
    [missing]="reader_bench mt4sim"
    [pricebar]="pipwarden_e2e pipwarden mt4sim bare_window"
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
# program showing 8 pairs, left alone beside a terminal with moving prices, and beside it in
# the same run the smallest window that holds a list view (tools/bench/bare_window_win.cpp):
# the CPU time of each over $PIPWARDEN_BENCH_IDLE_SECONDS (default 60) s, their private
# memory, and the program's excess over the bare window, which is what the program itself
# costs. $PIPWARDEN_BENCH_ROUNDS (default 1) repeats the idle measurement. Read from /proc of
# their Wine processes (Wine reports neither for another process).
BENCH_PAIRS="EURUSD,GBPUSD,USDJPY,AUDUSD,USDCAD,EURJPY,GOLD,EURCHF"

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

_bench_wait_pid_of() {
    local i pid
    for ((i = 0; i < 100; i++)); do
        pid=$(_bench_pid_of "$1") && { echo "$pid"; return 0; }
        sleep 0.1
    done
    return 1
}

# User plus system time of a process, in clock ticks.
_bench_cpu_ticks() {
    # The name field may hold blanks; the fields after its ")" are fixed.
    sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}

# Resident memory of a process that no other process shares, in kB.
_bench_private_kb() {
    awk '/^Private_(Clean|Dirty):/ { sum += $2 } END { print sum + 0 }' "/proc/$1/smaps_rollup"
}

# Which Windows build the folder holds.
_bench_flavour() {
    if grep -q 'mingw-x86_64' "$WIN_BUILD/CMakeCache.txt" 2>/dev/null; then
        echo "x86-64 build under 64-bit Wine"
    else
        echo "i686 build under 32-bit Wine"
    fi
}

# shellcheck disable=SC2317 # called by name below
bench_pricebar() {
    local idle=${PIPWARDEN_BENCH_IDLE_SECONDS:-60} rounds=${PIPWARDEN_BENCH_ROUNDS:-1}
    local dir program bare pid bare_pid sim_pid round hz p0 p1 b0 b1 load0 load1 pmem bmem
    echo "== price bar ($(_bench_flavour))"
    run_e2e "$WIN_BUILD" --gtest_filter='PriceBarBench.*' --gtest_also_run_disabled_tests \
        --gtest_brief=1 | grep -E '^(main tick|\[  FAILED)' || return 1

    dir=$(mktemp -d "${TMPDIR:-/tmp}/pw-bench.XXXXXX") || return 1
    mkdir -p "$dir/file"
    cp "$WIN_BUILD/bin/Pipwarden.exe" "$WIN_BUILD/bin/bare_window.exe" "$dir/file/" || return 1
    # Straight to the price bar, as after a first use, with 8 pairs on it.
    printf '[MAIN]\r\nSHOWOPTION=1\r\nDisplayCurrency=%s,\r\n' "$BENCH_PAIRS" >"$dir/file/pipward.cfg"
    program="$dir/file/Pipwarden.exe"
    bare="$dir/file/bare_window.exe"
    wine "$WIN_BUILD/bin/mt4sim.exe" /rows:40 "/seed:$$" >/dev/null 2>&1 &
    sleep 3
    wine "$bare" >/dev/null 2>&1 &
    wine "$program" >/dev/null 2>&1 &
    pid=$(_bench_wait_pid_of "$program")
    bare_pid=$(_bench_wait_pid_of "$bare")
    sim_pid=$(_bench_pid_of "mt4sim.exe /rows:40 /seed:$$")
    if [ -z "$pid" ] || [ -z "$bare_pid" ]; then
        echo "bench.sh: the main program or the bare window did not start" >&2
        for p in $pid $bare_pid $sim_pid; do kill "$p" 2>/dev/null; done
        rm -rf "$dir"
        return 1
    fi
    sleep 5 # start-up and the first column build are not idle time
    hz=$(getconf CLK_TCK)
    for ((round = 1; round <= rounds; round++)); do
        load0=$(cut -d' ' -f1 /proc/loadavg)
        p0=$(_bench_cpu_ticks "$pid")
        b0=$(_bench_cpu_ticks "$bare_pid")
        sleep "$idle"
        p1=$(_bench_cpu_ticks "$pid")
        b1=$(_bench_cpu_ticks "$bare_pid")
        load1=$(cut -d' ' -f1 /proc/loadavg)
        pmem=$(_bench_private_kb "$pid")
        bmem=$(_bench_private_kb "$bare_pid")
        awk -v p=$((p1 - p0)) -v b=$((b1 - b0)) -v hz="$hz" -v s="$idle" -v r="$round" \
            -v pm="$pmem" -v bm="$bmem" -v l0="$load0" -v l1="$load1" -v n="$JOBS" \
            -v goalcpu="$IDLE_GOAL_CPU" -v goalmb="$IDLE_GOAL_MB" 'BEGIN {
            pc = 100 * p / hz / s; bc = 100 * b / hz / s
            printf "idle round %d over %d s (load average %s -> %s of %d cores):\n", r, s, l0, l1, n
            printf "  CPU %% of one core: program %.2f, bare window %.2f, program above it %.2f\n", pc, bc, pc - bc
            printf "  private memory MB: program %.1f, bare window %.1f, program above it %.1f\n", pm / 1024, bm / 1024, (pm - bm) / 1024
            met = pc - bc <= goalcpu && (pm - bm) / 1024 <= goalmb
            printf "  goal (at most %.2f %% of a core and %.1f MB above the bare window): %s\n", goalcpu, goalmb, met ? "met" : "NOT MET"
        }'
    done
    kill "$pid" "$bare_pid" 2>/dev/null
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
