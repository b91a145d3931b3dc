#!/usr/bin/python3
# The commands a flashing script runs, against the real program in a pseudo-terminal and a
# simulated device tree. Run under umockdev-wrapper: this process owns the tree and sends its
# events. Usage: commands_test.py <path of bin/vantorel in a bundle> <scenario>
import json, os, re, signal, sys, time, gi
gi.require_version("UMockdev", "1.0")
from gi.repository import UMockdev  # noqa: E402

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import terminal_test as t  # noqa: E402  (Session, bundle_copy, main...)
command, finished = t.command, t.finished

TESTBED = UMockdev.Testbed.new()
RP_BOOT = ("2e8a", "000f", "product", "RP2350 Boot", "serial", "E6")


def plug(port, vendor, product, *more, parent=None, kind="usb_device"):
    return TESTBED.add_device("usb", port, parent, ["idVendor", vendor, "idProduct", product,
                                                    *more], ["DEVTYPE", kind])


# A rule applies to the running program within a tick, with no restart; a request reaches it as a
# prompt that goes when the board comes, and its success shows "Board ready"; the program follows
# the boards in and out. (The commands' details, the serial's among them: tests/cli.)
def ask(binary, home, root):
    binary, _ = t.bundle_copy(binary, root)
    session = t.Session(binary, home)
    plug("1-2", "2e8a", "000c", "product", "Debug Probe (CMSIS-DAP)")
    session.wait_for(t.want("C6 boot") + b"RP unknown")
    finished(command(binary, home, "rule", "add", "2E8A:000C", "ignore"), 0)
    session.wait_for(t.want("C6 boot") + b"none", timeout=2)
    asking = command(binary, home, "ask", "Hold BOOT, tap RESET", "--until", "RP likely boot",
                     "--timeout", "10")
    session.wait_for(t.PROMPT), session.wait_for(re.escape("│ Hold BOOT, tap RESET".encode()))
    board = plug("1-1", *RP_BOOT)
    assert re.fullmatch(r"[0-9a-f-]{36}\n", finished(asking, 0)), "no fresh id printed"
    session.wait_for(t.ERASED + t.want("C6 boot") + b"RP likely boot")
    finished(command(binary, home, "done"), 0)
    session.wait_for(t.READY)
    TESTBED.uevent(board, "remove"), TESTBED.remove_device(board)
    session.wait_for(t.want("C6 boot") + b"none")
    session.end_with(b"q")


# Every --help, of every command, fits 80 columns and says what an option requires in words.
def helps(binary, home, *words):
    text = finished(command(binary, home, *words, "--help"), 0)
    assert max(map(len, text.splitlines())) <= 80, f"{words} --help wider than 80 columns"
    assert not re.search(r"REQUIRED|Needs:|Excludes:", text), f"{words} --help: labels"
    listed = text.partition("Subcommands:\n")[2].split("\n\n")[0]
    return text + "".join(helps(binary, home, *words, line.split()[0])
                          for line in listed.splitlines() if line.startswith("  ") and line[2] != " ")


# wait returns when a board comes (its timeout: tests/cli); status lists the boards udev reports,
# and no other device.
def wait(binary, home, root):
    assert "SECONDS (exit 1). Only with --until." in helps(binary, home), "no requirement"
    waiting = command(binary, home, "wait", "rp-likely-BOOT", "--timeout", "10")
    time.sleep(0.5)
    board = plug("1-1", *RP_BOOT)
    out = finished(waiting, 0)  # with no program running, said once
    assert out.startswith("RP likely boot\n") and out.count("no Vantorel is running") == 1, out
    # Neither an interface nor a tty with a board's ids, nor ids that are no short hex, count.
    interface = plug("1-1:1.0", "2e8a", "000f", parent=board, kind="usb_interface")
    TESTBED.add_device("tty", "ttyACM0", interface, ["idVendor", "2e8a"], ["ID_VENDOR_ID", "2e8a"])
    for port, product in (("2-1", "0x0f"), ("2-2", "000fx"), ("2-3", " 00f"), ("2-4", "")):
        plug(port, "2e8a", product)
    status = json.loads(finished(command(binary, home, "status", "--json"), 0))
    assert [d["name"] for d in status["devices"]] == ["RP2350 Boot"], "one board"


# SIGTERM withdraws the command's request, in the file --file names, as a give-up does also
# when its output has no reader.
def signal_clears(binary, home, root):
    path = os.path.join(root, "elsewhere", "attention.json")
    asking = command(binary, home, "ask", "x", "--id", "B", "--until", "RP unknown", "--file", path)
    t.wait_until(lambda: os.path.exists(path) and '"B"' in open(path).read(), "request B written")
    asking.send_signal(signal.SIGTERM)
    assert finished(asking, 1).endswith(
        "vantorel: interrupted waiting for RP unknown (have none)\n"), "no word of the signal"
    assert open(path).read() == "{}\n", "the request outlived the signal"
    # With nobody reading the output, the job is done all the same and the status says so.
    read_end, write_end = os.pipe()
    os.close(read_end)
    closed = lambda *args: command(binary, home, *args, "--file", path, stdout=write_end)  # noqa
    finished(closed("ask", "x", "--until", "RP unknown", "--timeout", "0.5"), 1)
    assert open(path).read() == "{}\n", "the request outlived a closed output"
    assert "the output could not be written" in finished(closed("done"), 2)
    assert "success_id" in open(path).read(), "no success written"
    os.close(write_end)


if __name__ == "__main__":
    assert "umockdev" in os.environ.get("LD_PRELOAD", ""), "run under umockdev-wrapper"
    os.environ["UMOCKDEV_DIR"] = TESTBED.get_root_dir()  # for the program and the commands
    t.main(globals())
