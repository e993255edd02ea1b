#!/usr/bin/env bash
# Fails when a C++ source differs from what the project's .clang-format
# makes of it. With --fix, rewrites the files instead.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
mapfile -t files < <(git ls-files --cached --others --exclude-standard 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
  'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}" 2> /tmp/tl-format.$$; then
  grep -E '^[^ ].*(warning|error):' /tmp/tl-format.$$ | sed 's/: warning: .*//' | sort -u | head -50 >&2
  rm -f /tmp/tl-format.$$
  echo "formatting differs from .clang-format: run scripts/check-format.sh --fix" >&2
  exit 1
fi
rm -f /tmp/tl-format.$$
echo "formatting: ${#files[@]} files match .clang-format"
