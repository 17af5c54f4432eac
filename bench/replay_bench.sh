#!/usr/bin/env bash
# How fast a capture plays back: a line-rate session of SECONDS (an hour by
# default, about 89,000 status exchanges at 19200 bit/s, some 40 ms each) made by
# bench/replay_capture.cpp, then `drive-console watch --replay` of it and the
# window's replay of it at max (offscreen, ended by --screenshots once the
# capture has played). Wall time, CPU and peak resident memory of each.
# Usage: bench/replay_bench.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-3600}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target replay_capture drive-console >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
build/replay_capture "$work/line.pcapng" "$secs"
printf "capture: %s s of the line, %.1f MiB\n" "$secs" "$(stat -c %s "$work/line.pcapng" | awk '{print $1 / 1048576}')"

measure() {  # NAME COMMAND...
  local name="$1"
  shift
  local rc=0
  XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen \
    /usr/bin/time -f "%e %U %S %M" -o "$work/$name.time" "$@" >"$work/$name.out" 2>"$work/$name.err" || rc=$?
  read -r wall user sys rss < <(tail -n1 "$work/$name.time")
  printf "%-7s %6.1f s wall, %6.1f s CPU, peak resident %.1f MiB, exit %d\n" "$name" "$wall" \
    "$(echo "$user + $sys" | bc)" "$(echo "$rss / 1024" | bc -l)" "$rc"
}
measure watch build/drive-console watch --replay "$work/line.pcapng"
echo "        $(grep -c . "$work/watch.out") fault events"
measure window build/drive-console --replay "$work/line.pcapng" --replay-speed max --screenshots "$work/pictures"
