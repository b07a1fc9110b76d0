# shellcheck shell=bash
# Wine on a private virtual display, for the end-to-end tests and the demo.
# Source this file, then:
#   wine_env_start BUILD_DIR   Xvfb + a cached Wine prefix under BUILD_DIR, wineserver kept alive
#   wine_env_use_display PREFIX_DIR
#                              the caller's own display + a cached Wine prefix at PREFIX_DIR
#   run_e2e BUILD_DIR [ARGS]   the end-to-end suite under Wine; returns its exit code
#   wine_env_stop              ends every Wine process of the prefix and the display (idempotent)
#   wine_env_toolchain ROOT    the CMake toolchain file of the Windows build this machine runs
#
# Some machines run no 32-bit Linux code at all (execve of an i386 program fails), and Wine
# then runs no 32-bit Windows program either. There the Windows programs are built for
# x86-64 and run by Wine's 64-bit loader, so that the same tests still drive them.

# Bump when the prefix configuration below changes: older prefixes are rebuilt.
WINE_ENV_PREFIX_VERSION=2
WINE_ENV_FIRST_DISPLAY=91
WINE_ENV_DISPLAY_TRIES=40
WINE_ENV_SCREEN=1600x900x24
WINE_ENV_E2E_TIMEOUT=${WINE_ENV_E2E_TIMEOUT:-900}

_wine_env_xvfb_pid=""
_wine_env_prefix=""

_wine_env_log() { echo "wine.sh: $*" >&2; }

wine_env_runs_32bit() {
    [ -z "${PIPWARDEN_WINE64:-}" ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

wine_env_toolchain() {
    local root=${1:?wine_env_toolchain ROOT}
    if wine_env_runs_32bit; then
        echo "$root/cmake/mingw-i686.cmake"
    else
        echo "$root/cmake/mingw-x86_64.cmake"
    fi
}

# Debian's wine, wineboot and winepath scripts take the 32-bit loader whenever it is
# installed; on a machine that cannot run it, stand-ins in front of PATH take the 64-bit one.
_wine_env_use_loader() {
    wine_env_runs_32bit && return 0
    local shim="${TMPDIR:-/tmp}/pipwarden-wine64-$(id -u)" name
    mkdir -p "$shim" || return 1
    for name in wine wine-stable; do
        printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/$name"
        chmod +x "$shim/$name"
    done
    case ":$PATH:" in *":$shim:"*) ;; *) export PATH="$shim:$PATH" ;; esac
    export WINELOADER=/usr/lib/wine/wine64
}

# Starts Xvfb on display :n; succeeds once the server owns the lock and listens.
_wine_env_try_display() {
    local n=$1 pid i
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && return 1
    Xvfb ":$n" -screen 0 "$WINE_ENV_SCREEN" -nolisten tcp -noreset >/dev/null 2>&1 &
    pid=$!
    for ((i = 0; i < 100; i++)); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid" 2>/dev/null || true
            return 1 # lost a race for this display, or Xvfb failed
        fi
        if [ -S "/tmp/.X11-unix/X$n" ] &&
            [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$pid" ] &&
            DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
            _wine_env_xvfb_pid=$pid
            export DISPLAY=":$n"
            return 0
        fi
        sleep 0.05
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    return 1
}

_wine_env_start_display() {
    local n
    for ((n = WINE_ENV_FIRST_DISPLAY; n < WINE_ENV_FIRST_DISPLAY + WINE_ENV_DISPLAY_TRIES; n++)); do
        _wine_env_try_display "$n" && return 0
    done
    _wine_env_log "no free X display from :$WINE_ENV_FIRST_DISPLAY on"
    return 1
}

# Registry settings of a new prefix: no sound driver (there is no device), no crash
# dialog (it would block a headless run), windows not handed to a window manager (Xvfb has
# none, and Wine would wait 2 s for one on every hidden window), and the Chinese faces
# mapped to an installed font.
_wine_env_registry_file() {
    local face=$1
    printf '\xef\xbb\xbf' # byte-order mark; the caller converts the text to UTF-16
    cat <<EOF
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]
"Audio"=""

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"SimSun"="$face"
"宋体"="$face"
"NSimSun"="$face"
"新宋体"="$face"
"MS Shell Dlg"="$face"
"MS Shell Dlg 2"="$face"
"Tahoma"="$face"
EOF
}

