#!/usr/bin/env bash
# scripts/guide-pictures.sh [OUT_DIR]
# Makes the user guide's pictures (docs/guide/ by default) from the real
# program: the sample diary (scripts/sample-diary.sh) in a scratch home, the
# program on a virtual display under openbox, dialogs opened with keys and
# clicks as a user would. Needs the build, xvfb, openbox, xdotool and
# imagemagick. The pictures are committed; the build only copies them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mkdir -p "${1:-$root/docs/guide}" && cd "${1:-$root/docs/guide}" && pwd)"
for tool in xvfb-run openbox xdotool import; do
  command -v "$tool" >/dev/null || { echo "guide-pictures.sh: $tool is missing" >&2; exit 2; }
done
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch" XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config"
data="$XDG_DATA_HOME/Tally Leaf/Mrlwbk31.dat"
bash "$root/scripts/sample-diary.sh" "$data" "$scratch/files"
printf 'diary\ndiary\n' > "$scratch/passwords"

xvfb-run -a -s "-screen 0 1100x760x24" bash -s "$root/build/src/main/tallyleaf" "$out" \
  "$root/build/src/cli/tallyleaf-cli" "$data" "$scratch/passwords" <<'SESSION'
set -euo pipefail
app="$1" out="$2" cli="$3" data="$4" passwords="$5"
openbox >/dev/null 2>&1 &
sleep 1
# shot WINDOW FILE: the window with its frame, as the desktop shows it.
shot() { sleep 0.8; import -frame -window "$1" "$out/$2"; }
# dialog TITLE: the shown window of that title.
dialog() { xdotool search --sync --onlyvisible --name "^$1\$" | head -1; }
start() {
  "$app" & pid=$!
  win=$(xdotool search --sync --onlyvisible --name "^Tally Leaf" | head -1)
  xdotool windowmove "$win" 0 24 windowsize "$win" 1000 660
  sleep 1.5
}
quit() { xdotool windowactivate --sync "$win" key alt+f x; wait "$pid" || true; }

start
shot "$win" first-start.png
# The title colour of today's entry: the Color button of the header,
# below the tool bar and the edit bar.
xdotool mousemove --window "$win" 804 123 click 1
d=$(dialog "Color settings"); shot "$d" color-settings.png; xdotool key Escape
# Open a date; then the month note (an empty day).
xdotool windowactivate --sync "$win" key ctrl+i
d=$(dialog "Open"); shot "$d" open-date.png
xdotool key BackSpace Return
shot "$win" month-note.png
xdotool windowactivate --sync "$win" key alt+f w
d=$(dialog "Change password"); shot "$d" change-password.png; xdotool key Escape
xdotool windowactivate --sync "$win" key alt+s d
d=$(dialog "Data file settings"); shot "$d" data-file-settings.png; xdotool key Escape
xdotool windowactivate --sync "$win" key alt+s s
d=$(dialog "Other Settings"); shot "$d" other-settings.png; xdotool key Escape
quit

# The attachment manager over files of days, a month and a year: opened
# from the File menu, three rows selected with the keyboard.
ym="$(date +%Y-%m)" files="$(dirname "$passwords")/files"
python3 - "$files" <<'PY'
import os, random, struct, sys, zlib
random.seed(7)
def png(name, w, h):
    raw = b"".join(b"\0" + bytes(random.randrange(256) for _ in range(w * 3)) for _ in range(h))
    chunk = lambda t, d: struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d))
    open(os.path.join(sys.argv[1], name), "wb").write(
        b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
        + chunk(b"IDAT", zlib.compress(raw, 0)) + chunk(b"IEND", b""))
png("lighthouse.png", 160, 170)
png("garden-in-may.png", 210, 200)
with open(os.path.join(sys.argv[1], "Recipe - plum cake.txt"), "w") as f:
    f.write("500 g plums, 250 g flour, 125 g butter, 100 g sugar.\n" * 480)
with open(os.path.join(sys.argv[1], "tax return 2025.csv"), "w") as f:
    for i in range(2400):
        f.write("%d,%d.%02d,receipt %d\n" % (i, random.randrange(900), random.randrange(100), random.randrange(99999)))
PY
"$cli" --data "$data" attach "$ym-01" "$files/lighthouse.png" "$files/Recipe - plum cake.txt" >/dev/null
"$cli" --data "$data" attach "$ym-12" "$files/garden-in-may.png" >/dev/null
"$cli" --data "$data" attach "$ym" "$files/tax return 2025.csv" >/dev/null
start
xdotool windowactivate --sync "$win" key alt+f g
d=$(dialog "Management attached files")
xdotool key Home shift+Down shift+Down
shot "$d" attachment-manager.png
xdotool key Escape
quit

# The prompt of a diary with a password.
"$cli" --data "$data" --password-file "$passwords" password set >/dev/null
"$app" & pid=$!
d=$(dialog "Password"); shot "$d" password.png
xdotool type diary; xdotool key Return
win=$(xdotool search --sync --onlyvisible --name "^Tally Leaf" | head -1)
quit
SESSION
echo "pictures in $out"
