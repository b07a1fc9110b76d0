#!/usr/bin/env bash
# Installs what is missing, builds the Windows programs and runs them under Wine:
# on your display when there is one, else on a private virtual display, saving a
# screenshot to build/demo/screenshot.png.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${PIPWARDEN_BUILD_DIR:-$ROOT/build}"
WIN="$BUILD/win"
DEMO="$BUILD/demo/Pip Warden"

"$ROOT/scripts/bootstrap.sh"
# shellcheck source=lib/wine.sh
source "$ROOT/scripts/lib/wine.sh"
# The local stand-in for the vendor's web service (quote pages, e-mail notices) is a
# Linux program.
cmake -S "$ROOT" -B "$BUILD/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD/native" -j"$(nproc 2>/dev/null || echo 2)" --target pipwarden_service >/dev/null
cmake -S "$ROOT" -B "$WIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$(wine_env_toolchain "$ROOT")" >/dev/null
cmake --build "$WIN" -j"$(nproc 2>/dev/null || echo 2)" >/dev/null

# An installation as a user gets it: the launcher on top, the main program below file\.
rm -rf "$DEMO"
mkdir -p "$DEMO/file"
cp "$WIN/bin/Pip Warden.exe" "$DEMO/"
cp "$WIN/bin/Pipwarden.exe" "$DEMO/file/"
for folder in data skin; do
    if [ -d "$WIN/bin/$folder" ]; then cp -r "$WIN/bin/$folder" "$DEMO/file/"; fi
done
# A fresh start shows the options once; the demo goes straight to the price bar.
printf '[MAIN]\r\nSHOWOPTION=1\r\n' >"$DEMO/file/pipward.cfg"
# One alert that fires on the first moves of EURUSD, so the popup shows itself.
printf '[EURUSD1]\r\ncurrency=EURUSD\r\nenabled=1\r\ncondition=0\r\nprice=1.0000\r\nmode=1\r\nsoundfile=\r\nspeaklen=0\r\nspeakname=1\r\ntraymsg=Demo alert: EURUSD is above 1.0000\r\nalerttimes=3\r\nautodelete=0\r\n' >"$DEMO/file/fxconset.ini"

# shellcheck source=lib/service.sh
source "$ROOT/scripts/lib/service.sh"
trap 'wine_env_stop; service_stop' EXIT INT TERM
service_start "$BUILD/native"
echo "demo: local web service at $PIPWARDEN_SERVICE"

# The simulated terminal stands in for MetaTrader 4; the launcher starts the main program.
start_programs() {
    wine "$WIN/bin/mt4sim.exe" /seed:7 >/dev/null 2>&1 &
    sleep 3
    wine "$DEMO/Pip Warden.exe" >/dev/null 2>&1 &
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    wine_env_use_display "$WIN/wineprefix-demo"
    echo "demo: running on $DISPLAY; choose Exit in the tray menu and close the terminal to end."
    start_programs
    wineserver -w
else
    wine_env_start "$WIN"
    start_programs
    sleep 10
    import -window root "$BUILD/demo/screenshot.png"
    echo "demo: no display; screenshot saved to $BUILD/demo/screenshot.png"
fi
