#!/usr/bin/env bash
# scripts/sample-diary.sh DATA_FILE SCRATCH_DIR
# Writes the sample diary of the pictures (README, user guide) around the
# current month with the command-line tool of the build: coloured and
# blinking titles, notes of the month and the year, a picture and a file.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
data="${1:?DATA_FILE}"
scratch="${2:?SCRATCH_DIR}"
mkdir -p "$(dirname "$data")" "$scratch"
cli() { "$root/build/src/cli/tallyleaf-cli" --data "$data" "$@" >/dev/null; }
ym="$(date +%Y-%m)"
cli create
cli put "$ym-01" --title "Advent calendar" --color '#008000' --text "The first door."
cli put "$ym-03" --title "Dentist 10:00" --color '#C00000' --text "Check-up."
cli put "$ym-05" --title "Market day" --background '#FFF080' --text "Apples, cheese."
cli put "$ym-08" --title "Letter from Aiko" --color '#0040C0' --text "She moved to Sapporo."
cli put "$ym-10" --title "Deadline" --color '#FFFFFF' --background '#E00000' --blink all --text "Report."
cli put "$ym-12" --title "Concert" --color '#0000C0' --blink text --text "Choir."
cli put "$ym-15" --title "Piano lesson" --text "Scales."
cli put "$ym" --text "Plans for the month."
cli put "$(date +%Y)" --text "Plans for the year."
# Today's entry last, so that it is the one shown whatever today is.
cli put "$(date +%Y-%m-%d)" --title "Snow at last" --weather "snow" --color "#000000" --background none --blink none \
  --text "Woke at six to a white garden. The ridge above the village was dusted all the way down and the path to the bakery had vanished."
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
