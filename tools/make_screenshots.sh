#!/usr/bin/env bash
# Takes the screenshots that the README and the software-centre entry show, from the built
# program in a virtual X server, into assets/screenshots/:
#   quorvik-main.png  the beginner window as it opens (592 x 386)
#   quorvik-play.png  the beginner board with a few marks and a cell's menu open
# Run it again whenever the look of the window changes. Needs xvfb-run, xdotool and ImageMagick;
# the program is build/default/ui/quorvik unless given as the first argument.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=$(realpath "${1:-$here/build/default/ui/quorvik}")
out=$here/assets/screenshots

if [ "${2:-}" != --in-xvfb ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "${BASH_SOURCE[0]}" "$program" --in-xvfb
fi

config=$(mktemp -d)
mkdir -p "$config/Software"
printf '[Position]\nX1=0\nY1=0\n[Options]\nLev=4\n' >"$config/Software/Quorvik.ini"
XDG_CONFIG_HOME=$config QT_QPA_PLATFORM=xcb "$program" >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$config"' EXIT
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quorvik$' | head -n 1)
sleep 1
eval "$(xdotool getwindowgeometry --shell "$wid")" # X, Y, WIDTH, HEIGHT of the window
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/quorvik-main.png"

# Cell (c, r) of the board: its top left and its centre on the screen.
corner() { echo $((X + 4 + 4 + 2 + $1 * 34)) $((Y + 18 + 8 + 4 + 2 + $2 * 34)); }
centre() { read -r cx cy < <(corner "$1" "$2"); echo $((cx + 17)) $((cy + 17)); }
# Ships never touch, not even at a corner: the diagonal neighbours of every clue (a segment on
# grey) are water, as a player would mark them first.
shot=$(mktemp --suffix=.png)
import -window root "$shot"
for c in $(seq 0 8); do
    for r in $(seq 0 8); do
        read -r cx cy < <(corner "$c" "$r")
        [ "$(convert "$shot" -format "%[hex:p{$((cx + 1)),$((cy + 1))}]" info:)" = 808080 ] || continue
        for d in "-1 -1" "1 -1" "-1 1" "1 1"; do
            read -r dc dr <<<"$d"
            n=$((c + dc)) m=$((r + dr))
            if [ $n -ge 0 ] && [ $n -le 8 ] && [ $m -ge 0 ] && [ $m -le 8 ]; then
                read -r px py < <(corner "$n" "$m")
                # Only covered cells: a second click would cover a water cell again.
                [ "$(convert "$shot" -format "%[hex:p{$((px + 1)),$((py + 1))}]" info:)" = 000000 ] || continue
                read -r x y < <(centre "$n" "$m")
                xdotool mousemove "$x" "$y" click 1
                convert "$shot" -fill white -draw "point $((px + 1)),$((py + 1))" "$shot"
            fi
        done
    done
done
rm -f "$shot"
# The menu of a cell in the board's middle.
read -r x y < <(centre 4 4)
xdotool mousemove "$x" "$y" click 3
sleep 1
# The menu opens inside the window, so the window's rectangle holds both.
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/quorvik-play.png"
xdotool key Escape
echo "screenshots written to $out"
