#!/usr/bin/env bash
# Pictures of the real programs for the README: the Chinese and the English edition under
# Wine on a virtual display, beside the simulated terminal, each window cropped and saved
# as a small PNG.
#
#   scripts/screenshots.sh [--dpi N] [--out DIR] [--news]
#       --dpi N   the display at N pixels per inch (96 is 100 %, 144 is 150 %), in a Wine
#                 prefix of its own; default 96
#       --out DIR where the pictures go; default docs/images
#       --news    also the news window (a build with the web page watch switched on)
#       --no-build  takes the programs as they are built
#
# Builds what is missing in $PIPWARDEN_BUILD_DIR (default build/), "win": the release's
# programs, which speak the language of the locale they run in.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${PIPWARDEN_BUILD_DIR:-$ROOT/build}"
JOBS="$(nproc 2>/dev/null || echo 2)"

dpi=96
out="$ROOT/docs/images"
news=0
build_first=1
while [ $# -gt 0 ]; do
    case "$1" in
    --dpi) dpi="${2:?--dpi N}"; shift 2 ;;
    --out) out="${2:?--out DIR}"; shift 2 ;;
    --news) news=1; shift ;;
    --no-build) build_first=0; shift ;;
    *) echo "screenshots.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
mkdir -p "$out"
out="$(cd "$out" && pwd)"

# Resource ids of the windows and commands used here (resources/resource.h).
SCREEN_WIDTH=1600 # of the virtual display (scripts/lib/wine.sh)
BAR_ALERTS=32773
BAR_OPTIONS=32777
BAR_NEWS=32779
BAR_SHOW=32774
NOTIFY_SYMBOL=1094
FLOAT_SYMBOL=1084
ALERT_LIST=1161
ADD_ALERT=1163
LIST_CLOSE=1061
ALERT_CONDITION=1022
EDITOR_CLOSE=1175
OPTIONS_OK=1098
OPTIONS_CANCEL=1099
NEWS_TAB=1126

# shellcheck source=lib/wine.sh
source "$ROOT/scripts/lib/wine.sh"
build() {
    local dir=$1
    shift
    local targets=(pipwarden mt4sim shotdrive)
    [ "$news" = 1 ] && targets+=(pipwarden_news)
    cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$(wine_env_toolchain "$ROOT")" "$@" >/dev/null
    cmake --build "$dir" -j"$JOBS" --target "${targets[@]}" >/dev/null
}
if [ "$build_first" = 1 ]; then
    echo "== build"
    build "$BUILD/win" -DPIPWARDEN_EDITION_LANGUAGE=-1
fi

home="$BUILD/screenshots"
[ "$dpi" = 96 ] || home="$BUILD/screenshots-dpi$dpi"
mkdir -p "$home"
trap 'wine_env_stop' EXIT INT TERM
wine_env_start "$home"
# Arial is not in the prefix; the dialogs' face stands in for it, near its widths. Wine takes
# the display's resolution from the user's desktop settings; both are read at its start.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'WenQuanYi Micro Hei' /f \
    >/dev/null 2>&1
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wine_env_stop
wine_env_start "$home"

drive() { wine "$driver" "$@" 2>/dev/null | tr -d '\r'; }
# Crops the window out of the whole screen: name, then "X Y W H".
shoot() {
    local name=$1 x=$2 y=$3 w=$4 h=$5
    sleep 1 # let it paint
    import -window root "$home/screen.png"
    convert "$home/screen.png" -crop "${w}x${h}+${x}+${y}" +repage -strip "$out/$name.png"
    echo "   $name.png ${w}x${h}"
}
# Moves a dialog to the right edge below the bar, where the largest of them fits at 150 %.
place_right() {
    local window=$1 r
    read -r -a r <<<"$(drive rect "$window")"
    drive move "$window" $((SCREEN_WIDTH - r[2] - 10)) 80
}
shoot_window() {
    local name=$1 window=$2 rect
    rect=$(drive rect "$window") || { echo "screenshots.sh: no window for $name" >&2; return 1; }
    # shellcheck disable=SC2086
    shoot "$name" $rect
}
# The bar and the terminal beside it, as one picture.
shoot_bar() {
    local name=$1 t b
    read -r -a t <<<"$(drive rect terminal)"
    read -r -a b <<<"$(drive rect bar)"
    local left=$((t[0] < b[0] ? t[0] : b[0])) top=$((t[1] < b[1] ? t[1] : b[1]))
    local right=$((t[0] + t[2] > b[0] + b[2] ? t[0] + t[2] : b[0] + b[2]))
    local bottom=$((t[1] + t[3] > b[1] + b[3] ? t[1] + t[3] : b[1] + b[3]))
    shoot "$name" "$left" "$top" $((right - left)) $((bottom - top))
}

