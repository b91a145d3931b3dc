#!/usr/bin/python3
"""The real program on a terminal follows a simulated board: plugged in, then unplugged.

Run under umockdev-wrapper: this process owns the simulated device tree and sends its events,
and the program, started as a child, inherits the tree through the environment.
Usage: program_sees_board.py <path to bin/vantorel>
"""

import os
import select
import signal
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("UMockdev", "1.0")
from gi.repository import UMockdev  # noqa: E402

STEP_SECONDS = 10.0


class Program:
    """The program with its terminal line on a pipe, read line by line with bounded waits."""

    def __init__(self, binary, testbed, home):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        env.update({
            "UMOCKDEV_DIR": testbed.get_root_dir(),
            "HOME": home,
            "XDG_CONFIG_HOME": os.path.join(home, "config"),
            "XDG_DATA_HOME": os.path.join(home, "data"),
            "XDG_RUNTIME_DIR": os.path.join(home, "run"),
        })
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
        self.process = subprocess.Popen([binary], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, env=env)
        self.pending = b""
        self.seen = []

    def wait_for(self, text):
        """Returns once a status line containing `text` was printed; fails after a bounded wait."""
        deadline = time.monotonic() + STEP_SECONDS
        while True:
            while b"\n" in self.pending:
                line, self.pending = self.pending.split(b"\n", 1)
                decoded = line.decode("utf-8", "replace").strip("\r")
                self.seen.append(decoded)
                if text in decoded:
                    return
            remaining = deadline - time.monotonic()
            if remaining <= 0 or self.process.poll() is not None:
                fail(f"no line with {text!r}; lines so far: {self.seen}; "
                     f"exit status: {self.process.poll()}; stderr: {self.stderr()}")
            ready, _, _ = select.select([self.process.stdout], [], [], remaining)
            if ready:
                chunk = os.read(self.process.stdout.fileno(), 4096)
                self.pending += chunk

    def stderr(self):
        if self.process.poll() is None:
            return "(still running)"
        return self.process.stderr.read().decode("utf-8", "replace")

    def quit(self):
        """Ends the program as a user does; SIGTERM only if the key was not understood."""
        self.process.stdin.write(b"q\n")
        self.process.stdin.flush()
        try:
            return self.process.wait(timeout=STEP_SECONDS)
        except subprocess.TimeoutExpired:
            self.process.send_signal(signal.SIGTERM)
            return self.process.wait(timeout=STEP_SECONDS)

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def fail(message):
    print("FAIL:", message, file=sys.stderr)
    sys.exit(1)


def main():
    if len(sys.argv) != 2:
        fail("usage: program_sees_board.py <bin/vantorel>")
    if "umockdev" not in os.environ.get("LD_PRELOAD", ""):
        fail("run under umockdev-wrapper")
    testbed = UMockdev.Testbed.new()
    with tempfile.TemporaryDirectory() as home:
        program = Program(sys.argv[1], testbed, home)
        try:
            # The first line comes from the first enumeration, so the event socket exists by now.
            program.wait_for("Have none")
            board = testbed.add_device(
                "usb", "1-1", None,
                ["idVendor", "2e8a", "idProduct", "000f", "product", "RP2350 Boot"],
                ["DEVTYPE", "usb_device"])
            program.wait_for("Have RP likely boot")
            testbed.uevent(board, "remove")
            testbed.remove_device(board)
            program.wait_for("Have none")
            status = program.quit()
            if status != 0:
                fail(f"exit status {status}; stderr: {program.stderr()}")
        finally:
            program.kill()
    print("lines seen:", program.seen)


if __name__ == "__main__":
    main()
