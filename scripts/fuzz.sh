#!/usr/bin/env bash
# scripts/fuzz.sh [SECONDS]
# Builds the libFuzzer targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz, then runs each for a fixed time
# (default 60 s) from its checked-in seed corpus. New inputs found go to
# build-fuzz/corpus/, never into the repository; a crash fails the script and
# leaves its input in build-fuzz/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
dir="$root/build-fuzz"

if [ ! -f "$dir/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTL_SANITIZE=ON -DTL_BUILD_FUZZ=ON \
    -DTL_BUILD_TESTS=OFF -DTL_BUILD_BENCH=OFF \
    -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link
fi
cmake --build "$dir" --target rtf_parser_fuzz rtf_reader_fuzz

# run TARGET DICTIONARY SEED_FOLDER...
run() {
  local target="$1" dict="$2"
  shift 2
  local corpus="$dir/corpus/$target"
  mkdir -p "$corpus"
  echo "== $target for ${seconds}s"
  (cd "$dir" && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$dir/fuzz/$target" -max_total_time="$seconds" -max_len=16384 -timeout=10 \
      -rss_limit_mb=2048 -dict="$dict" -print_final_stats=1 "$corpus" "$@")
}

run rtf_parser_fuzz "$root/fuzz/rtf.dict" "$root/fuzz/corpus/rtf" "$root/tests/data/rtf"
run rtf_reader_fuzz "$root/fuzz/rtf.dict" "$root/fuzz/corpus/rtf" "$root/tests/data/rtf"
