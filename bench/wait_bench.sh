#!/usr/bin/env bash
# CPU time of the console while it waits for an absent device with automatic
# reconnection on (the watcher's once-a-second look, the idle communication
# thread and the UI loop), over SECONDS after a start-up margin.
# Usage: bench/wait_bench.sh [SECONDS]   (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-20}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target drive-console >/dev/null

work="$(mktemp -d)"
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
# Offscreen, with settings of its own; the pictures end the run.
XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" \
  build/drive-console --reconnect --com 4=/dev/serial/by-id/absent-adapter \
  --screenshots "$work/shots" --screenshot-delay "$((secs + 5))" >/dev/null 2>&1 &
pid=$!
cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
sleep 3
before="$(cpu)"
sleep "$secs"
after="$(cpu)"
hz="$(getconf CLK_TCK)"
awk -v t=$((after - before)) -v hz="$hz" -v s="$secs" \
  'BEGIN { printf "waiting %d s: %.3f s CPU (%.2f ms per second)\n", s, t / hz, 1000 * t / hz / s }'
wait "$pid" || true
