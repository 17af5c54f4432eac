#!/usr/bin/env bash
# What a script waits for through `drive-console serve` against the simulated
# controller in its own process, paced at 19200 bit/s: answers that need no
# line (console.info) per second, and the median and slowest time of a
# status.read (the next status reply), of a parameters.write (write and
# read-back) and of a parameters.read of all 70 registers, through the Python
# client.  Usage: bench/serve_bench.sh [ROUNDS]   (default 20)
#   SIM_ARGS="..." simulator options instead of "--line-rate 19200"
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-20}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target drive-sim drive-console >/dev/null

work="$(mktemp -d)"
simpid=""
trap '[ -n "$simpid" ] && kill "$simpid" 2>/dev/null; rm -rf "$work"' EXIT
# shellcheck disable=SC2086
build/drive-sim ${SIM_ARGS:---line-rate 19200} >"$work/sim.out" 2>/dev/null &
simpid=$!
for _ in $(seq 50); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
device="$(head -n 1 "$work/sim.out")"

XDG_STATE_HOME="$work/state" python3 - "$device" "$rounds" <<'PY'
import os, statistics, subprocess, sys, time
sys.path.insert(0, os.path.join("clients", "python"))
from drive_console import Console

device, rounds = sys.argv[1], int(sys.argv[2])

def timed(f, n):
    times = []
    for i in range(n):
        t = time.perf_counter()
        f(i)
        times.append(time.perf_counter() - t)
    return times

with Console(device, exe="build/drive-console", stderr=subprocess.DEVNULL) as unit:
    unit.status_read()  # the pages have been read: polling is steady
    n = 1000
    info = sum(timed(lambda i: unit.info(), n))
    print("console.info        %8.0f answers/s" % (n / info))
    for name, f in [("status.read", lambda i: unit.status_read()),
                    ("parameters.write", lambda i: unit.parameters_write(register=2550, value=55 + i % 5)),
                    ("parameters.read", lambda i: unit.parameters_read())]:
        t = timed(f, rounds)
        print("%-19s median %6.0f ms, slowest %6.0f ms (%d rounds)"
              % (name, 1000 * statistics.median(t), 1000 * max(t), rounds))
PY
