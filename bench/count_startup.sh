#!/bin/sh
# Counts the main thread's instructions from the window's construction to its first paint, for
# the game at a level and for a bare Qt main window, under callgrind in an X server of
# 1920 x 1200 (xvfb-run). Instruction counts barely move with the machine's load, unlike times.
# Usage: bench/count_startup.sh [build folder, default build/ci] [level, default 8]
# With KEEP_IN=<folder> the main threads' callgrind files are copied there (game.out, bare.out)
# for callgrind_annotate.
set -eu
build=${1:-build/ci}
level=${2:-8}
bench="$build/bench/bench_MainWindow"
[ -x "$bench" ] || { echo "no $bench: build the bench first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One counted start in its own settings, cache and state folders; prints its main thread's
# instructions (callgrind writes a file per thread, the first one is the main thread's).
count() {
    home="$work/$1"
    mkdir -p "$home"
    QUORVIK_BENCH_HOME="$home" XDG_CACHE_HOME="$home" QT_QPA_PLATFORM=xcb \
        xvfb-run -a -s "-screen 0 1920x1200x24" \
        valgrind --tool=callgrind --collect-atstart=no --separate-threads=yes \
        --callgrind-out-file="$home/callgrind.out" "$bench" "--start-$1" "$level" \
        >/dev/null 2>"$home/valgrind.log"
    if [ -n "${KEEP_IN:-}" ]; then
        mkdir -p "$KEEP_IN"
        cp "$home"/callgrind.out-01 "$KEEP_IN/$1.out"
    fi
    sed -n 's/^totals: *//p' "$home"/callgrind.out-01 | cut -d' ' -f1
}

game=$(count game)
bare=$(count bare)
echo "main-thread instructions, construction to first paint, level $level, 1920x1200:"
echo "game $game, bare main window $bare, ratio $(echo "scale=3; $game / $bare" | bc)"
