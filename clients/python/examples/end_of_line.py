#!/usr/bin/env python3
"""End-of-line check of several controllers at once.

For every controller given with --device, at the same time: verify its
parameters against the reference set, restore what differs, watch its fault
bits for --watch seconds, and give a verdict. Prints one row per controller
and writes the rows as CSV (--csv, default standard output after the table).
Exit status 0 only when every unit passed.

    end_of_line.py --reference golden.json --device /dev/ttyUSB0 --device /dev/ttyUSB1 --watch 60
"""

import argparse
import csv
import os
import sys
import subprocess
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

from drive_console import Console, ConsoleError  # noqa: E402

COLUMNS = ["device", "differences", "restored", "faults", "verdict", "detail"]


def check(device, args):
    row = {"device": device, "differences": "", "restored": "", "faults": "", "verdict": "FAIL", "detail": ""}
    try:
        with Console(device, exe=args.exe, timeout=args.timeout, stderr=subprocess.DEVNULL) as unit:
            reference = os.path.abspath(args.reference)
            found = unit.set_verify(file=reference)
            row["differences"] = found["differing"]
            restored = 0
            if found["differing"]:
                result = unit.set_restore(file=reference)
                restored = sum(1 for r in result["rows"] if r["confirmed"])
                if result["stillDiffering"] != 0:
                    row["restored"] = restored
                    row["detail"] = "%s registers still differ" % result["stillDiffering"]
                    return row
            row["restored"] = restored
            # serve keeps every fault event since it started: those of the
            # checks and the restore count too.
            unit.status_read()
            time.sleep(args.watch)
            unit.status_read()
            seen = [e["caption"] for e in unit.faults_history() if e["event"] == "ON"]
            row["faults"] = len(seen)
            if seen:
                row["detail"] = "faults: " + ", ".join(sorted(set(seen)))
            else:
                row["verdict"] = "PASS"
    except ConsoleError as e:
        row["detail"] = e.message
    return row


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--reference", required=True, help="the reference parameter set (a dump file)")
    parser.add_argument("--device", action="append", required=True, help="a controller's device (repeat)")
    parser.add_argument("--watch", type=float, default=60.0, help="seconds to watch for faults (60)")
    parser.add_argument("--timeout", type=float, default=10.0, help="seconds to wait for a controller (10)")
    parser.add_argument("--csv", help="write the rows to this CSV file")
    parser.add_argument("--exe", help="the drive-console program (default: $DRIVE_CONSOLE or drive-console)")
    args = parser.parse_args()

    rows = [None] * len(args.device)

    def run(i, device):
        try:
            rows[i] = check(device, args)
        except Exception as e:  # one unit's surprise fails that unit, not the bench
            rows[i] = {"device": device, "differences": "", "restored": "", "faults": "", "verdict": "FAIL",
                       "detail": "%s: %s" % (type(e).__name__, e)}

    threads = [threading.Thread(target=run, args=(i, d)) for i, d in enumerate(args.device)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()

    print("%-24s %-11s %-8s %-6s %-7s %s" % ("device", "differences", "restored", "faults", "verdict", "detail"))
    for r in rows:
        print("%-24s %-11s %-8s %-6s %-7s %s" % tuple(str(r[c]) for c in COLUMNS))
    out = open(args.csv, "w", newline="", encoding="utf-8") if args.csv else sys.stdout
    writer = csv.DictWriter(out, fieldnames=COLUMNS)
    writer.writeheader()
    writer.writerows(rows)
    if args.csv:
        out.close()
    return 0 if all(r["verdict"] == "PASS" for r in rows) else 1


if __name__ == "__main__":
    sys.exit(main())