_wine_env_make_prefix() {
    local stamp="$WINEPREFIX/.pipwarden-prefix" reg version="$WINE_ENV_PREFIX_VERSION"
    wine_env_runs_32bit || version="$version-64"
    [ "$(cat "$stamp" 2>/dev/null)" = "$version" ] && return 0
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX" # wineboot -i fills it; the stamp comes last, when all went well
    wineboot -i >/dev/null 2>&1 || { _wine_env_log "wineboot failed"; return 1; }
    wineserver -w
    reg="$WINEPREFIX/pipwarden-prefix.reg"
    _wine_env_registry_file "WenQuanYi Micro Hei" | iconv -f UTF-8 -t UTF-16LE >"$reg" || return 1
    wine reg import "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1 ||
        { _wine_env_log "registry import failed"; return 1; }
    wineserver -w
    rm -f "$reg"
    echo "$version" >"$stamp"
}

# Wine looks for the caption-button font only in the prefix; without it the close box shows
# a letter. Debian's fonts-wine ships it outside.
_wine_env_copy_marlett() {
    local font=/usr/share/wine/fonts/marlett.ttf fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ -f "$font" ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
        cp "$font" "$fonts/" 2>/dev/null || true
    fi
}

# Wine's settings for the prefix at $1 (an absolute path), which wine_env_stop then ends.
_wine_env_use_prefix() {
    [ -n "$_wine_env_prefix" ] && wine_env_stop
    export WINEDEBUG=${WINEDEBUG:--all}
    # No Mono or Gecko downloads; no copies of shortcuts in the Linux user's menus.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export WINEPREFIX=$1
    _wine_env_prefix=$WINEPREFIX
    _wine_env_use_loader
}

# One environment per build folder at a time: a wineserver left over from an interrupted
# run of the same prefix would still talk to its old display, so it is ended first.
wine_env_start() {
    local build_dir
    build_dir=$(cd "${1:?wine_env_start BUILD_DIR}" && pwd) || return 1
    _wine_env_use_prefix "$build_dir/wineprefix"
    wineserver -k >/dev/null 2>&1 || true
    _wine_env_start_display || { wine_env_stop; return 1; }
    _wine_env_make_prefix || { wine_env_stop; return 1; }
    _wine_env_copy_marlett
    wineserver -p || { _wine_env_log "wineserver did not start"; wine_env_stop; return 1; }
    # Start the session's services and desktop now, detached from the caller's output:
    # started later by a test they would inherit its stdout and keep a pipe open.
    wineboot </dev/null >/dev/null 2>&1 || { _wine_env_log "wineboot failed"; wine_env_stop; return 1; }
}

# For a person watching: no private display, and no lingering wineserver, so that
# `wineserver -w` returns once the last program has ended.
wine_env_use_display() {
    local prefix=${1:?wine_env_use_display PREFIX_DIR}
    mkdir -p "$prefix" && prefix=$(cd "$prefix" && pwd) || return 1
    _wine_env_use_prefix "$prefix"
    _wine_env_make_prefix || { wine_env_stop; return 1; }
    _wine_env_copy_marlett
}

wine_env_stop() {
    if [ -n "$_wine_env_prefix" ]; then
        WINEPREFIX=$_wine_env_prefix wineserver -k >/dev/null 2>&1 || true
        WINEPREFIX=$_wine_env_prefix wineserver -w >/dev/null 2>&1 || true
        _wine_env_prefix=""
    fi
    if [ -n "$_wine_env_xvfb_pid" ]; then
        kill "$_wine_env_xvfb_pid" 2>/dev/null || true
        wait "$_wine_env_xvfb_pid" 2>/dev/null || true
        _wine_env_xvfb_pid=""
    fi
    return 0
}

run_e2e() {
    local build_dir=${1:?run_e2e BUILD_DIR [gtest args]}
    shift
    local exe="$build_dir/bin/pipwarden_e2e.exe" bin rc
    [ -f "$exe" ] || { _wine_env_log "missing $exe"; return 1; }
    bin=$(winepath -w "$build_dir/bin" 2>/dev/null) || { _wine_env_log "winepath failed"; return 1; }
    rc=0
    PIPWARDEN_BIN=$bin timeout -k 10 "$WINE_ENV_E2E_TIMEOUT" wine "$exe" "$@" || rc=$?
    if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
        _wine_env_log "end-to-end tests timed out after $WINE_ENV_E2E_TIMEOUT s"
    fi
    # The tests delete their temporary folders ("pw e2e ..."); a killed run cannot.
    rm -rf "$WINEPREFIX"/drive_c/users/*/Temp/"pw e2e "* 2>/dev/null || true
    return "$rc"
}
