#!/usr/bin/env bash
# Installs what the build needs, then builds and runs every test twice: a
# normal build and an AddressSanitizer + UndefinedBehaviorSanitizer build.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
jobs="$(nproc)"

echo "== formatting"
bash "$root/scripts/check-format.sh"

echo "== build and test (RelWithDebInfo)"
bash "$root/scripts/build.sh" "$root/build"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs"

echo "== install, desktop files and the Debian package"
bash "$root/scripts/check-install.sh" "$root/build"

echo "== build and test (AddressSanitizer + UndefinedBehaviorSanitizer)"
bash "$root/scripts/build.sh" "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DTL_SANITIZE=ON -DTL_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs"

if [ -x "$root/scripts/fuzz.sh" ]; then
  echo "== fuzz (short, fixed time)"
  bash "$root/scripts/fuzz.sh"
fi
