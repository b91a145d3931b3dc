#!/usr/bin/python3
# The real program on a terminal follows a simulated board, plugged in then unplugged. Run under
# umockdev-wrapper: this process owns the device tree; the program inherits it through UMOCKDEV_DIR.
# Usage: program_sees_board.py <path to bin/vantorel>
import os
import select
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("UMockdev", "1.0")
from gi.repository import UMockdev  # noqa: E402

testbed = UMockdev.Testbed.new()
home = tempfile.TemporaryDirectory()
env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
env.update(UMOCKDEV_DIR=testbed.get_root_dir(), HOME=home.name,
           XDG_CONFIG_HOME=f"{home.name}/config", XDG_DATA_HOME=f"{home.name}/data")
program = subprocess.Popen([sys.argv[1]], stdin=subprocess.PIPE, stdout=subprocess.PIPE, env=env)
lines, pending = [], b""


def wait_for(text, seconds=10.0):
    """Returns once a line printed since the last match contains `text`."""
    global pending
    deadline = time.monotonic() + seconds
    while not any(text in line for line in lines):
        remaining, status = deadline - time.monotonic(), program.poll()
        if remaining <= 0 or status is not None:
            program.kill()
            sys.exit(f"FAIL: no line with {text!r}; lines: {lines}; exit status: {status}")
        if select.select([program.stdout], [], [], remaining)[0]:
            *new, pending = (pending + os.read(program.stdout.fileno(), 4096)).split(b"\n")
            lines.extend(line.decode("utf-8", "replace").strip("\r") for line in new)
    lines.clear()


# The first line follows the first enumeration: by then the event socket exists.
wait_for("Have none")
board = testbed.add_device("usb", "1-1", None, ["idVendor", "2e8a", "idProduct", "000f",
                                                "product", "RP2350 Boot"],
                           ["DEVTYPE", "usb_device"])
wait_for("Have RP likely boot")
testbed.uevent(board, "remove")
testbed.remove_device(board)
wait_for("Have none")
program.communicate(b"q\n", timeout=10)
sys.exit(f"FAIL: exit status {program.returncode}" if program.returncode else 0)
