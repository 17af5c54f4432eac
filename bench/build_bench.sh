#!/usr/bin/env bash
# Wall time of the three builds of the test command, each in a fresh folder:
# the release build with its tests (tools/package.sh, package included) and
# the ASan+UBSan and TSan builds (tools/build-sanitized.sh).
#   bench/build_bench.sh cold     nothing is taken from the compiler cache, but
#                                 everything is put in it (a first run on a
#                                 machine with ccache; CCACHE_RECACHE=1)
#   bench/build_bench.sh warm     after cold: everything comes from the cache
#   bench/build_bench.sh nocache  no compiler cache at all (CCACHE_DISABLE=1)
# BUILDS="plain address" picks builds; NICE (default 10) is the niceness.
# Each build starts in a fresh folder build-bench-BUILD/ (kept, for running
# the suites) and logs to bench.log in it.
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:-cold}"
case "$mode" in
  cold) export CCACHE_RECACHE=1 ;;
  warm) ;;
  nocache) export CCACHE_DISABLE=1 ;;
  *) echo "usage: bench/build_bench.sh cold|warm|nocache" >&2; exit 2 ;;
esac
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}"
run() {  # build folder
  if [ "$1" = plain ]; then
    DSC_PACKAGE_TESTS=ON nice -n "${NICE:-10}" tools/package.sh "$2"
  else
    nice -n "${NICE:-10}" tools/build-sanitized.sh "$1" "$2"
  fi >"$2/bench.log" 2>&1 || { tail -n 20 "$2/bench.log" >&2; exit 1; }
}
for b in ${BUILDS:-plain address thread}; do
  dir="build-bench-$b"
  rm -rf "$dir"
  mkdir -p "$dir"
  t=$(date +%s.%N)
  run "$b" "$dir"
  e=$(date +%s.%N)
  awk -v b="$b" -v m="$mode" -v s="$t" -v e="$e" -v l="$(cut -d' ' -f1 /proc/loadavg)" \
    'BEGIN { printf "%-8s %s: %6.1f s (load %s)\n", b, m, e - s, l }'
done
