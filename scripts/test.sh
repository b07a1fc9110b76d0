#!/usr/bin/env bash
# Installs what is missing, builds the native and the Windows targets, runs every
# unit test natively and every end-to-end test under Wine on a private X display.
# Where the tests run an x86-64 build, the i686 programs that ship are built and packaged
# beside the end-to-end phase.
# Ends with one line "N passed, N failed, N skipped" (and any inherited test filter) and a
# non-zero exit on any failure.
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${PIPWARDEN_BUILD_DIR:-$ROOT/build}"
JOBS="$(nproc 2>/dev/null || echo 2)"
LOGS="$BUILD/logs"

passed=0
failed=0
skipped=0

# GoogleTest honours a filter from the environment: a run that inherited one says so.
summary() {
    echo "$passed passed, $failed failed, $skipped skipped${GTEST_FILTER:+ (filter GTEST_FILTER=$GTEST_FILTER)}"
}

fail_early() {
    echo "test.sh: $1" >&2
    failed=$((failed + 1))
    summary
    exit 1
}

# Adds the counts of one GoogleTest run; a run that crashed, printed no summary or ran no
# test counts as one failure. A brief run lists neither its failures nor its skips at the
# end: they are what ran less what passed.
count_gtest() {
    local log="$1" rc="$2" phase="$3" text ran p f s
    text="$(tr -d '\r' <"$log")" # a Windows program ends its lines with CR LF
    ran="$(grep -E '^\[==========\] [0-9]+ tests? from .* ran\.' <<<"$text" | tail -1 | grep -oE '[0-9]+' | head -1)"
    p="$(grep -E '^\[  PASSED  \] [0-9]+ tests?\.' <<<"$text" | tail -1 | grep -oE '[0-9]+' | head -1)"
    f="$(grep -cE '^\[  FAILED  \] [^ ]+(, where .*)? \([0-9]+ ms\)$' <<<"$text")"
    ran="${ran:-0}"
    p="${p:-0}"
    s=$((ran - p - f))
    [ "$s" -ge 0 ] || s=0
    if [ "$rc" -ne 0 ] && [ "$f" -eq 0 ]; then
        f=1
    fi
    if [ $((p + f + s)) -eq 0 ]; then
        echo "test.sh: the $phase ran no test" >&2
        f=1
    fi
    passed=$((passed + p))
    failed=$((failed + f))
    skipped=$((skipped + s))
}

# Counts one check that is not a GoogleTest run.
count_check() {
    if [ "$1" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
}

# The i686 programs that ship, built and packaged in the background; empty where the test
# build is already that one.
ship_pid=""
ship_start() {
    case "$toolchain" in *i686*) return 0 ;; esac
    echo "== shipping build (i686), beside the end-to-end tests"
    PIPWARDEN_BUILD_DIR="$BUILD" nice -n 10 "$ROOT/scripts/package.sh" --out "$BUILD/dist-ship" \
        >"$LOGS/ship.log" 2>&1 &
    ship_pid=$!
}

# Both programs of a package must be 32-bit: the terminal users run is.
check_i686() {
    local stage="$1" program kind
    for program in "$stage/Pip Warden.exe" "$stage/file/Pipwarden.exe"; do
        kind="$(file -b "$program" 2>/dev/null)"
        echo "$(basename "$program"): $kind"
        case "$kind" in *"Intel 80386"*) ;; *) return 1 ;; esac
    done
}

ship_finish() {
    local rc=0 stage
    if [ -n "$ship_pid" ]; then
        wait "$ship_pid" || rc=$?
        ship_pid=""
        [ "$rc" -eq 0 ] || { tail -30 "$LOGS/ship.log"; echo "test.sh: the shipping build or package failed" >&2; }
        stage="$BUILD/release/package/Pip Warden"
        grep -E 'KB$' "$LOGS/ship.log"
    else
        stage="$BUILD/win/package/Pip Warden"
        [ -n "$installer" ] || rc=1
    fi
    [ "$rc" -eq 0 ] && { check_i686 "$stage" || { echo "test.sh: the shipping programs are not i686" >&2; rc=1; }; }
    count_check "$rc"
}

"$ROOT/scripts/bootstrap.sh" || fail_early "installing the packages failed"
mkdir -p "$LOGS"

# shellcheck source=lib/wine.sh
source "$ROOT/scripts/lib/wine.sh"
# shellcheck source=lib/service.sh
source "$ROOT/scripts/lib/service.sh"
# shellcheck source=lib/smtpd.sh
source "$ROOT/scripts/lib/smtpd.sh"
trap 'wine_env_stop; smtpd_stop; service_stop; [ -n "${ship_pid:-}" ] && kill "$ship_pid" 2>/dev/null' EXIT INT TERM

