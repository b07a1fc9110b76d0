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
BAR_HISTORY=32781
BAR_SHOW=32774
NOTIFY_SYMBOL=1094
FLOAT_SYMBOL=1084
ALERT_LIST=1161
ADD_ALERT=1163
LIST_CLOSE=1061
ALERT_CONDITION=1022
EDITOR_CLOSE=1175
EDITOR_PHONE=1437
OPTIONS_TAB=1097
OPTIONS_OK=1098
OPTIONS_CANCEL=1099
PHONE_PAGE=4
HISTORY_LIST=1450
HISTORY_CLOSE=1455
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

# An alert history of the last two hours, as the program writes it: what fired, what went to
# the phone or failed by e-mail, prices that stopped. The alerts' words are the edition's.
write_history() {
    local file=$1 lang=$2 price=Price notice=Notification sound=Sound phone=Phone mail=Email
    if [ "$lang" = zh ]; then
        price=价格 notice=通知 sound=声音 phone=手机 mail=电子邮件
    fi
    ago() { date -d "-$1 minutes" '+%Y-%m-%d %H:%M:%S'; }
    local since check="Check the terminal's connection to its server and its account."
    since="No new price since $(date -d '-88 minutes' '+%H:%M')"
    {
        printf '\xEF\xBB\xBF%s\r\n' 'Time,Pair,Event,Condition,Price,Details'
        printf '%s\r\n' \
            "$(ago 118),EURUSD,FIRED,$price>1.0840,1.0841,$notice+$phone" \
            "$(ago 118),EURUSD,SENT,$price>1.0840,1.0841,phone: ntfy" \
            "$(ago 83),,STOPPED,$since,,$since. $check" \
            "$(ago 71),,MOVING,,,Prices are moving again (stopped for 17 min)" \
            "$(ago 46),GBPUSD,FIRED,$price<1.2710,1.2709,$notice+$sound+$mail" \
            "$(ago 45),GBPUSD,FAILED,$price<1.2710,1.2709,e-mail: 535 Authentication failed" \
            "$(ago 12),USDJPY,FIRED,$price>151.20,151.21,$notice+$phone" \
            "$(ago 12),USDJPY,SENT,$price>151.20,151.21,phone: ntfy"
    } >"$file"
}

# One edition: an installation of its own, the terminal, the program with one alert that
# fires at once, one floating window and a history, then each window in turn.
edition() {
    local lang=$1 bin=$2 locale=$3 program=${4:-Pipwarden.exe}
    local install="$home/$lang/Pip Warden"
    rm -rf "${home:?}/$lang"
    mkdir -p "$install/file"
    cp "$bin/$program" "$install/file/Pipwarden.exe"
    driver="$bin/shotdrive.exe"
    # The floating window opens at start with the bar hidden; the bar's menu command shows it.
    # A phone set up (chat and topic; the token is kept encrypted), so that ticking the alert's
    # phone opens no options window.
    printf '%s\r\n' '[MAIN]' 'SHOWOPTION=1' 'DISPLAY=0' 'POPWIN=,EURUSD' 'CLSNTFSNDS=-1' \
        'TGCHAT=512034987' 'NTFYTOPIC=fx-desk-7k2q' >"$install/file/pipward.cfg"
    printf '%s\r\n' '[EURUSD1]' 'currency=EURUSD' 'enabled=1' 'condition=0' 'price=1.0000' \
        'mode=1' 'soundfile=' 'speaklen=0' 'speakname=1' 'traymsg=EURUSD > 1.0000' \
        'alerttimes=1' 'autodelete=0' '[USDJPY1]' 'currency=USDJPY' 'enabled=1' 'condition=1' \
        'price=140.00' 'mode=17' 'soundfile=' 'speaklen=0' 'speakname=1' 'traymsg=' \
        'alerttimes=1' 'autodelete=0' '[GBPUSD1]' 'currency=GBPUSD' 'enabled=1' 'condition=0' \
        'price=1.3000' 'mode=5' 'soundfile=' 'speaklen=0' 'speakname=1' 'traymsg=' \
        'alerttimes=2' 'autodelete=0' >"$install/file/fxconset.ini"
    write_history "$install/file/alerthistory.csv" "$lang"

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
    drive click "$ALERT_CONDITION" "$EDITOR_PHONE"
    shoot_window "$lang-editor" "$ALERT_CONDITION"
    drive click "$ALERT_CONDITION" "$EDITOR_CLOSE"
    drive click "$ALERT_LIST" "$LIST_CLOSE"

    drive command "$BAR_OPTIONS"
    place_right "$OPTIONS_OK"
    shoot_window "$lang-options" "$OPTIONS_OK"
    drive tab "$OPTIONS_OK" "$OPTIONS_TAB" "$PHONE_PAGE"
    shoot_window "$lang-options-phone" "$OPTIONS_OK"
    drive click "$OPTIONS_OK" "$OPTIONS_CANCEL"

    drive command "$BAR_HISTORY"
    place_right "$HISTORY_LIST"
    shoot_window "$lang-history" "$HISTORY_LIST"
    drive click "$HISTORY_LIST" "$HISTORY_CLOSE"

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
