#!/usr/bin/python3
# The driver of scripts/bench-prompt.sh: see there what it measures.
import os
import time

from gi.repository import GLib

from desktop_session import ITEM, Session

ROUNDS = int(os.environ.get("ROUNDS", "5"))
BOOT_LABEL = "Want C6 boot | Have RP likely boot"
NONE_LABEL = "Want C6 boot | Have none"
TEXTS = [("4 KiB unbroken word", "a" * 4096),
         ("4 KiB of \\x01", "\x01" * 4096),
         ("4 KiB path", "/very/long" * 410),
         ("4 KiB of e + U+0301", "e\u0301" * 1365),
         ("4 KiB of words", "Hold BOOT " * 410),
         ("one sentence", "Hold BOOT, tap RESET")]


def main():
    session = Session(os.environ["VANTOREL_BENCH_BUNDLE"])
    try:
        session.start_window_manager()
        item = session.start_program()
        session.wait_until("the first label", lambda: item.prop("XAyatanaLabel") == NONE_LABEL)
        labels = []
        session.bus.add_signal_receiver(
            lambda label, guide: labels.append((time.monotonic(), str(label))),
            signal_name="XAyatanaNewLabel", dbus_interface=ITEM, path=item.path)

        def until(what, check, timeout=30):
            context, deadline = GLib.MainContext.default(), time.monotonic() + timeout
            while time.monotonic() < deadline:
                if (found := check()) is not None:
                    return found
                context.iteration(False) or time.sleep(0.001)
            raise RuntimeError(f"no {what} within {timeout} s")

        print(f"Worst of {ROUNDS} rounds; target: the label within 0.5 s of the plug")
        print(f"{'prompt':24}{'plug to label (s)':>20}")
        for name, text in TEXTS:
            to_label = []
            for round_ in range(ROUNDS):
                session.write_attention({"active": True, "needs_user": True,
                                         "request_id": f"{name}{round_}", "action": text})
                time.sleep(1)
                plugged = time.monotonic()
                board = session.add_usb_device(f"b{round_}", "2e8a", "000f", "RP2350 Boot")
                to_label.append(until("label", lambda: next(
                    (t for t, label in labels if label == BOOT_LABEL and t >= plugged), None))
                    - plugged)
                until("panel", lambda: session.visible_window("Board action needed"))
                session.write_attention({})
                session.testbed.uevent(board, "remove")
                until("label", lambda: next(
                    (t for t, label in labels if label == NONE_LABEL and t >= plugged), None))
                session.testbed.remove_device(board)
                until("no panel", lambda: None if session.visible_window(
                    "Board action needed") else True)
            print(f"{name:24}{max(to_label):>20.3f}")
    finally:
        session.close()


main()
