#!/usr/bin/python3
"""The real program in a pseudo-terminal, with no display: the status line, the keys, the
preferences, the signals and the attention panels as text.

Usage: terminal_test.py <path of bin/vantorel in a bundle> <scenario>
"""

import fcntl
import json
import os
import re
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import time

TITLE = rb"Want (C6|RP) (boot|normal) \| Have [^\r\n\x1b]+"


class Failure(Exception):
    pass


SESSIONS = []


def literal(text):
    return re.escape(text.encode())


def check(condition, message):
    if not condition:
        raise Failure(message)


class Session:
    """One run of the program on a fresh pseudo-terminal that is its controlling terminal."""

    def __init__(self, binary, home):
        self.master, self.slave = os.openpty()
        fcntl.ioctl(self.slave, termios.TIOCSWINSZ, struct.pack("HHHH", 40, 100, 0, 0))
        self.settings_before = termios.tcgetattr(self.slave)
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        env.update(TERM="xterm-256color", HOME=home["HOME"],
                   XDG_CONFIG_HOME=home["XDG_CONFIG_HOME"], XDG_DATA_HOME=home["XDG_DATA_HOME"])

        def become_terminal_owner():
            os.setsid()
            fcntl.ioctl(0, termios.TIOCSCTTY, 0)

        self.process = subprocess.Popen([binary], stdin=self.slave, stdout=self.slave,
                                        stderr=self.slave, env=env, close_fds=True,
                                        preexec_fn=become_terminal_owner)
        self.output = b""
        self.mark = 0
        SESSIONS.append(self)

    def read(self, timeout):
        ready, _, _ = select.select([self.master], [], [], timeout)
        if ready:
            try:
                self.output += os.read(self.master, 65536)
            except OSError:
                pass

    def wait_for(self, pattern, timeout=5.0):
        """The first match of `pattern` in the output since the mark; moves the mark past it."""
        deadline = time.monotonic() + timeout
        while True:
            found = re.compile(pattern).search(self.output, self.mark)
            if found:
                self.mark = found.end()
                return found
            left = deadline - time.monotonic()
            check(left > 0, f"no {pattern!r} within {timeout} s; output since the mark:\n"
                            f"{self.output[self.mark:]!r}")
            self.read(min(left, 0.1))

    def wait_until(self, condition, what, timeout=5.0):
        deadline = time.monotonic() + timeout
        while not condition():
            left = deadline - time.monotonic()
            check(left > 0, f"not {what} within {timeout} s; screen:\n" + "\n".join(self.screen()))
            self.read(min(left, 0.1))

    def screen(self):
        """The lines on screen, from the few sequences the program sends: carriage return, line
        feed (with the terminal's return), cursor up, erase below and colours (ignored)."""
        rows, row, col = [""], 0, 0
        for piece in re.split(r"(\x1b\[[0-9;]*[A-Za-z]|\r|\n)", self.output.decode("utf-8", "replace")):
            if piece == "\r":
                col = 0
            elif piece == "\n":
                row, col = row + 1, 0
                rows += [""] * (row + 1 - len(rows))
            elif piece.startswith("\x1b[") and piece.endswith("A"):
                row = max(0, row - int(piece[2:-1] or 1))
            elif piece.startswith("\x1b[") and piece.endswith("J"):
                rows[row] = rows[row][:col]
                del rows[row + 1:]
            elif not piece.startswith("\x1b["):
                rows[row] = rows[row][:col].ljust(col) + piece + rows[row][col + len(piece):]
                col += len(piece)
        return rows

    def settle(self, seconds):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            self.read(deadline - time.monotonic())

    def send(self, keys):
        os.write(self.master, keys)

    def settings(self):
        return termios.tcgetattr(self.slave)

    def finish(self, timeout=5.0):
        """Waits for the exit; returns the status and whether the terminal got its settings back."""
        try:
            status = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise Failure("the program did not end")
        self.settle(0.1)
        restored = self.settings() == self.settings_before
        os.close(self.master)
        os.close(self.slave)
        return status, restored

    def end_with(self, how):
        if how == "q":
            self.send(b"q")
        elif how == "ctrl-c":
            self.send(b"\x03")
        else:
            self.process.send_signal(getattr(signal, how))
        status, restored = self.finish()
        check(status == 0, f"exit status {status} after {how}")
        check(restored, f"terminal settings not restored after {how}")


