"""The Python client against drive-console serve and the simulated controller.

$DSC_CONSOLE_BINARY is the drive-console to run, $DSC_SIM_BINARY the
drive-sim that serves simulated controllers on pseudo-terminals.
"""

import csv
import os
import subprocess
import sys
import tempfile
import threading
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))

import drive_console  # noqa: E402
from drive_console import Console, ConsoleError  # noqa: E402

EXE = os.environ.get("DSC_CONSOLE_BINARY", "drive-console")
SIM = os.environ.get("DSC_SIM_BINARY", "drive-sim")
EXAMPLE = os.path.join(HERE, "..", "examples", "end_of_line.py")


class SimulatedController:
    """drive-sim on a pseudo-terminal, with an optional status timetable."""

    def __init__(self, schedule=None, folder=None):
        args = [SIM]
        if schedule:
            path = os.path.join(folder, "schedule-%d.txt" % id(self))
            with open(path, "w") as f:
                f.write(schedule)
            args += ["--schedule", path]
        self.proc = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.path = self.proc.stdout.readline().strip()

    def stop(self):
        self.proc.terminate()
        self.proc.wait(timeout=30)
        self.proc.stdout.close()


class ClientTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.env = dict(os.environ, XDG_STATE_HOME=os.path.join(self.dir.name, "state"))
        self.sims = []

    def tearDown(self):
        for s in self.sims:
            s.stop()
        self.dir.cleanup()

    def console(self, device=None, **options):
        return Console(device, exe=EXE, simulate=device is None, env=self.env, stderr=subprocess.DEVNULL,
                       **options)

    def sim(self, schedule=None):
        s = SimulatedController(schedule, self.dir.name)
        self.sims.append(s)
        self.assertTrue(s.path, "drive-sim gave no device")
        return s

    def test_reads_writes_and_typed_errors(self):
        capture = os.path.join(self.dir.name, "session.pcapng")
        with self.console(capture=capture) as unit:
            self.assertEqual(unit.info()["framing"], "8O1")
            status = unit.status_read()
            self.assertEqual(len(status["values"]), 26)
            self.assertEqual(status["values"][1]["unit"], "V")
            written = unit.parameters_write(register=2550, value=58)
            self.assertEqual((written["outcome"], written["holds"]), ("confirmed", 58))
            self.assertEqual(unit.parameters_read(registers=[2550])[0]["word"], 58)
            for params, code in [({"register": 2550, "value": 1e6}, drive_console.OUT_OF_RANGE),
                                 ({"register": 2662, "word": 1}, drive_console.NEEDS_CONFIRM),
                                 ({"register": 2654, "word": 1}, drive_console.NOT_PARAMETER)]:
                with self.assertRaises(ConsoleError) as caught:
                    unit.parameters_write(**params)
                self.assertEqual(caught.exception.code, code)
                self.assertEqual(caught.exception.register, params["register"])
            with self.assertRaises(ConsoleError) as caught:
                unit.call("no.such.method")
            self.assertEqual(caught.exception.code, -32601)
        self.assertEqual(unit.returncode, 0)
        with open(os.path.join(self.dir.name, "state", "drive-console", "writes.csv"), encoding="utf-8") as f:
            journal = list(csv.reader(f))[1:]
        self.assertEqual([(r[1], r[4], r[8]) for r in journal], [("api", "2550", "confirmed")])
        with open(capture, "rb") as f:
            self.assertEqual(f.read(4), b"\x0a\x0d\x0d\x0a", "a pcapng section")

    def test_several_controllers_at_once_each_keep_their_own(self):
        units = [self.console() for _ in range(3)]
        try:
            done = []

            def work(i, unit):
                unit.parameters_write(register=2550, value=50 + i)
                done.append((i, unit.parameters_read(registers=[2550])[0]["word"]))

            threads = [threading.Thread(target=work, args=(i, u)) for i, u in enumerate(units)]
            for t in threads:
                t.start()
            for t in threads:
                t.join()
            self.assertEqual(sorted(done), [(0, 50), (1, 51), (2, 52)])
        finally:
            self.assertEqual([u.shutdown() for u in units], [0, 0, 0])

    def test_notifications_come_as_events(self):
        controller = self.sim("0 2762 0x0002\n")
        with self.console(controller.path) as unit:
            unit.status_subscribe()
            unit.status_read()
            kinds = set()
            for event in unit.events(timeout=5):
                kinds.add(event["method"])
                if {"status.update", "faults.event", "link.changed"} <= kinds:
                    break
            self.assertEqual(kinds, {"status.update", "faults.event", "link.changed"})
            self.assertEqual(unit.faults_history()[0]["caption"], "overVolt")

    def test_a_device_that_cannot_be_opened_is_an_error_not_a_hang(self):
        unit = self.console(os.path.join(self.dir.name, "no-such-device"))
        with self.assertRaises(ConsoleError) as caught:
            unit.info()
        self.assertIsNone(caught.exception.code)
        self.assertEqual(unit.shutdown(), 2)

    def test_end_of_line_example_on_two_controllers(self):
        good = self.sim()
        bad = self.sim("0 2762 0x0002\n")
        reference = os.path.join(self.dir.name, "reference.json")
        with self.console(good.path) as unit:
            unit.set_dump(out=reference)
        with self.console(bad.path) as unit:
            unit.parameters_write(register=2550, value=50)
        table = os.path.join(self.dir.name, "bench.csv")
        run = subprocess.run([sys.executable, EXAMPLE, "--reference", reference, "--device", good.path,
                              "--device", bad.path, "--watch", "1", "--csv", table, "--exe", EXE],
                             env=self.env, capture_output=True, text=True, timeout=300)
        self.assertEqual(run.returncode, 1, run.stdout + run.stderr)
        with open(table, encoding="utf-8") as f:
            rows = {r["device"]: r for r in csv.DictReader(f)}
        self.assertEqual((rows[good.path]["differences"], rows[good.path]["verdict"]), ("0", "PASS"))
        self.assertEqual((rows[bad.path]["differences"], rows[bad.path]["restored"]), ("1", "1"))
        self.assertEqual(rows[bad.path]["verdict"], "FAIL")
        with self.console(bad.path) as unit:
            self.assertEqual(unit.set_verify(file=reference)["differing"], 0)


if __name__ == "__main__":
    unittest.main()
