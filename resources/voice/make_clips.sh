#!/bin/sh
# Records the voice clips with espeak-ng: English into <out>/enf, Mandarin into <out>/cnf.
# A clip for the three-letter code c1c2c3 is the file "E" c1 "S" c2 "W" c3 ".MTQ"; a
# whole-name clip for a symbol is "ESW" and the symbol's first three characters.
# Usage: make_clips.sh <out-folder>
set -eu

out=${1:?usage: make_clips.sh <out-folder>}
command -v espeak-ng >/dev/null 2>&1 || { echo "make_clips.sh: espeak-ng is missing" >&2; exit 1; }

clip_name() { # code -> file name
    printf 'E%sS%sW%s.MTQ' "$(printf %s "$1" | cut -c1)" "$(printf %s "$1" | cut -c2)" \
        "$(printf %s "$1" | cut -c3)"
}

# record <voice> <folder> <file> <text>
record() {
    espeak-ng -v "$1" -s 165 -w "$2/$3" "$4"
}

# Each line: kind code text. kind "c" is a three-letter code, "w" a whole-name clip
# (file name "ESW" + code), "p" a pause (the clip for characters that are not spoken).
english='c ZER zero
c ONE one
c TWO two
c THR three
c FOU four
c FIV five
c SIX six
c SEV seven
c EIG eight
c NIN nine
c EPS point
p NUL -
c EUR euro
c USD dollar
c GBP pound
c JPY yen
c CHF swiss franc
c AUD australian dollar
c CAD canadian dollar
c NZD new zealand dollar
c XAU gold
c XAG silver
c XPT platinum
c XPD palladium
c SDX index
w GOL gold
w SIL silver
w BRE brent oil
w WTI crude oil
w 黄金 gold'

mandarin='c ZER 零
c ONE 一
c TWO 二
c THR 三
c FOU 四
c FIV 五
c SIX 六
c SEV 七
c EIG 八
c NIN 九
c EPS 点
p NUL -
c EUR 欧元
c USD 美元
c GBP 英镑
c JPY 日元
c CHF 瑞郎
c AUD 澳元
c CAD 加元
c NZD 纽元
c XAU 黄金
c XAG 白银
c XPT 铂金
c XPD 钯金
c SDX 指数
w GOL 黄金
w SIL 白银
w BRE 布伦特原油
w WTI 美国原油
w 黄金 黄金'

# record_folder <voice> <folder> <table>
record_folder() {
    mkdir -p "$2"
    printf '%s\n' "$3" | while read -r kind code text; do
        case $kind in
        c) record "$1" "$2" "$(clip_name "$code")" "$text" ;;
        w) record "$1" "$2" "ESW$code.MTQ" "$text" ;;
        p) espeak-ng -m -w "$2/$(clip_name "$code")" '<speak><break time="150ms"/></speak>' ;;
        esac
    done
}

record_folder en-us "$out/enf" "$english"
record_folder cmn "$out/cnf" "$mandarin"
