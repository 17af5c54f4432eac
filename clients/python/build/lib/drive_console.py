"""A client for ``drive-console serve``: the console's JSON-RPC interface.

One :class:`Console` stands for one controller: it starts ``drive-console
serve`` for that controller's device as a child process and talks JSON-RPC
2.0 with it over its standard input and output, one JSON text per line.
Requests are answered in order; notifications (fault events, link changes,
status updates) are kept until :meth:`Console.events` takes them.

    with Console("/dev/ttyUSB0") as unit:
        print(unit.status_read()["values"][1])
        unit.parameters_write(register=2550, value=58)

Standard library only.
"""

import json
import os
import queue
import subprocess
import threading

__all__ = ["Console", "ConsoleError"]

# The console's own error codes (beside JSON-RPC's -32700 .. -32600).
NO_ANSWER = -32000
PORT_CLOSED = -32001
NEEDS_CONFIRM = -32002
NOT_PARAMETER = -32003
OUT_OF_RANGE = -32004
REFUSED = -32005
FILE_ERROR = -32006


class ConsoleError(Exception):
    """An error answer of serve, or serve gone.

    ``code`` is the JSON-RPC error code (None when serve ended or could not
    start), ``message`` what serve said, ``register`` the register it names
    (or None) and ``data`` the whole data object.
    """

    def __init__(self, code, message, data=None):
        super().__init__(message if code is None else "%s (%d)" % (message, code))
        self.code = code
        self.message = message
        self.data = data if isinstance(data, dict) else {}
        self.register = self.data.get("register")


def _default_exe():
    return os.environ.get("DRIVE_CONSOLE", "drive-console")


