#!/usr/bin/env bash
# scripts/sticky-pictures.sh OUT_DIR
# Makes the README's picture of the sticky notes from a real window: a
# sample diary with notes on both edges of the main window (one translucent,
# one blinking) in a scratch home, the program on a virtual display with a
# window manager and a compositor (translucency needs one), six pictures
# within two blink cycles, so both blink phases are among them.
# Needs the build (scripts/build.sh), xvfb, openbox, xcompmgr and imagemagick.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mkdir -p "${1:?OUT_DIR}" && cd "$1" && pwd)"
for tool in xvfb-run openbox xcompmgr import; do
  command -v "$tool" >/dev/null || { echo "sticky-pictures.sh: $tool is missing" >&2; exit 2; }
done
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch" XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config"
data="$XDG_DATA_HOME/Tally Leaf/Mrlwbk31.dat"
mkdir -p "$(dirname "$data")"
tool="$root/build/src/cli/tallyleaf-cli"
cli() { "$tool" --data "$data" "$@" >/dev/null; }
ym="$(date +%Y-%m)"
cli create
cli put "$ym-03" --title "Dentist 10:00" --color '#C00000' --text "Check-up."
cli put "$ym-08" --title "Report due" --color '#FFFFFF' --background '#E00000' --blink all --text "Report."
cli put "$ym-24" --title "Concert" --color '#0000C0' --text "Choir."
cli sticky "$ym-03" --top 12 --background '#FFFF80'
cli sticky "$ym-08" --top 44 --background '#FF9090' --blink all
cli sticky "$ym" --text "Pay the rent" --top 76 --background '#C0FFC0'
cli sticky "$ym-24" --side right --top 12 --background '#C0E0FF'
cli sticky "$(date +%Y)" --text "Learn the piano" --side right --top 44 --background '#FFC060' --transparency 60
# Each note with its own translucency; the window where the picture wants it.
"$tool" settings TAG/TRANSPARENT_SETALL 0 >/dev/null
for kv in POS_LEFT=180 POS_TOP=60 POS_RIGHT=900 POS_BOTTOM=500; do
  "$tool" settings "WINDOW_POS/${kv%=*}" "${kv#*=}" >/dev/null
done

xvfb-run -a -s "-screen 0 1080x560x24" bash -c '
  openbox & wm=$!
  xcompmgr & comp=$!
  sleep 1
  "$1" & app=$!
  sleep 4
  for i in 0 1 2 3 4 5; do
    import -window root -crop 1000x300+40+40 +repage "$2/sticky-$i.png"; sleep 0.1
  done
  kill $app $comp $wm
' _ "$root/build/src/main/tallyleaf" "$out"
echo "pictures in $out"
