#!/usr/bin/env bash
# Installs what the build needs, builds, and starts the desktop program on
# the default data folder (the diary is created at the first start). The
# command-line tool is built beside it: build/src/cli/tallyleaf-cli.
# Without a display the program runs on a virtual one (Xvfb) and only ends
# when stopped.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" "$root/build" >/dev/null
app="$root/build/src/main/tallyleaf"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display; starting tallyleaf on a virtual one (stop with Ctrl+C)" >&2
  exec xvfb-run -a "$app" "$@"
fi
exec "$app" "$@"
