#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the named ones (all by default) one
# after another for SECONDS each (default 60):
#   tools/fuzz.sh [SECONDS] [TARGET...]
# Targets: parser_fuzz (reply parser, receive step of 100 ms passes),
# framing_fuzz (line-rate receive step), paramset_fuzz (parameter-set files),
# uir_fuzz (panel resources), capture_fuzz (capture files), serve_fuzz
# (serve's input lines), telnet_fuzz (the bytes a COM port server sends over
# the network). Each target starts from its seeds in
# tests/fuzz/seeds/<target>/ and keeps its corpus in build-fuzz/corpus/<target>/;
# what it finds goes to build-fuzz/findings/<target>/ and its log to
# build-fuzz/logs/<target>.log. A target stops at its first finding; the
# others still run. For each target the script prints runs, runs a second,
# coverage (edges and features) and findings, and it exits non-zero when
# anything was found. Replay a finding with
#   build-fuzz/tests/fuzz/<target> build-fuzz/findings/<target>/<file>
# DSC_FUZZ_FLAGS adds libFuzzer flags to every run (e.g. "-seed=1").
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=60
if [ $# -gt 0 ] && [[ "$1" =~ ^[0-9]+$ ]]; then
  seconds="$1"
  shift
fi
all=(parser_fuzz framing_fuzz paramset_fuzz uir_fuzz capture_fuzz serve_fuzz telnet_fuzz)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")
for t in "${targets[@]}"; do
  [[ " ${all[*]} " == *" $t "* ]] || { echo "fuzz.sh: unknown target '$t' (known: ${all[*]})" >&2; exit 2; }
done
dir=build-fuzz

generator=()
if [ ! -f "$dir/CMakeCache.txt" ] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
CC=clang CXX=clang++ cmake -S . -B "$dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=Debug -DDSC_FUZZ=ON \
  -DDSC_SANITIZE=address -DDSC_BUILD_TESTS=OFF -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" >/dev/null
cmake --build "$dir" -j"$(nproc)" --target "${targets[@]}"

# Longest input for each target: a few frames, a parameter-set file, a panel
# resource, a short capture, a few negotiations and replies.
max_len() {
  case "$1" in
    parser_fuzz) echo 512 ;;
    framing_fuzz) echo 1500 ;;
    paramset_fuzz) echo 16384 ;;
    uir_fuzz) echo 8192 ;;
    serve_fuzz) echo 4096 ;;
    telnet_fuzz) echo 2048 ;;
    capture_fuzz) echo 4096 ;;
  esac
}

# A small quarantine keeps the memory flat over long runs; the inputs are small.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=16}"
mkdir -p "$dir/logs"
summary=()
found=0
for t in "${targets[@]}"; do
  corpus="$dir/corpus/$t" findings="$dir/findings/$t" log="$dir/logs/$t.log"
  mkdir -p "$corpus" "$findings"
  before="$(ls "$findings" | wc -l)"
  flags=(-max_total_time="$seconds" -max_len="$(max_len "$t")" -timeout=10 -print_final_stats=1
         -artifact_prefix="$findings/")
  [ -f "tests/fuzz/$t.dict" ] && flags+=(-dict="tests/fuzz/$t.dict")
  echo "fuzz.sh: $t for $seconds s (log: $log)" >&2
  # shellcheck disable=SC2086
  "$dir/tests/fuzz/$t" "${flags[@]}" ${DSC_FUZZ_FLAGS:-} "$corpus" "tests/fuzz/seeds/$t" >"$log" 2>&1 || true
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)"
  cov="$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1 | awk '{print $2 " edges, " $4 " features"}')"
  new=$(($(ls "$findings" | wc -l) - before))
  [ "$new" -gt 0 ] && found=1
  line="$(printf '%-14s %10s runs %7s runs/s   %-28s %s finding(s)' "$t" "${runs:-?}" "${rate:-?}" \
    "${cov:-coverage ?}" "$new")"
  echo "$line"
  if [ "$new" -gt 0 ]; then
    ls -t "$findings" | head -n "$new" | sed "s|^|    $findings/|"
    grep -m 3 -E '^(==[0-9]+==ERROR|SUMMARY|[a-z_]+_fuzz: )' "$log" | sed 's/^/    /'
  fi
  summary+=("$line")
done
echo
printf '%s\n' "${summary[@]}"
exit "$found"
