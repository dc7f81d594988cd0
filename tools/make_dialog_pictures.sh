#!/usr/bin/env bash
# Draws the About window's emblem (121 x 121) and the manual window's icon (48 x 48) as 24-bit
# PNGs into assets/dialogs/. Needs ImageMagick 6 (convert); the output is the same on every run,
# so the committed pictures can be checked by running this again and comparing.
set -euo pipefail
out="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/assets/dialogs"
mkdir -p "$out"

red='#FF0000'
silver='#C0C0C0'
sea='#B0DCF8'
wave='#2060B0'

# One 30-pixel square per cell on a 4 x 4 board; black lines on the multiples of 30 frame every
# cell, so the board is 4 * 30 + 1 = 121 pixels wide.
board=(
    "S C W T"
    "C W W B"
    "W W C W"
    "L M R C"
)

cell() {  # cell <kind> <x0> <y0>: the primitives for one cell, its top left line at (x0, y0)
    local k=$1 x=$2 y=$3
    local l=$((x + 1)) t=$((y + 1)) r=$((x + 29)) b=$((y + 29))
    local cx=$((x + 15)) cy=$((y + 15))
    if [[ $k == W ]]; then
        echo "fill '$sea' stroke none rectangle $l,$t $r,$b"
        echo "fill none stroke '$wave' stroke-width 2"
        echo "path 'M $((x + 5)),$((y + 11)) q 5,-5 10,0 t 10,0'"
        echo "path 'M $((x + 5)),$((y + 21)) q 5,-5 10,0 t 10,0'"
        return
    fi
    echo "fill '$silver' stroke none rectangle $l,$t $r,$b"
    echo "fill '$red' stroke none"
    # Ship pieces: 18 pixels thick, rounded where the ship ends, flat where it goes on.
    case $k in
        S) echo "circle $cx,$cy $((cx + 10)),$cy" ;;
        L) echo "path 'M $r,$((y + 6)) L $((x + 15)),$((y + 6)) A 9,9 0 0,0 $((x + 15)),$((y + 24)) L $r,$((y + 24)) Z'" ;;
        R) echo "path 'M $l,$((y + 6)) L $((x + 15)),$((y + 6)) A 9,9 0 0,1 $((x + 15)),$((y + 24)) L $l,$((y + 24)) Z'" ;;
        M) echo "rectangle $l,$((y + 6)) $r,$((y + 24))" ;;
        T) echo "path 'M $((x + 6)),$b L $((x + 6)),$((y + 15)) A 9,9 0 0,1 $((x + 24)),$((y + 15)) L $((x + 24)),$b Z'" ;;
        B) echo "path 'M $((x + 6)),$t L $((x + 6)),$((y + 15)) A 9,9 0 0,0 $((x + 24)),$((y + 15)) L $((x + 24)),$t Z'" ;;
        C) ;;
    esac
}

emblem() {
    echo "viewbox 0 0 121 121"
    echo "fill black rectangle 0,0 120,120"
    local row col kinds
    for row in 0 1 2 3; do
        read -r -a kinds <<<"${board[$row]}"
        for col in 0 1 2 3; do
            cell "${kinds[$col]}" $((col * 30)) $((row * 30))
        done
    done
}

# The manual's icon: a written page with a folded corner and a small ship at its foot.
manual_icon() {
    echo "viewbox 0 0 48 48"
    echo "fill '$silver' rectangle 0,0 47,47"
    echo "fill white stroke black stroke-width 1"
    echo "path 'M 9,3 L 30,3 L 38,11 L 38,44 L 9,44 Z'"
    echo "fill '$silver' path 'M 30,3 L 30,11 L 38,11 Z'"
    echo "stroke '#606060' stroke-width 2"
    local y
    for y in 10 15 20 25; do
        echo "line 14,$y $(( y == 10 ? 26 : 33 )),$y"
    done
    echo "stroke none fill '$red'"
    echo "path 'M 17,31 L 30,31 A 4,4 0 0,1 30,39 L 17,39 A 4,4 0 0,1 17,31 Z'"
}

write_png() {  # write_png <size> <file>: renders the primitives on stdin, 24-bit, no time stamps
    convert -size "$1x$1" xc:white -draw "$(cat)" -strip -type TrueColor \
        -define png:color-type=2 -define png:bit-depth=8 \
        -define png:exclude-chunks=date,time "PNG24:$2"
}

emblem | write_png 121 "$out/AboutEmblem.png"
manual_icon | write_png 48 "$out/ManualIcon.png"
