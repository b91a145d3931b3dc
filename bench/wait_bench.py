#!/usr/bin/python3
"""Prints the time from a simulated RP2350 bootloader's arrival to `vantorel wait` returning,
round after round. Run under umockdev-wrapper: this process owns the simulated device tree.
Usage: wait_bench.py <path of bin/vantorel> [rounds]"""

import os
import statistics
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("UMockdev", "1.0")
from gi.repository import UMockdev  # noqa: E402

LISTENING_SECONDS = 0.3  # far more than the command needs to start watching


def main():
    binary, rounds = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 20
    testbed = UMockdev.Testbed.new()
    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ, UMOCKDEV_DIR=testbed.get_root_dir(), HOME=home,
                   XDG_CONFIG_HOME=os.path.join(home, "config"),
                   XDG_DATA_HOME=os.path.join(home, "data"))
        figures = []
        for number in range(1, rounds + 1):
            waiting = subprocess.Popen([binary, "wait", "RP likely boot", "--timeout", "10"],
                                       env=env, stdout=subprocess.DEVNULL)
            time.sleep(LISTENING_SECONDS)
            arrived = time.monotonic()
            board = testbed.add_device(
                "usb", "1-1", None,
                ["idVendor", "2e8a", "idProduct", "000f", "product", "RP2350 Boot"],
                ["DEVTYPE", "usb_device"])
            status = waiting.wait()
            figures.append((time.monotonic() - arrived) * 1000)
            testbed.uevent(board, "remove")
            testbed.remove_device(board)
            if status != 0:
                sys.exit(f"round {number}: vantorel wait exited with {status}")
            print(f"round {number:2}: {figures[-1]:6.1f} ms")
    print(f"arrival to `vantorel wait` returning, {rounds} rounds: "
          f"median {statistics.median(figures):.1f} ms, max {max(figures):.1f} ms "
          f"(target: within 100 ms)")


if __name__ == "__main__":
    main()
