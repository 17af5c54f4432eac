#!/usr/bin/env bash
# Builds the reply-parser fuzz target with clang, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs it for N seconds (default 60).
#   tools/fuzz.sh [SECONDS] [extra libFuzzer flags...]
# Findings are written to build-fuzz/findings/; the corpus grows in
# build-fuzz/corpus/ (seeded from tests/fuzz/seeds/). Replay a finding with
#   build-fuzz/tests/fuzz/parser_fuzz build-fuzz/findings/<file>
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
dir=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DDSC_FUZZ=ON -DDSC_SANITIZE=address >/dev/null
cmake --build "$dir" -j"$(nproc)" --target parser_fuzz
mkdir -p "$dir/corpus" "$dir/findings"
# A small quarantine keeps the memory flat over long runs; the inputs are tiny.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=16}"
"$dir/tests/fuzz/parser_fuzz" -max_total_time="$seconds" -max_len=512 -print_final_stats=1 \
  -artifact_prefix="$dir/findings/" "$@" "$dir/corpus" tests/fuzz/seeds
