#!/usr/bin/env bash
# Installs what the build needs, builds, and runs the main job on the default
# data folder: creates the diary when it is missing and prints its contents.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" "$root/build" >/dev/null
cli="$root/build/src/cli/tallyleaf-cli"
"$cli" create --if-missing
exec "$cli" stats "$@"