# One edition: an installation of its own, the terminal, the program with one alert that
# fires at once and one floating window, then each window in turn.
edition() {
    local lang=$1 bin=$2 locale=$3 program=${4:-Pipwarden.exe}
    local install="$home/$lang/Pip Warden"
    rm -rf "${home:?}/$lang"
    mkdir -p "$install/file"
    cp "$bin/$program" "$install/file/Pipwarden.exe"
    driver="$bin/shotdrive.exe"
    # The floating window opens at start with the bar hidden; the bar's menu command shows it.
    printf '[MAIN]\r\nSHOWOPTION=1\r\nDISPLAY=0\r\nPOPWIN=,EURUSD\r\nCLSNTFSNDS=-1\r\n' >"$install/file/pipward.cfg"
    printf '%s\r\n' '[EURUSD1]' 'currency=EURUSD' 'enabled=1' 'condition=0' 'price=1.0000' \
        'mode=1' 'soundfile=' 'speaklen=0' 'speakname=1' 'traymsg=EURUSD > 1.0000' \
        'alerttimes=1' 'autodelete=0' '[USDJPY1]' 'currency=USDJPY' 'enabled=1' 'condition=1' \
        'price=140.00' 'mode=1' 'soundfile=' 'speaklen=0' 'speakname=1' 'traymsg=' \
        'alerttimes=1' 'autodelete=0' '[GBPUSD1]' 'currency=GBPUSD' 'enabled=1' 'condition=0' \
        'price=1.3000' 'mode=5' 'soundfile=' 'speaklen=0' 'speakname=1' 'traymsg=' \
        'alerttimes=2' 'autodelete=0' >"$install/file/fxconset.ini"

    echo "== $lang ($dpi dpi)"
    LC_ALL=$locale wine "$bin/mt4sim.exe" /seed:7 >/dev/null 2>&1 &
    drive rect terminal >/dev/null
    drive move terminal 0 0
    LC_ALL=$locale wine "$install/file/Pipwarden.exe" >/dev/null 2>&1 &
    # Apart from each other, so that no window covers another in its picture.
    drive move "$FLOAT_SYMBOL" 1300 450
    drive command "$BAR_SHOW"
    drive rect bar >/dev/null
    drive rect "$NOTIFY_SYMBOL" >/dev/null
    sleep 4 # a few ticks of moving prices
    # Wine's, shown in the top-left corner once the program adds its icon.
    drive hide tray || true
    shoot_bar "$lang-bar"
    shoot_window "$lang-popup" "$NOTIFY_SYMBOL"
    shoot_window "$lang-float" "$FLOAT_SYMBOL"
    drive close "$NOTIFY_SYMBOL"
    drive close "$FLOAT_SYMBOL"

    drive command "$BAR_ALERTS"
    place_right "$ALERT_LIST"
    shoot_window "$lang-alerts" "$ALERT_LIST"
    drive click "$ALERT_LIST" "$ADD_ALERT"
    place_right "$ALERT_CONDITION"
    shoot_window "$lang-editor" "$ALERT_CONDITION"
    drive click "$ALERT_CONDITION" "$EDITOR_CLOSE"
    drive click "$ALERT_LIST" "$LIST_CLOSE"

    drive command "$BAR_OPTIONS"
    place_right "$OPTIONS_OK"
    shoot_window "$lang-options" "$OPTIONS_OK"
    drive click "$OPTIONS_OK" "$OPTIONS_CANCEL"

    if [ "$news" = 1 ] && [ "$program" = Pipwarden_news.exe ]; then
        drive command "$BAR_NEWS"
        drive move "$NEWS_TAB" 600 80
        shoot_window "$lang-news" "$NEWS_TAB"
    fi
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    wineserver -p
}

edition zh "$BUILD/win/bin" zh_CN.UTF-8
edition en "$BUILD/win/bin" en_US.UTF-8
if [ "$news" = 1 ]; then
    edition zh-news "$BUILD/win/bin" zh_CN.UTF-8 Pipwarden_news.exe
fi

# Small files: no metadata, a palette of 256 colours where the picture keeps its look.
for picture in "$out"/*.png; do
    convert "$picture" -strip -colors 256 "PNG8:$picture.8"
    mv "$picture.8" "$picture"
done
rm -f "$home/screen.png"
du -ch "$out"/*.png | tail -1