class Console:
    """``drive-console serve`` for one controller.

    ``device`` is the serial device (``None`` with ``simulate=True``: the
    built-in simulated controller). Port options: ``baud``, ``parity``
    ("none", "odd", "even"), ``data_bits``, ``stop_bits``, ``timeout``
    (seconds serve waits for the controller), ``fast_line``. ``stderr`` is
    where serve's messages go (default: this process's standard error).
    """

    def __init__(self, device=None, exe=None, simulate=False, stderr=None, env=None, **port_options):
        args = [exe or _default_exe(), "serve"]
        if simulate:
            args.append("--simulate")
        if device is not None:
            args += ["--device", str(device)]
        names = {"baud": "--baud", "parity": "--parity", "data_bits": "--data-bits",
                 "stop_bits": "--stop-bits", "timeout": "--timeout"}
        for key, value in port_options.items():
            if key == "fast_line":
                if value:
                    args.append("--fast-line")
            elif key in names:
                args += [names[key], str(value)]
            else:
                raise TypeError("unknown port option %r" % key)
        self.device = device
        self._timeout = float(port_options.get("timeout", 10))
        self._next_id = 0
        self._answers = {}
        self._lock = threading.Condition()
        self._events = queue.Queue()
        self._ended = False
        self.returncode = None
        try:
            self._proc = subprocess.Popen(args, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=stderr,
                                          env=env, encoding="utf-8", errors="replace", bufsize=1)
        except OSError as e:
            raise ConsoleError(None, "cannot start %s: %s" % (args[0], e)) from e
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    # -- the line to serve ---------------------------------------------------

    def _read(self):
        for line in self._proc.stdout:
            try:
                message = json.loads(line)
            except ValueError:
                continue
            if not isinstance(message, dict):
                continue
            if "id" in message:
                with self._lock:
                    self._answers[message["id"]] = message
                    self._lock.notify_all()
            else:
                self._events.put(message)
        with self._lock:
            self._ended = True
            self._lock.notify_all()
        self._events.put(None)

    def call(self, method, **params):
        """Sends one request and returns its result; raises ConsoleError."""
        with self._lock:
            self._next_id += 1
            rid = self._next_id
            if self._ended:
                raise ConsoleError(None, "serve has ended (exit status %s)" % self._proc.poll())
        request = {"jsonrpc": "2.0", "id": rid, "method": method}
        params = {k: v for k, v in params.items() if v is not None}
        if params:
            request["params"] = params
        try:
            self._proc.stdin.write(json.dumps(request) + "\n")
            self._proc.stdin.flush()
        except (BrokenPipeError, OSError, ValueError) as e:
            raise ConsoleError(None, "serve has ended: %s" % e) from e
        # A request waits at most its own time-out on the line, several for a restore.
        wait = 10 * float(params.get("timeoutS", self._timeout)) + 30
        with self._lock:
            if not self._lock.wait_for(lambda: rid in self._answers or self._ended, timeout=wait):
                raise ConsoleError(None, "no answer from serve to %s within %.0f s" % (method, wait))
            answer = self._answers.pop(rid, None)
        if answer is None:
            raise ConsoleError(None, "serve ended before answering %s (exit status %s)"
                               % (method, self._proc.wait()))
        if "error" in answer:
            error = answer["error"]
            raise ConsoleError(error.get("code"), error.get("message", ""), error.get("data"))
        return answer.get("result")

    def events(self, timeout=None):
        """Yields the notifications ({"method", "params"}) as they come.

        Ends once ``timeout`` seconds pass without one (never with None), or
        when serve has ended.
        """
        while True:
            try:
                event = self._events.get(timeout=timeout)
            except queue.Empty:
                return
            if event is None:
                self._events.put(None)
                return
            yield event

    # -- one method per request ---------------------------------------------

    def info(self):
        return self.call("console.info")

    def status_read(self, timeout_s=None):
        return self.call("status.read", timeoutS=timeout_s)

    def status_subscribe(self):
        return self.call("status.subscribe")

    def status_unsubscribe(self):
        return self.call("status.unsubscribe")

    def parameters_read(self, registers=None, pages=None, timeout_s=None):
        return self.call("parameters.read", registers=registers, pages=pages, timeoutS=timeout_s)["parameters"]

    def parameters_write(self, register=None, caption=None, value=None, word=None, confirm=None,
                         timeout_s=None):
        return self.call("parameters.write", register=register, caption=caption, value=value, word=word,
                         confirm=confirm, timeoutS=timeout_s)

    def controller_store(self, confirm=False, timeout_s=None):
        return self.call("controller.store", confirm=confirm, timeoutS=timeout_s)

    def controller_restore_factory(self, confirm=False, timeout_s=None):
        return self.call("controller.restoreFactory", confirm=confirm, timeoutS=timeout_s)

    def test_stop(self, timeout_s=None):
        return self.call("test.stop", timeoutS=timeout_s)

    def set_dump(self, out=None, note=None, timeout_s=None):
        return self.call("set.dump", out=out, note=note, timeoutS=timeout_s)

    def set_verify(self, file=None, set=None, timeout_s=None):  # noqa: A002 (the method's own name)
        return self.call("set.verify", file=None if file is None else str(file), set=set, timeoutS=timeout_s)

    def set_restore(self, file=None, set=None, only=None, dry_run=None, allow_hall_fault_mask=None,
                    timeout_s=None):  # noqa: A002
        return self.call("set.restore", file=None if file is None else str(file), set=set, only=only,
                         dryRun=dry_run, allowHallFaultMask=allow_hall_fault_mask, timeoutS=timeout_s)

    def faults_history(self):
        return self.call("faults.history")["events"]

    def shutdown(self):
        """Ends serve (journals flushed) and returns its exit status."""
        if self.returncode is not None:
            return self.returncode
        try:
            if not self._ended:
                self.call("console.shutdown")
        except ConsoleError:
            pass
        try:
            self._proc.stdin.close()
        except OSError:
            pass
        try:
            self.returncode = self._proc.wait(timeout=60)
        except subprocess.TimeoutExpired:
            self._proc.kill()
            self.returncode = self._proc.wait()
        self._reader.join(timeout=5)
        if self._proc.stdout:
            self._proc.stdout.close()
        return self.returncode

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.shutdown()
        return False
