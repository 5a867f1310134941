#!/usr/bin/env bash
# Screenshots of every window after converting the example paste, for the
# README and for looking the windows over: runs the build's programs under
# Xvfb with openbox (for title bars and icons), types the paste with xdotool
# and crops each window with its frame from the screen with ImageMagick.
# Once on a 1920x1080 screen (plain names) and once on a 1366x768 laptop
# screen (names ending in -1366x768), where the main window scrolls.
# Needs the Debian packages xvfb xauth openbox xdotool x11-utils imagemagick.
#   tools/screenshots.sh [OUTDIR]     (default build/screenshots)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
if [ "${1:-}" != --inside ]; then
  out="$(mkdir -p "${1:-$here/../build/screenshots}" && cd "${1:-$here/../build/screenshots}" && pwd)"
  for screen in 1920x1080 1366x768; do
    xvfb-run -a -s "-screen 0 ${screen}x24" bash "$0" --inside "$out" "$screen"
  done
  exit 0
fi
out=$2
screen=$3
tag="-$screen"
[ "$screen" = 1920x1080 ] && tag=""
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
  import -window root -crop "$((w + l + r))x$((h + t + b))+$((x - l))+$((y - t))" +repage "$out/$2$tag.png"
  echo "$out/$2$tag.png"
}
scroll() { # window id, down or right: the window's contents as far as they go
  local info x y w h
  info=$(xwininfo -id "$1")
  x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  w=$(sed -n 's/.*Width: *//p' <<<"$info")
  h=$(sed -n 's/.*Height: *//p' <<<"$info")
  # The wheel over a scroll bar at the window's edge moves that bar.
  if [ "$2" = down ]; then
    xdotool mousemove $((x + w - 5)) $((y + h / 2))
  else
    xdotool mousemove $((x + w / 2)) $((y + h - 5))
  fi
  xdotool click --repeat 40 --delay 20 5
  sleep 0.5
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
click "$main" 380 222 # Pitch Guide, in the Listen frame
side=$(window "^Pitch Guide")
shot "$side" ostrak-pitch
xdotool windowminimize "$side"
# The side windows from the bottom row's buttons. On the small screen the
# window is scrolled down first, and the row sits above the sideways bar.
row=-42
if [ -n "$tag" ]; then
  scroll "$main" down
  row=-56
fi
for side in "75|^LOAD / SAVE|ostrak-files" "426|^Song Optimiser|ostrak-optimiser" "1302|^Import Module|ostrak-import"; do
  IFS='|' read -r x title name <<<"$side"
  click "$main" "$x" "$row"
  id=$(window "$title")
  if [ "$name" = ostrak-import ]; then
    click "$id" 200 22 # the module field; Enter opens what is typed there
    xdotool type --delay 1 "$(realpath "$here/../tests/data/modules/import-example.it")"
    xdotool key Return
    sleep 1.5
  fi
  shot "$id" "$name"
  xdotool windowminimize "$id"
done
if [ -n "$tag" ]; then
  scroll "$main" right
  shot "$main" ostrak-scrolled
fi

cp "$here/../tests/data/song/preview.h" "$OSTRAK_WORK/song.h"
"$here/ostrak-launch" --engine "$here/../engine" "$build/crimp/crimp" >/dev/null 2>&1 &
shot "$(window "^Atari 2600 Assembly")" crimp
