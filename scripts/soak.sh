#!/usr/bin/env bash
# A long run of the main program under Wine, watching for leaks: a shortened main tick beside
# a simulated terminal whose eight displayed pairs move on every tick, a level and a step
# alert firing with popups, two floating windows and the alerts list open, and the
# terminal's list emptied and refilled every few minutes (tests/e2e/SoakTest.cpp drives it).
# The program's GDI objects, user objects, handles and private memory are sampled at fixed
# intervals; after the warm-up each column's least-squares slope per hour must stay flat.
#
#   scripts/soak.sh [MINUTES]   default 35; a fraction such as 1.5 is allowed
#
# Environment: PIPWARDEN_SOAK_TICK_MS (50), PIPWARDEN_SOAK_SAMPLE_SECONDS (60, or 10 for runs
# under 10 minutes), PIPWARDEN_SOAK_CYCLE_SECONDS (180). Build folder as scripts/bench.sh;
# PIPWARDEN_SOAK_NO_BUILD=1 runs the programs already in its bin folder (a copy, say, so that
# a rebuild cannot change them during a long run).
# The last line is the summary; the exit status is non-zero when a slope is clearly positive
# or the run failed.
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${PIPWARDEN_BUILD_DIR:-$ROOT/build}"
WIN_BUILD="${PIPWARDEN_WIN_BUILD_DIR:-$BUILD/win}"
JOBS="$(nproc 2>/dev/null || echo 2)"
LOGS="$BUILD/logs"

MINUTES=${1:-35}
SECONDS_TOTAL=$(awk -v m="$MINUTES" 'BEGIN { s = int(m * 60 + 0.5); print (s > 0 ? s : 0) }')
[ "$SECONDS_TOTAL" -gt 0 ] || { echo "soak.sh: MINUTES must be a positive number" >&2; exit 2; }
export PIPWARDEN_SOAK_SECONDS=$SECONDS_TOTAL
export PIPWARDEN_SOAK_TICK_MS=${PIPWARDEN_SOAK_TICK_MS:-50}
if [ "$SECONDS_TOTAL" -lt 600 ]; then
    export PIPWARDEN_SOAK_SAMPLE_SECONDS=${PIPWARDEN_SOAK_SAMPLE_SECONDS:-10}
else
    export PIPWARDEN_SOAK_SAMPLE_SECONDS=${PIPWARDEN_SOAK_SAMPLE_SECONDS:-60}
fi
export PIPWARDEN_SOAK_CYCLE_SECONDS=${PIPWARDEN_SOAK_CYCLE_SECONDS:-180}

# Start-up, first fonts and the first popups settle in the first minutes; a short run keeps
# a fifth of itself for that. Slopes are judged only over a window this long or longer.
WARMUP_SECONDS=$((SECONDS_TOTAL >= 1500 ? 300 : SECONDS_TOTAL / 5))
JUDGED_MIN_SECONDS=600
# A column fails when its slope is above its floor (per hour) and more than three standard
# errors above zero; one GDI object leaked per list cycle (20 an hour) is above the floor.
declare -A FLOOR_PER_HOUR=([gdi]=15 [user]=15 [handles]=15 [private_kb]=2048)
# A run too short to judge slopes still fails on no ticks, no popups, or a column that grows
# past its bound after the warm-up (popups opening and closing move the counts a little).
declare -A BOUND=([gdi]=60 [user]=40 [handles]=80 [private_kb]=16384)

# shellcheck source=lib/wine.sh
source "$ROOT/scripts/lib/wine.sh"
for tool in cmake wine Xvfb; do
    command -v "$tool" >/dev/null || { echo "soak.sh: $tool is missing; run scripts/bootstrap.sh" >&2; exit 1; }
done
mkdir -p "$LOGS"
if [ "${PIPWARDEN_SOAK_NO_BUILD:-0}" = 1 ]; then
    [ -f "$WIN_BUILD/bin/pipwarden_e2e.exe" ] && [ -f "$WIN_BUILD/bin/procstat.exe" ] ||
        { echo "soak.sh: no built programs in $WIN_BUILD/bin" >&2; exit 1; }