echo "== build (native)"
cmake -S "$ROOT" -B "$BUILD/native" -DCMAKE_BUILD_TYPE=Release >"$LOGS/native-configure.log" 2>&1 ||
    { cat "$LOGS/native-configure.log"; fail_early "native configure failed"; }
cmake --build "$BUILD/native" -j"$JOBS" >"$LOGS/native-build.log" 2>&1 ||
    { tail -50 "$LOGS/native-build.log"; fail_early "native build failed"; }

toolchain="$(wine_env_toolchain "$ROOT")"
echo "== build (Windows, $(basename "$toolchain" .cmake))"
# With the release's language setting, so that what the tests install behaves as what users
# install.
cmake -S "$ROOT" -B "$BUILD/win" -DCMAKE_BUILD_TYPE=Release -DPIPWARDEN_EDITION_LANGUAGE=-1 \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" >"$LOGS/win-configure.log" 2>&1 ||
    { cat "$LOGS/win-configure.log"; fail_early "Windows configure failed"; }
cmake --build "$BUILD/win" -j"$JOBS" >"$LOGS/win-build.log" 2>&1 ||
    { tail -50 "$LOGS/win-build.log"; fail_early "Windows build failed"; }

echo "== package"
# The installer of the programs just built; the end-to-end tests install it.
installer=""
rm -rf "$BUILD/dist"
if "$ROOT/scripts/package.sh" --from "$BUILD/win" --out "$BUILD/dist" >"$LOGS/package.log" 2>&1; then
    installer="$(find "$BUILD/dist" -name 'PipWarden-*-setup.exe' | head -1)"
else
    cat "$LOGS/package.log"
    echo "test.sh: packaging failed" >&2
    failed=$((failed + 1))
fi

echo "== unit tests"
unit_start=$SECONDS
# Line-buffered, so that a unit program that never ends still leaves what it printed.
timeout -k 5 120 stdbuf -oL "$BUILD/native/pipwarden_unit" --gtest_brief=1 >"$LOGS/unit.log" 2>&1
rc=$?
if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
    echo "test.sh: the unit program did not end within 120 s (it takes 2 s)" >&2
fi
grep -vE '^Running main' "$LOGS/unit.log"
count_gtest "$LOGS/unit.log" "$rc" "unit phase"
echo "unit tests took $((SECONDS - unit_start)) s"

# The layers and the door (ARCHITECTURE.md): no circle, no include up a layer, no long window.
echo "== include rules"
python3 "$ROOT/tools/deps/include_graph.py" "$ROOT"
count_check $?

echo "== fuzz targets, 5 s each"
fuzz_start=$SECONDS
PIPWARDEN_BUILD_DIR="$BUILD" "$ROOT/scripts/fuzz.sh" 5
count_check $?
echo "fuzz targets took $((SECONDS - fuzz_start)) s"

echo "== end-to-end tests (Wine)"
e2e_start=$SECONDS
ship_start
service_start "$BUILD/native" || { echo "test.sh: the local service did not start" >&2; failed=$((failed + 1)); }
smtpd_start || { echo "test.sh: the local mail server did not start" >&2; failed=$((failed + 1)); }
if wine_env_start "$BUILD/win" >"$LOGS/wine-env.log" 2>&1; then
    [ -n "$installer" ] && PIPWARDEN_INSTALLER="$(winepath -w "$installer" 2>/dev/null)" &&
        export PIPWARDEN_INSTALLER
    run_e2e "$BUILD/win" --gtest_brief=1 >"$LOGS/e2e.log" 2>&1
    rc=$?
    grep -vE '^Running main' "$LOGS/e2e.log"
    count_gtest "$LOGS/e2e.log" "$rc" "end-to-end phase"
else
    cat "$LOGS/wine-env.log"
    echo "test.sh: the Wine environment did not come up" >&2
    failed=$((failed + 1))
fi
wine_env_stop
smtpd_stop
service_stop
echo "end-to-end tests took $((SECONDS - e2e_start)) s"
ship_finish
echo "end-to-end tests and the shipping build took $((SECONDS - e2e_start)) s"

# A short run of the long-run check: too short to judge slopes, it still fails on no ticks,
# no popups or resources beyond their bounds after the warm-up; counted as one test.
echo "== soak (short)"
PIPWARDEN_WIN_BUILD_DIR="$BUILD/win" "$ROOT/scripts/soak.sh" 1.5 >"$LOGS/soak.log" 2>&1
count_check $?
tail -1 "$LOGS/soak.log"

summary
[ "$failed" -eq 0 ]
