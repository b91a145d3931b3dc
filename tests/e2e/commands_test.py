#!/usr/bin/python3
"""The commands a flashing script runs, against the real program in a pseudo-terminal and a
simulated device tree. Run under umockdev-wrapper: this process owns the tree and sends its
events. Usage: commands_test.py <path of bin/vantorel in a bundle> <scenario>"""

import json, os, re, signal, subprocess, sys, time

import gi

gi.require_version("UMockdev", "1.0")
from gi.repository import UMockdev  # noqa: E402

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import terminal_test as t  # noqa: E402  (Session, homes, bundle_copy, main)

TESTBED = UMockdev.Testbed.new()
BOARDS = {"rp-boot": ("2e8a", "000f", "RP2350 Boot", "E6"), "pico": ("2e8a", "0009", "Pico", ""),
          "c6": ("303a", "1001", "USB JTAG/serial debug unit", "F4:12:FA:00:11:22"),
          "keyboard": ("046d", "c31c", "USB Keyboard", "")}


def plug(name, port):
    vendor, product, label, serial = BOARDS[name]
    return TESTBED.add_device("usb", port, None, ["idVendor", vendor, "idProduct", product,
                              "product", label, "serial", serial], ["DEVTYPE", "usb_device"])


def command(binary, home, *args):
    """A command as a script runs it. Its USB monitor must not share the program's descriptor
    number (umockdev names each event socket after it), so it starts with 32 more open."""
    spare = [os.open(os.devnull, os.O_RDONLY) for _ in range(32)]
    process = t.start(binary, home, *args, pass_fds=spare, stdout=subprocess.PIPE,
                      stderr=subprocess.PIPE, text=True)
    for fd in spare:
        os.close(fd)
    return process


def finished(process, status, timeout=5):
    """Standard output, then standard error, once `process` ended with `status`."""
    out, err = process.communicate(timeout=timeout)
    assert process.returncode == status, f"{process.args[1:]}: exit {process.returncode}, {err}"
    return out + err


def ask(binary, home, root):
    """The prompt comes and goes with the board; a success after a request shows "Board ready";
    the program follows the board in and out."""
    binary, _ = t.bundle_copy(binary, root)
    session = t.Session(binary, home)
    session.wait_for(t.want("C6 boot") + b"none")
    asking = command(binary, home, "ask", "Hold BOOT, tap RESET", "--until", "RP likely boot",
                     "--timeout", "10")
    session.wait_for(t.PROMPT)
    session.wait_until(lambda: session.on_screen("│ Hold BOOT, tap RESET"), "the request shown")
    board = plug("rp-boot", "1-1")
    assert re.fullmatch(r"[0-9a-f-]{36}\n", finished(asking, 0)), "no fresh id printed"
    session.wait_for(t.want("C6 boot") + b"RP likely boot")
    session.wait_until(lambda: not session.on_screen("Board action needed"), "the prompt closed")
    finished(command(binary, home, "done"), 0)
    session.wait_for(t.READY)
    session.wait_until(lambda: not session.on_screen("Board ready"), "the ready panel closed")
    # The README's script: the request stands while the board is flashed, until "done".
    finished(command(binary, home, "ask", "Flashing", "--id", "r2"), 0)
    session.wait_until(lambda: session.on_screen("│ Flashing"), "the second request shown")
    assert finished(command(binary, home, "wait", "rp-likely-boot"), 0) == "RP likely boot\n"
    finished(command(binary, home, "done", "--id", "s2"), 0)
    session.wait_for(t.READY)
    TESTBED.uevent(board, "remove"), TESTBED.remove_device(board)
    session.wait_for(t.want("C6 boot") + b"none")
    session.end_with(b"q")


def wait(binary, home, root):
    """wait times out when nothing comes and returns when a board does; status lists none, one
    and several boards, and no other device."""
    def status():
        return json.loads(finished(command(binary, home, "status", "--json"), 0))

    assert status() == {"wanted": "C6 boot", "devices": [], "observed": {
        "label": "none", "description": "No matching USB device"}}, "status without a board"
    assert finished(command(binary, home, "wait", "RP likely boot", "--timeout", "0.5"), 1) == \
        "vantorel: timed out waiting for RP likely boot (have none)\n"
    waiting = command(binary, home, "wait", "rp-likely-BOOT", "--timeout", "10")
    time.sleep(0.5)
    board = plug("rp-boot", "1-1")
    assert finished(waiting, 0) == "RP likely boot\n"
    # Neither an interface nor a tty with a board's ids, nor ids that are no short hex, count.
    interface = TESTBED.add_device("usb", "1-1:1.0", board, ["idVendor", "2e8a", "idProduct",
                                   "000f"], ["DEVTYPE", "usb_interface"])
    TESTBED.add_device("tty", "ttyACM0", interface, ["idVendor", "2e8a"], ["ID_VENDOR_ID", "2e8a"])
    for port, product in (("2-1", "0x0f"), ("2-2", "000fx"), ("2-3", " 00f"), ("2-4", "")):
        TESTBED.add_device("usb", port, None, ["idVendor", "2e8a", "idProduct", product],
                           ["DEVTYPE", "usb_device"])
    assert status()["devices"] == [{"vendor": "2e8a", "product": "000f", "name": "RP2350 Boot",
                                    "serial": "E6", "rule": "RP likely boot"}], "one board"
    plug("pico", "1-2"), plug("c6", "1-3"), plug("keyboard", "1-4")
    report = status()
    assert report["observed"]["label"] == "multiple" and sorted(
        d["rule"] for d in report["devices"]) == ["ESP unknown", "RP likely app", "RP likely boot"]


def signal_clears(binary, home, root):
    """SIGTERM ends a wait and withdraws the request, in the file --file names; a file that
    cannot be written ends the command at once."""
    path = os.path.join(root, "elsewhere", "attention.json")
    open(os.path.join(root, "a-file"), "w").close()
    bad = os.path.join(root, "a-file", "x.json")
    assert re.fullmatch(f"vantorel: cannot .*{os.path.dirname(bad)}.*\n", finished(command(
        binary, home, "ask", "x", "--file", bad), 2)), "an unwritable file not named"
    asking = command(binary, home, "ask", "x", "--until", "RP unknown", "--file", path)
    deadline = time.monotonic() + 5
    while not (os.path.exists(path) and "needs_user" in open(path).read()):
        assert time.monotonic() < deadline, "no request written"
        time.sleep(0.05)
    asking.send_signal(signal.SIGTERM)
    assert finished(asking, 1).endswith(
        "vantorel: interrupted waiting for RP unknown (have none)\n"), "no word of the signal"
    assert open(path).read() == "{}\n", "the request outlived the signal"


if __name__ == "__main__":
    assert "umockdev" in os.environ.get("LD_PRELOAD", ""), "run under umockdev-wrapper"
    os.environ["UMOCKDEV_DIR"] = TESTBED.get_root_dir()  # for the program and the commands
    t.main(globals())
