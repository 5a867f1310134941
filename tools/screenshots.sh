#!/usr/bin/env bash
# Screenshots of every window after converting the example paste, for the
# README and for looking the windows over: runs the build's programs under
# Xvfb with openbox (for title bars and icons), types the paste with xdotool
# and crops each window with its frame from the screen with ImageMagick.
# Needs the Debian packages xvfb xauth openbox xdotool x11-utils imagemagick.
#   tools/screenshots.sh [OUTDIR]     (default build/screenshots)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
if [ "${1:-}" != --inside ]; then
  out="$(mkdir -p "${1:-$here/../build/screenshots}" && cd "${1:-$here/../build/screenshots}" && pwd)"
  exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" --inside "$out"
fi
out=$2
build="$here/../build"
export OSTRAK_WORK="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$OSTRAK_WORK"' EXIT
openbox >/dev/null 2>&1 &
sleep 1.5

window() { # waits for a window whose title matches $1; prints its id
  local id=""
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && break
    sleep 0.2
  done
  [ -n "$id" ] || { echo "screenshots: no window '$1'" >&2; exit 1; }
  sleep 1
  echo "$id"
}
shot() { # window id, file name: the window and its frame
  local info x y w h l r t b
  info=$(xwininfo -id "$1")
  x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  w=$(sed -n 's/.*Width: *//p' <<<"$info")
  h=$(sed -n 's/.*Height: *//p' <<<"$info")
  read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  import -window root -crop "$((w + l + r))x$((h + t + b))+$((x - l))+$((y - t))" +repage "$out/$2.png"
  echo "$out/$2.png"
}
click() { # window id, x, y inside it (a negative y counts from the bottom)
  local info x y h
  info=$(xwininfo -id "$1")
  x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  h=$(sed -n 's/.*Height: *//p' <<<"$info")
  [ "$3" -lt 0 ] && y=$((y + h))
  xdotool windowactivate --sync "$1"
  sleep 0.5
  xdotool mousemove $((x + $2)) $((y + $3)) click 1
}

"$here/ostrak-launch" --engine "$here/../engine" "$build/ostrak/ostrak" >/dev/null 2>&1 &
main=$(window "^Ostrak - ")
click "$main" 100 300 # into the input field, which empties it
xdotool type --delay 1 --file "$OSTRAK_WORK/example-paste.txt"
xdotool key alt+b # >> BANG! >>
sleep 1.5
shot "$main" ostrak
# The side windows, from the bottom row's buttons at the default window size.
click "$main" 75 -42
files=$(window "^LOAD / SAVE")
shot "$files" ostrak-files
xdotool windowmove "$files" 1250 0
click "$main" 426 -42
shot "$(window "^Song Optimiser")" ostrak-optimiser
click "$main" 928 -42
import_window=$(window "^Import Module")
click "$import_window" 200 22 # the module field; Enter opens what is typed there
xdotool type --delay 1 "$(realpath "$here/../tests/data/modules/import-example.it")"
xdotool key Return
sleep 1.5
shot "$import_window" ostrak-import
click "$main" 680 196
shot "$(window "^Pitch Guide")" ostrak-pitch

cp "$here/../tests/data/song/preview.h" "$OSTRAK_WORK/song.h"
"$here/ostrak-launch" --engine "$here/../engine" "$build/crimp/crimp" >/dev/null 2>&1 &
shot "$(window "^Atari 2600 Assembly")" crimp