def key_mode_on(session):
    lflag = session.settings()[3]
    return not lflag & termios.ICANON and not lflag & termios.ECHO and lflag & termios.ISIG


def homes(root):
    folders = {name: os.path.join(root, name) for name in ("HOME", "XDG_CONFIG_HOME",
                                                           "XDG_DATA_HOME")}
    for folder in folders.values():
        os.makedirs(folder)
    return folders


def stored_choice(home):
    path = os.path.join(home["XDG_CONFIG_HOME"], "vantorel", "preferences.json")
    deadline = time.monotonic() + 2
    while time.monotonic() < deadline:
        try:
            with open(path) as f:
                return json.load(f).get("desired")
        except (OSError, ValueError):
            time.sleep(0.05)
    return None


def first_start(binary, root):
    home = homes(root)
    session = Session(binary, home)
    session.wait_for(rb"Want C6 boot \| Have [^\r\n\x1b]+")
    check(key_mode_on(session), "standard input is not in key-at-a-time mode")
    session.send(b"3")
    session.wait_for(rb"Want RP boot \| Have ")
    check(stored_choice(home) == "RP boot", "the choice was not stored")
    session.send(b"?")
    menu = session.wait_for(
        r"Observed: [^\r\n]+\r?\n(?:  \d  (?: |✓) Want [^\r\n]+\r?\n){4}  q    Quit".encode())
    check(b"  3  \xe2\x9c\x93 Want RP boot" in menu.group(0), "no check mark on the choice")
    session.end_with("q")

    session = Session(binary, home)
    session.wait_for(rb"Want RP boot \| Have ")
    session.end_with("ctrl-c")


def corrupt_preferences(binary, root):
    home = homes(root)
    folder = os.path.join(home["XDG_CONFIG_HOME"], "vantorel")
    os.makedirs(folder)
    path = os.path.join(folder, "preferences.json")
    with open(path, "wb") as f:
        f.write(b"{not json")
    session = Session(binary, home)
    session.wait_for(rb"Want C6 boot \| Have ")
    session.settle(1.5)
    with open(path, "rb") as f:
        check(f.read() == b"{not json", "the corrupt file was touched before any choice")
    session.send(b"2")
    session.wait_for(rb"Want C6 normal \| Have ")
    check(stored_choice(home) == "C6 normal", "the choice did not replace the corrupt file")
    session.end_with("q")


def unwritable_preferences(binary, root):
    home = homes(root)
    blocker = os.path.join(root, "a-file")
    open(blocker, "w").close()
    home["XDG_CONFIG_HOME"] = os.path.join(blocker, "config")
    session = Session(binary, home)
    session.wait_for(rb"Want C6 boot \| Have ")
    session.send(b"4")
    session.wait_for(rb"Want RP normal \| Have ")
    session.send(b"x")
    session.wait_for(literal("  4  ✓ Want RP normal"))
    check(session.process.poll() is None, "the program ended")
    session.end_with("q")


def process_state(session):
    with open(f"/proc/{session.process.pid}/stat") as f:
        return f.read().rsplit(")", 1)[1].split()[0]


def signals(binary, root):
    home = homes(root)
    session = Session(binary, home)
    session.wait_for(TITLE)
    check(key_mode_on(session), "standard input is not in key-at-a-time mode")
    # Ctrl+Z stops it with the terminal's own settings back; continuing takes the keyboard again.
    session.send(b"\x1a")
    session.wait_until(lambda: process_state(session) == "T", "stopped")
    check(session.settings() == session.settings_before, "terminal settings kept while stopped")
    session.process.send_signal(signal.SIGCONT)
    session.wait_until(lambda: key_mode_on(session), "in key-at-a-time mode again")
    session.send(b"4")
    session.wait_for(rb"Want RP normal \| Have ")
    # Ctrl+\ is off in key mode: its signal would end the program without restoring anything.
    session.send(b"\x1c")
    session.settle(0.3)
    check(session.process.poll() is None, "Ctrl+\\ ended the program")
    session.end_with("SIGTERM")
    # The terminal going away ends it as orderly as SIGTERM does.
    session = Session(binary, home)
    session.wait_for(TITLE)
    session.end_with("SIGHUP")


