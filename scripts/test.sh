#!/usr/bin/env bash
# Installs what is missing, builds the native and the Windows targets, runs every
# unit test natively and every end-to-end test under Wine on a private X display.
# Ends with one line "N passed, N failed" and a non-zero exit on any failure.
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${PIPWARDEN_BUILD_DIR:-$ROOT/build}"
JOBS="$(nproc 2>/dev/null || echo 2)"
LOGS="$BUILD/logs"

passed=0
failed=0

summary() {
    echo "$passed passed, $failed failed"
}

fail_early() {
    echo "test.sh: $1" >&2
    failed=$((failed + 1))
    summary
    exit 1
}

# Adds the counts of one GoogleTest run; a run that crashed or printed no summary
# counts as one failure.
count_gtest() {
    local log="$1" rc="$2" p f
    p="$(grep -E '^\[  PASSED  \] [0-9]+ tests?\.' "$log" | tail -1 | grep -oE '[0-9]+' | head -1)"
    f="$(grep -E '^\[  FAILED  \] [0-9]+ tests?, listed below' "$log" | tail -1 | grep -oE '[0-9]+' | head -1)"
    p="${p:-0}"
    f="${f:-0}"
    if [ "$rc" -ne 0 ] && [ "$f" -eq 0 ]; then
        f=1
    fi
    passed=$((passed + p))
    failed=$((failed + f))
}

"$ROOT/scripts/bootstrap.sh" || fail_early "installing the packages failed"
mkdir -p "$LOGS"

# shellcheck source=lib/wine.sh
source "$ROOT/scripts/lib/wine.sh"
# shellcheck source=lib/service.sh
source "$ROOT/scripts/lib/service.sh"
# shellcheck source=lib/smtpd.sh
source "$ROOT/scripts/lib/smtpd.sh"
trap 'wine_env_stop; smtpd_stop; service_stop' EXIT INT TERM

echo "== build (native)"
cmake -S "$ROOT" -B "$BUILD/native" -DCMAKE_BUILD_TYPE=Release >"$LOGS/native-configure.log" 2>&1 ||
    { cat "$LOGS/native-configure.log"; fail_early "native configure failed"; }
cmake --build "$BUILD/native" -j"$JOBS" >"$LOGS/native-build.log" 2>&1 ||
    { tail -50 "$LOGS/native-build.log"; fail_early "native build failed"; }

toolchain="$(wine_env_toolchain "$ROOT")"
echo "== build (Windows, $(basename "$toolchain" .cmake))"
cmake -S "$ROOT" -B "$BUILD/win" -DCMAKE_BUILD_TYPE=Release \
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
timeout -k 5 300 "$BUILD/native/pipwarden_unit" --gtest_brief=1 >"$LOGS/unit.log" 2>&1
rc=$?
grep -vE '^Running main' "$LOGS/unit.log"
count_gtest "$LOGS/unit.log" "$rc"
echo "unit tests took $((SECONDS - unit_start)) s"

echo "== fuzz targets, 5 s each"
fuzz_start=$SECONDS
if PIPWARDEN_BUILD_DIR="$BUILD" "$ROOT/scripts/fuzz.sh" 5; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
fi
echo "fuzz targets took $((SECONDS - fuzz_start)) s"

echo "== end-to-end tests (Wine)"
e2e_start=$SECONDS
service_start "$BUILD/native" || { echo "test.sh: the local service did not start" >&2; failed=$((failed + 1)); }
smtpd_start || { echo "test.sh: the local mail server did not start" >&2; failed=$((failed + 1)); }
if wine_env_start "$BUILD/win" >"$LOGS/wine-env.log" 2>&1; then
    [ -n "$installer" ] && PIPWARDEN_INSTALLER="$(winepath -w "$installer" 2>/dev/null)" &&
        export PIPWARDEN_INSTALLER
    run_e2e "$BUILD/win" --gtest_brief=1 >"$LOGS/e2e.log" 2>&1
    rc=$?
    grep -vE '^Running main' "$LOGS/e2e.log"
    count_gtest "$LOGS/e2e.log" "$rc"
else
    cat "$LOGS/wine-env.log"
    echo "test.sh: the Wine environment did not come up" >&2
    failed=$((failed + 1))
fi
wine_env_stop
smtpd_stop
service_stop
echo "end-to-end tests took $((SECONDS - e2e_start)) s"

# A short run of the long-run check, so that it cannot rot; counted as one test.
echo "== soak (short)"
if PIPWARDEN_WIN_BUILD_DIR="$BUILD/win" "$ROOT/scripts/soak.sh" 1.5 >"$LOGS/soak.log" 2>&1; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
fi
tail -1 "$LOGS/soak.log"

summary
[ "$failed" -eq 0 ]
