#!/usr/bin/env bash
# The plain suite's wall time under `ctest -j2` (the project's 2-core machine),
# and the five test programs that took longest, from ctest's own timings.
# Builds the test programs first in build-bench (Ninja and ccache when present).
# Usage: bench/suite_bench.sh [JOBS]   (default 2)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${1:-2}"
dir=build-bench
generator=()
if [ ! -f "$dir/CMakeCache.txt" ] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" "${generator[@]}" "${launcher[@]}" >/dev/null
cmake --build "$dir" -j"$jobs" >/dev/null
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
start=$(date +%s.%N)
ctest --test-dir "$dir" -j"$jobs" --timeout 300 >"$log" 2>&1 || { cat "$log"; exit 1; }
end=$(date +%s.%N)
grep -E '^ *[0-9]+/[0-9]+ Test' "$log" | sed -E 's/.* Test +#[0-9]+: ([^ ]+) .* ([0-9.]+) sec$/\2 \1/' |
  sort -rn | head -n 5 | awk '{ printf "  %-28s %6.1f s\n", $2, $1 }'
grep -E 'tests passed' "$log"
awk -v s="$start" -v e="$end" -v j="$jobs" 'BEGIN { printf "suite wall under ctest -j%s: %.1f s\n", j, e - s }'