def stalled_reader(binary, root):
    """A reader that stops reading never stalls the program: it still polls and still ends."""
    home = homes(root)
    data = os.path.join(home["XDG_DATA_HOME"], "Vantorel")
    os.makedirs(data)
    read_end, write_end = os.pipe()
    os.set_blocking(write_end, False)
    try:
        while True:
            os.write(write_end, b"x" * 4096)
    except BlockingIOError:
        pass
    os.set_blocking(write_end, True)
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env.update(home)
    process = subprocess.Popen([binary], stdin=subprocess.DEVNULL, stdout=write_end, env=env)
    os.close(write_end)
    try:
        # Output is pending behind the full pipe; the prompt adds more, and the poll must go on.
        write_attention(os.path.join(data, "board-flash-attention.json"),
                        {"active": True, "needs_user": True, "request_id": "r", "action": "A" * 5000})
        time.sleep(1.5)
        check(process.poll() is None, "the program ended on its own")
        process.send_signal(signal.SIGTERM)
        status = process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        raise Failure("SIGTERM did not end a program whose output is not being read")
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()
        os.close(read_end)
    check(status == 0, f"exit status {status}")


def write_attention(path, content):
    with open(path + ".tmp", "w") as f:
        json.dump(content, f)
    os.replace(path + ".tmp", path)


def attention(binary, root):
    home = homes(root)
    bundle = os.path.dirname(os.path.dirname(binary))
    copy = os.path.join(root, "P", "build", "Vantorel")
    for part in ("bin", "share"):
        shutil.copytree(os.path.join(bundle, part), os.path.join(copy, part), symlinks=True)
    os.makedirs(os.path.join(root, "P", "work"))
    path = os.path.join(root, "P", "work", "board-flash-attention.json")
    write_attention(path, {})
    session = Session(os.path.join(copy, "bin", "vantorel"), home)
    session.wait_for(TITLE)

    write_attention(path, {"active": True, "needs_user": True, "request_id": "r1",
                           "action": "Hold BOOT and press RESET"})
    session.wait_for(literal("┌─ Board action needed ─"))
    session.wait_for(literal("│ Hold BOOT and press RESET "))
    session.wait_for(rb"\[ OK \]  \(press Enter\)")
    session.wait_for(TITLE)
    session.settle(0.2)
    check(any("Hold BOOT" in line for line in session.screen()), "no panel on screen")
    session.send(b"\r")
    session.wait_until(lambda: not any("Board action needed" in l for l in session.screen()),
                       "dismissed")
    check(re.fullmatch(TITLE.decode(), session.screen()[-1]), "the status line is not last")

    hostile = "\u001b]0;pwned\u0007 <b>x</b>"
    write_attention(path, {"active": True, "needs_user": True, "request_id": "r2",
                           "action": hostile})
    session.wait_for(literal("│ ^[]0;pwned^G <b>x</b> "))
    check(b"\x1b]" not in session.output and b"\x07" not in session.output,
          "a control sequence from the action text reached the terminal")

    write_attention(path, {"success_id": "s1"})
    shown = session.wait_for(literal("\x1b[42m┌─ Board ready ─"))
    session.wait_for(rb"\x1b\[1m\x1b\[97mReady")
    session.wait_for(rb"\x1b\[32mWant C6 boot \| Have [^\x1b]+\x1b\[0m")
    check(b"Board action needed" not in session.output[shown.start():],
          "the attention panel stayed on screen under the success panel")
    appeared = time.monotonic()
    session.wait_until(lambda: not any("Board ready" in l for l in session.screen()),
                       "closed", timeout=6)
    print(f"success panel went away after {time.monotonic() - appeared:.1f} s")
    session.wait_until(lambda: re.search(rb"(?<!\x1b\[32m)" + TITLE + rb"$", session.output),
                       "back to the plain title", timeout=2)
    print(f"title plain again after {time.monotonic() - appeared:.1f} s")
    session.end_with("q")


def main():
    binary, scenario = os.path.abspath(sys.argv[1]), sys.argv[2]
    root = tempfile.mkdtemp(prefix="vantorel-terminal-")
    try:
        globals()[scenario](binary, root)
    except Failure as failure:
        print(f"FAIL {scenario}: {failure}")
        return 1
    finally:
        for session in SESSIONS:
            if session.process.poll() is None:
                session.process.kill()
                session.process.wait()
        shutil.rmtree(root, ignore_errors=True)
    print(f"ok {scenario}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
