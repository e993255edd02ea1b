#!/usr/bin/env bash
# scripts/pictures.sh OUT_DIR
# Makes the README's pictures of the side bar from a real window: a sample
# diary of the current month in a scratch home, the program on a virtual
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
data="$XDG_DATA_HOME/Tally Leaf/Mrlwbk31.dat"
mkdir -p "$(dirname "$data")"
cli() { "$root/build/src/cli/tallyleaf-cli" --data "$data" "$@" >/dev/null; }
ym="$(date +%Y-%m)"
cli create
cli put "$ym-01" --title "Advent calendar" --color '#008000' --text "The first door."
cli put "$ym-03" --title "Dentist 10:00" --color '#C00000' --text "Check-up."
cli put "$ym-05" --title "Market day" --background '#FFF080' --text "Apples, cheese."
cli put "$ym-08" --title "Letter from Aiko" --color '#0040C0' --text "She moved to Sapporo."
cli put "$(date +%Y-%m-%d)" --title "Snow at last" --text "The first snow."
cli put "$ym-10" --title "Deadline" --color '#FFFFFF' --background '#E00000' --blink all --text "Report."
cli put "$ym-12" --title "Concert" --color '#0000C0' --blink text --text "Choir."
cli put "$ym-15" --title "Piano lesson" --text "Scales."
cli put "$ym" --text "Plans for the month."
cli put "$(date +%Y)" --text "Plans for the year."
python3 - "$scratch/harbour.png" <<'PY'
import sys, zlib, struct
w, h = 32, 24
raw = b"".join(b"\0" + bytes([40, 120 + y * 4, 200]) * w for y in range(h))
chunk = lambda t, d: struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d))
open(sys.argv[1], "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
                              + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))
PY
printf 'Tickets\n' > "$scratch/tickets.txt"
cli attach "$ym-05" "$scratch/harbour.png"
cli attach "$ym-08" "$scratch/tickets.txt"

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