elif [ ! -f "$WIN_BUILD/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$WIN_BUILD" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$(wine_env_toolchain "$ROOT")" >"$LOGS/soak-configure.log" 2>&1 ||
        { cat "$LOGS/soak-configure.log"; echo "soak.sh: configure failed" >&2; exit 1; }
fi
if [ "${PIPWARDEN_SOAK_NO_BUILD:-0}" != 1 ]; then
    cmake --build "$WIN_BUILD" -j"$JOBS" --target pipwarden_e2e procstat >"$LOGS/soak-build.log" 2>&1 ||
        { tail -40 "$LOGS/soak-build.log"; echo "soak.sh: build failed" >&2; exit 1; }
fi

export WINE_ENV_E2E_TIMEOUT=$((SECONDS_TOTAL + 300))
trap 'wine_env_stop' EXIT INT TERM
wine_env_start "$WIN_BUILD" >"$LOGS/soak-wine-env.log" 2>&1 ||
    { cat "$LOGS/soak-wine-env.log"; echo "soak.sh: the Wine environment did not come up" >&2; exit 1; }

echo "== soak: $SECONDS_TOTAL s, main tick $PIPWARDEN_SOAK_TICK_MS ms, a sample every" \
    "$PIPWARDEN_SOAK_SAMPLE_SECONDS s, the terminal's list emptied every $PIPWARDEN_SOAK_CYCLE_SECONDS s"
output="$LOGS/soak-run.log"
run_e2e "$WIN_BUILD" --gtest_filter='Soak.*' --gtest_also_run_disabled_tests >"$output" 2>&1
rc=$?
wine_env_stop
grep -E '^\[  FAILED|Failure|error:' "$output" | head -20

# The table, then one line per column: slope per hour, its standard error, the verdict.
awk -v warmup="$WARMUP_SECONDS" -v judged_min="$JUDGED_MIN_SECONDS" \
    -v floors="gdi=${FLOOR_PER_HOUR[gdi]} user=${FLOOR_PER_HOUR[user]} handles=${FLOOR_PER_HOUR[handles]} private_kb=${FLOOR_PER_HOUR[private_kb]}" \
    -v bounds="gdi=${BOUND[gdi]} user=${BOUND[user]} handles=${BOUND[handles]} private_kb=${BOUND[private_kb]}" '
function field(name,    i, kv) {
    for (i = 1; i <= NF; i++) { split($i, kv, "="); if (kv[1] == name) return kv[2] }
    return ""
}
BEGIN {
    ncol = split("gdi user handles private_kb", cols, " ")
    n = split(floors, f, " "); for (i = 1; i <= n; i++) { split(f[i], kv, "="); floor[kv[1]] = kv[2] }
    n = split(bounds, f, " "); for (i = 1; i <= n; i++) { split(f[i], kv, "="); bound[kv[1]] = kv[2] }
    printf "%8s %9s %7s %6s %6s %8s %11s\n", "seconds", "ticks", "popups", "gdi", "user", "handles", "private_kb"
}
/^soak-sample / {
    t = field("seconds")
    printf "%8s %9s %7s %6s %6s %8s %11s\n", t, field("ticks"), field("popups"), field("gdi"), field("user"), field("handles"), field("private_kb")
    if (t + 0 < warmup) next
    m++; x[m] = t / 3600
    for (c = 1; c <= ncol; c++) y[cols[c], m] = field(cols[c]) + 0
}
/^soak-end / { endline = $0 }
END {
    bad = 0; slopes = ""
    span = m > 1 ? (x[m] - x[1]) * 3600 : 0
    judged = span >= judged_min
    printf "after a warm-up of %d s: %d samples over %d s%s\n", warmup, m, span, judged ? "" : " (too short to judge the slopes)"
    if (m < 2) { print "too few samples after the warm-up"; bad = 1 }
    for (c = 1; c <= ncol; c++) {
        name = cols[c]
        growth = 0
        for (i = 2; i <= m; i++) if (y[name, i] - y[name, 1] > growth) growth = y[name, i] - y[name, 1]
        if (growth > bound[name]) { printf "%s grew by %d after the warm-up (bound %d)\n", name, growth, bound[name]; bad = 1 }
        if (m < 3) { slopes = slopes " " name "=n/a"; continue }
        sx = sy = sxx = sxy = 0
        for (i = 1; i <= m; i++) { sx += x[i]; sy += y[name, i]; sxx += x[i] * x[i]; sxy += x[i] * y[name, i] }
        d = m * sxx - sx * sx
        slope = d > 0 ? (m * sxy - sx * sy) / d : 0
        icpt = (sy - slope * sx) / m
        sse = 0
        for (i = 1; i <= m; i++) { r = y[name, i] - icpt - slope * x[i]; sse += r * r }
        se = (d > 0 && m > 2) ? sqrt(sse / (m - 2) * m / d) : 0
        leak = slope > floor[name] && slope > 3 * se
        verdict = !judged ? "not judged" : leak ? "RISING" : "flat"
        if (judged && leak) bad = 1
        printf "slope %-10s %+10.1f per hour (standard error %.1f, floor %s): %s\n", name, slope, se, floor[name], verdict
        slopes = slopes sprintf(" %s=%+.0f/h", name, slope)
    }
    print endline
    ticks = endline; sub(/.*ticks=/, "", ticks); sub(/ .*/, "", ticks)
    rate = endline; sub(/.*ticks_per_second=/, "", rate); sub(/ .*/, "", rate)
    pops = endline; sub(/.*popups=/, "", pops); sub(/ .*/, "", pops)
    if (endline == "" || ticks + 0 == 0 || pops + 0 == 0) { print "no ticks or no popups"; bad = 1 }
    summary = sprintf("%s ticks (%s a second), %s popups; slopes%s", ticks, rate, pops, slopes)
    print summary > "/dev/stderr"
    exit bad
}' "$output" 2>"$output.summary"
slopes_rc=$?

summary=$(cat "$output.summary")
if [ "$rc" -ne 0 ] || ! grep -q '^soak-end ' "$output"; then
    tail -30 "$output"
    echo "soak: FAILED (the run failed) - $summary"
    exit 1
fi
if [ "$slopes_rc" -ne 0 ]; then
    echo "soak: FAILED (no ticks or popups, or a resource keeps rising or grew past its bound) - $summary"
    exit 1
fi
echo "soak: passed - $summary"
