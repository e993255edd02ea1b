#!/usr/bin/env bash
# scripts/pictures.sh OUT_DIR
# Makes the pictures of the side bar (docs/guide/side-bar*.png, in the
# README and the user guide) from a real window: the sample diary of
# scripts/sample-diary.sh in a scratch home, the program on a virtual
# display, the pointer over a day, one picture in each blink phase.
# Needs the build (scripts/build.sh), xvfb, xdotool and imagemagick.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mkdir -p "${1:?OUT_DIR}" && cd "$1" && pwd)"
for tool in xvfb-run xdotool import; do
  command -v "$tool" >/dev/null || { echo "pictures.sh: $tool is missing" >&2; exit 2; }
done
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch" XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config"
bash "$root/scripts/sample-diary.sh" "$XDG_DATA_HOME/Tally Leaf/Mrlwbk31.dat" "$scratch"

xvfb-run -a -s "-screen 0 1000x640x24" bash -c '
  "$1" & app=$!
  sleep 3
  win=$(xdotool search --sync --onlyvisible --name "Tally Leaf" | head -1)
  xdotool windowmove "$win" 0 0 windowsize "$win" 1000 640
  sleep 1
  # Five lines back in the day list, so that the days with files show.
  xdotool mousemove 130 400 click --repeat 5 4
  # The pointer over the 16th in the calendar (the third week row).
  xdotool mousemove 132 129
  sleep 0.6
  # Half a blink cycle apart: both phases are among them.
  for i in 0 1 2 3; do import -window root -crop 560x640+0+0 "$2/shot-$i.png"; sleep 0.25; done
  kill $app
' _ "$root/build/src/main/tallyleaf" "$out"
echo "pictures in $out"
