#!/usr/bin/python3
"""The commands a flashing script runs, against the real program in a pseudo-terminal and a
simulated device tree. Run under umockdev-wrapper: this process owns the tree and sends its
events. Usage: commands_test.py <path of bin/vantorel in a bundle> <scenario>"""

import json, os, re, shutil, signal, subprocess, sys, tempfile, time

import gi

gi.require_version("UMockdev", "1.0")
from gi.repository import UMockdev  # noqa: E402

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import terminal_test as t  # noqa: E402  (the program in a pseudo-terminal: Session, homes)

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
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    t.PROCESSES.append(subprocess.Popen([binary, *args], env=dict(env, **home), pass_fds=spare,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True))
    for fd in spare:
        os.close(fd)
    return t.PROCESSES[-1]


def finished(process, status, timeout=5):
    """Standard output once `process` ended with `status`."""
    out, err = process.communicate(timeout=timeout)
    assert process.returncode == status, f"{process.args[1:]}: exit {process.returncode}, {err}"
    return out


def ask(binary, root):
    """The prompt comes and goes with the board; a success after a request shows "Board ready".
    The bundle is copied so that the attention file's place depends on nothing outside."""
    home, copy = t.homes(root), os.path.join(root, "P", "build", "Vantorel")
    for part in ("bin", "share"):
        shutil.copytree(os.path.join(os.path.dirname(os.path.dirname(binary)), part),
                        os.path.join(copy, part), symlinks=True)
    binary = os.path.join(copy, "bin", "vantorel")
    session = t.Session(binary, home)
    session.wait_for(t.want("C6 boot") + b"none")
    asking = command(binary, home, "ask", "Hold BOOT, tap RESET", "--until", "RP likely boot",
                     "--timeout", "10")
    session.wait_for(re.escape("┌─ Board action needed ─".encode()))
    session.wait_until(lambda: session.on_screen("│ Hold BOOT, tap RESET"), "the request shown")
    plug("rp-boot", "1-1")
    assert re.fullmatch(r"[0-9a-f-]{36}\n", finished(asking, 0)), "no fresh id printed"
    session.wait_for(t.want("C6 boot") + b"RP likely boot")
    session.wait_until(lambda: not session.on_screen("Board action needed"), "the prompt closed")
    finished(command(binary, home, "done"), 0)
    session.wait_for(re.escape("\x1b[42m┌─ Board ready ─".encode()))
    session.wait_until(lambda: not session.on_screen("Board ready"), "the ready panel closed")
    # The README's script: the request stands while the board is flashed, until "done".
    finished(command(binary, home, "ask", "Flashing", "--id", "r2"), 0)
    session.wait_until(lambda: session.on_screen("│ Flashing"), "the second request shown")
    assert finished(command(binary, home, "wait", "rp-likely-boot"), 0) == "RP likely boot\n"
    finished(command(binary, home, "done", "--id", "s2"), 0)
    session.wait_for(re.escape("\x1b[42m┌─ Board ready ─".encode()))
    session.end_with("q")


def wait(binary, root):
    """wait times out when nothing comes and returns when a board does; status lists none, one
    and several boards, and no other device."""
    home = t.homes(root)

    def status():
        return json.loads(finished(command(binary, home, "status", "--json"), 0))

    assert status() == {"wanted": "C6 boot", "devices": [], "observed": {
        "label": "none", "description": "No matching USB device"}}, "status without a board"
    finished(command(binary, home, "wait", "RP likely boot", "--timeout", "0.5"), 1)
    waiting = command(binary, home, "wait", "rp-likely-BOOT", "--timeout", "10")
    time.sleep(0.5)
    plug("rp-boot", "1-1")
    assert finished(waiting, 0) == "RP likely boot\n"
    assert status()["devices"] == [{"vendor": "2e8a", "product": "000f", "name": "RP2350 Boot",
                                    "serial": "E6", "rule": "RP likely boot"}], "one board"
    plug("pico", "1-2"), plug("c6", "1-3"), plug("keyboard", "1-4")
    report = status()
    assert report["observed"]["label"] == "multiple" and sorted(
        d["rule"] for d in report["devices"]) == ["ESP unknown", "RP likely app", "RP likely boot"]


def signal_clears(binary, root):
    """SIGTERM ends a wait and withdraws the request, in the file --file names."""
    home, path = t.homes(root), os.path.join(root, "elsewhere", "attention.json")
    asking = command(binary, home, "ask", "x", "--until", "RP unknown", "--file", path)
    deadline = time.monotonic() + 5
    while not (os.path.exists(path) and "needs_user" in open(path).read()):
        assert time.monotonic() < deadline, "no request written"
        time.sleep(0.05)
    asking.send_signal(signal.SIGTERM)
    finished(asking, 1)
    assert open(path).read() == "{}\n", "the request outlived the signal"


def main():
    """Runs one scenario; a failure ends it with its traceback and exit status 1."""
    binary, scenario = os.path.abspath(sys.argv[1]), sys.argv[2]
    assert "umockdev" in os.environ.get("LD_PRELOAD", ""), "run under umockdev-wrapper"
    os.environ["UMOCKDEV_DIR"] = TESTBED.get_root_dir()  # for the program and the commands
    root = tempfile.mkdtemp(prefix="vantorel-commands-")
    try:
        globals()[scenario](binary, root)
    finally:
        for process in t.PROCESSES:
            if process.poll() is None:
                process.kill()
                process.wait()
        shutil.rmtree(root, ignore_errors=True)
    print(f"ok {scenario}")


if __name__ == "__main__":
    main()
