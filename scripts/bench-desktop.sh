#!/usr/bin/env bash
# Figures for the desktop front end, measured on the real program in the same setting as the
# desktop end-to-end test (virtual display, window manager, status area watcher, simulated USB):
#   - resident memory with the status item shown and no panel,
#   - CPU used while idle (IDLE_SECONDS, default 60),
#   - time from a simulated RP2350 bootloader arrival to the new label on the session bus.
# Not a test: it prints figures and fails only when the program cannot be measured.
#
# Usage: scripts/bench-desktop.sh [<bundle folder>]     (default: build/Vantorel)
set -euo pipefail
cd "$(dirname "$0")/.."
bundle="$(realpath "${1:-build/Vantorel}")"
if [[ ! -x "$bundle/bin/vantorel" ]]; then
  echo "No program at $bundle/bin/vantorel: build it first (scripts/setup.sh)." >&2
  exit 1
fi
export VANTOREL_BENCH_BUNDLE="$bundle" PYTHONPATH="$PWD/tests/e2e" PYTHONDONTWRITEBYTECODE=1
exec tests/e2e/run-on-desktop.sh umockdev-wrapper /usr/bin/python3 - <<'PYTHON'
import os
import statistics
import time

from gi.repository import GLib

from desktop_session import ITEM, Session

IDLE_SECONDS = float(os.environ.get("IDLE_SECONDS", "60"))
ROUNDS = 20
BOOT_LABEL = "Want C6 boot | Have RP likely boot"
NONE_LABEL = "Want C6 boot | Have none"


def proc_stat_ticks(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime + stime


def vm_rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise RuntimeError("no VmRSS")


def main():
    session = Session(os.environ["VANTOREL_BENCH_BUNDLE"])
    try:
        session.start_window_manager()
        item = session.start_program()
        pid = session.program.pid
        session.wait_until("the first label", lambda: item.prop("XAyatanaLabel") == NONE_LABEL)

        # Label changes as a host sees them: the indicator's label signal, stamped on arrival.
        labels = []
        session.bus.add_signal_receiver(
            lambda label, guide: labels.append((time.monotonic(), str(label))),
            signal_name="XAyatanaNewLabel", dbus_interface=ITEM, path=item.path)

        def wait_for_label(text, since):
            context = GLib.MainContext.default()
            deadline = time.monotonic() + 10
            while time.monotonic() < deadline:
                for stamp, label in labels:
                    if label == text and stamp >= since:
                        return stamp - since
                context.iteration(False) or time.sleep(0.0005)
            raise RuntimeError(f"no label {text!r}")

        arrivals, removals = [], []
        for round_ in range(ROUNDS):
            start = time.monotonic()
            board = session.add_usb_device(f"bench{round_}", "2e8a", "000f", "RP2350 Boot")
            arrivals.append(wait_for_label(BOOT_LABEL, start))
            start = time.monotonic()
            session.testbed.uevent(board, "remove")  # the folder goes after the label changed
            removals.append(wait_for_label(NONE_LABEL, start))
            session.testbed.remove_device(board)

        time.sleep(2)  # let the menus retired by the rounds above go
        session.pump()
        rss = vm_rss_kib(pid)

        ticks_per_second = os.sysconf("SC_CLK_TCK")
        before, started = proc_stat_ticks(pid), time.monotonic()
        while time.monotonic() - started < IDLE_SECONDS:
            session.pump()
            time.sleep(0.2)
        elapsed = time.monotonic() - started
        cpu = (proc_stat_ticks(pid) - before) / ticks_per_second / elapsed * 100

        ms = lambda values: f"median {statistics.median(values) * 1000:.1f} ms, " \
                            f"max {max(values) * 1000:.1f} ms"  # noqa: E731
        print(f"VmRSS with the status item, no panel: {rss / 1024:.1f} MiB ({rss} KiB)")
        print(f"CPU while idle for {elapsed:.0f} s: {cpu:.3f} %")
        print(f"RP2350 arrival to new label on the bus ({ROUNDS} rounds): {ms(arrivals)}")
        print(f"RP2350 removal to new label on the bus ({ROUNDS} rounds): {ms(removals)}")
    finally:
        session.close()


main()
PYTHON
