#!/usr/bin/python3
# The real program in a pseudo-terminal with no display, and the helpers of commands_test.py.
# Usage: terminal_test.py <bundle>/bin/vantorel <scenario>
import contextlib, fcntl, json, os, re, select, shutil, signal, struct, subprocess, sys
import tempfile, termios, time, unicodedata

TITLE = rb"Want (C6|RP) (boot|normal) \| Have [^\r\n\x1b]+"
PROMPT = re.escape("┌─ Board action needed ─".encode())
READY = re.escape("\x1b[42m┌─ Board ready ─".encode())
PROCESSES = []
want = lambda state: f"Want {state} \\| Have ".encode()  # noqa: E731
prompt_file = lambda request, action: {"active": True, "needs_user": True,  # noqa: E731
                                       "request_id": request, "action": action}


def start(binary, home, *args, **streams):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    PROCESSES.append(subprocess.Popen([binary, *args], env=dict(env, **home, TERM="xterm-256color"),
                                      **streams))
    return PROCESSES[-1]


class Session:  # one run on a fresh pseudo-terminal that is its controlling terminal
    def __init__(self, binary, home, columns=100):
        self.master, self.slave = os.openpty()
        self.columns, self.output, self.mark, self.resizes = columns, b"", 0, []
        fcntl.ioctl(self.slave, termios.TIOCSWINSZ, struct.pack("HHHH", 40, columns, 0, 0))
        self.settings = lambda: termios.tcgetattr(self.slave)
        self.settings_before = self.settings()
        self.process = start(binary, home, stdin=self.slave, stdout=self.slave, stderr=self.slave,
                             preexec_fn=lambda: (os.setsid(), fcntl.ioctl(0, termios.TIOCSCTTY)))
        self.key = lambda keys: os.write(self.master, keys)

    def resize(self, columns):  # the terminal sends the program SIGWINCH
        self.resizes.append((len(self.output), self.columns))
        self.columns = columns
        fcntl.ioctl(self.slave, termios.TIOCSWINSZ, struct.pack("HHHH", 40, columns, 0, 0))

    def wait_until(self, condition, what, timeout=5.0):
        deadline = time.monotonic() + timeout
        while not (result := condition()):
            left = deadline - time.monotonic()
            assert left > 0, (f"not {what} within {timeout} s; output since the mark:\n"
                              f"{self.output[self.mark:]!r}\nscreen:\n" + "\n".join(self.screen()))
            if select.select([self.master], [], [], min(left, 0.1))[0]:
                with contextlib.suppress(OSError):
                    self.output += os.read(self.master, 65536)
        return result

    def wait_for(self, pattern, timeout=5.0):  # the first match since the mark, then past it
        found = self.wait_until(lambda: re.compile(pattern).search(self.output, self.mark),
                                f"seen {pattern!r}", timeout)
        self.mark = found.end()
        return found

    def shows(self, text, present=True, timeout=5.0):
        self.wait_until(lambda: self.on_screen(text) == present, f"{text!r} shown={present}",
                        timeout)

    # The lines on screen, from the sequences the program sends; a resize re-wraps what is on
    # screen to the new width, as most terminals do, the cursor staying after the last line.
    def screen(self):
        rows, wrapped, row, col = [[]], set(), 0, 0

        def draw(text, columns):
            nonlocal row, col
            for piece in re.split(r"(\x1b\[[0-9;]*[A-Za-z]|\r|\n)", text):
                if piece in ("\r", "\n"):
                    row, col = row + (piece == "\n"), 0
                elif piece.startswith("\x1b[") and piece.endswith("A"):
                    row = max(0, row - int(piece[2:-1] or 1))
                elif piece.startswith("\x1b[") and piece.endswith("J"):
                    rows[row] = rows[row][:col]
                    del rows[row + 1:]
                    wrapped.difference_update({r for r in wrapped if r >= row})
                elif not piece.startswith("\x1b["):
                    for c in piece:
                        width = 2 if unicodedata.east_asian_width(c) in "WF" else 1
                        if col + width > columns:
                            wrapped.add(row)
                            row, col = row + 1, 0
                        rows.extend([] for _ in range(row + 1 - len(rows)))
                        rows[row] += [" "] * (col + width - len(rows[row]))
                        rows[row][col:col + width], col = [c] + [""] * (width - 1), col + width
                rows.extend([] for _ in range(row + 1 - len(rows)))

        start = 0
        for end, columns in self.resizes + [(len(self.output), self.columns)]:
            if start:
                lines = "".join("".join(cells) + ("" if r in wrapped else "\n")
                                for r, cells in enumerate(rows))
                rows, row, col = [[]], 0, 0
                wrapped.clear()
                draw(lines.removesuffix("\n"), columns)
            draw(self.output[start:end].decode("utf-8", "replace"), columns)
            start = end
        return ["".join(cells).rstrip() for cells in rows]

    def on_screen(self, text):
        return any(text in line for line in self.screen())

    def key_mode(self):
        lflag = self.settings()[3]
        return not lflag & termios.ICANON and not lflag & termios.ECHO and lflag & termios.ISIG

    def end_with(self, how):  # by a key or a signal: exit 0 and the terminal given back
        self.key(how) if isinstance(how, bytes) else self.process.send_signal(how)
        assert (status := self.process.wait(5)) == 0, f"exit status {status} after {how!r}"
        assert self.settings() == self.settings_before, f"terminal not restored after {how!r}"
        os.close(self.master), os.close(self.slave)


def bundle_copy(binary, root):  # at <root>/P/build/Vantorel: reads P/work/board-flash-...
    for part in ("bin", "share"):
        shutil.copytree(os.path.join(os.path.dirname(os.path.dirname(binary)), part),
                        f"{root}/P/build/Vantorel/{part}", symlinks=True)
    os.makedirs(f"{root}/P/work")
    return f"{root}/P/build/Vantorel/bin/vantorel", f"{root}/P/work/board-flash-attention.json"


def write_attention(path, content):
    with open(path + ".tmp", "w") as f:
        json.dump(content, f)
    os.replace(path + ".tmp", path)


# A corrupt file is left alone until a choice, the choice is shown at the next launch, and one
# that cannot be stored is kept for the run; every way out gives the terminal back.
def preferences(binary, home, root):
    path = home["XDG_CONFIG_HOME"] + "/vantorel/preferences.json"
    os.makedirs(os.path.dirname(path))
    open(path, "wb").write(b"{not json")
    session = Session(binary, home)
    session.wait_for(want("C6 boot"))
    assert session.key_mode(), "standard input is not in key-at-a-time mode"
    time.sleep(1)  # time enough to rewrite or sweep the file, which it must not
    # Ctrl+Z stops it with the terminal's own settings back; continuing takes the keyboard again.
    session.key(b"\x1a")
    session.wait_until(lambda: open(f"/proc/{session.process.pid}/stat").read()
                       .rsplit(")", 1)[1].split()[0] == "T", "stopped")
    assert session.settings() == session.settings_before, "terminal settings kept while stopped"
    assert open(path, "rb").read() == b"{not json", "the corrupt file touched before any choice"
    session.process.send_signal(signal.SIGCONT)
    session.wait_until(session.key_mode, "in key-at-a-time mode again")
    # Ctrl+\ is off in key mode: its signal would end the program without restoring anything.
    session.key(b"\x1c3?")
    session.wait_for(r"Observed: [^\r\n]+\r\n  1    Want C6 boot\r\n  2    Want C6 normal\r\n"
                     r"  3  ✓ Want RP boot\r\n  4    Want RP normal\r\n  q    Quit".encode())
    session.wait_until(lambda: '"RP boot"' in open(path).read(), "the choice stored")
    session.end_with(b"q")
    session = Session(binary, home)
    session.wait_for(want("RP boot"))
    session.end_with(signal.SIGHUP)
    open(os.path.join(root, "a-file"), "w").close()
    session = Session(binary, dict(home, XDG_CONFIG_HOME=os.path.join(root, "a-file", "config")))
    session.wait_for(want("C6 boot"))
    session.key(b"4x")
    session.wait_for("  4  ✓ Want RP normal".encode())
    session.end_with(b"\x03")


# On a 60-column terminal the keys are explained, the panels are framed, leave no trace when
# closed, are harmless and follow a resize at once; a success after a request tints the title and
# shows the green ready panel.
def attention(binary, home, root):
    binary, path = bundle_copy(binary, root)
    write_attention(path, {})
    session = Session(binary, home, columns=60)
    session.wait_for(TITLE)
    session.shows("Keys: 1–4 pick, q quits, any other key shows the menu")
    for request, action, line in (
            ("r1", "  Step 1:  hold BOOT\tthen   RESET",
             "│   Step 1:  hold BOOT    then   RESET "),
            ("r2", "🚀" * 30, "│ " + "🚀" * 22 + " │"),
            ("r3", "\u001b]0;pwned\u0007 <b>x</b>", "│ ^[]0;pwned^G <b>x</b> ")):
        write_attention(path, prompt_file(request, action))
        session.wait_for(PROMPT)
        session.shows(line), session.shows("[ OK ]  (press Enter) │"), session.key(b"\r")
        session.wait_until(lambda: re.fullmatch(TITLE.decode(), session.screen()[-1]) and not any(
            c in "".join(session.screen()) for c in "┌│└"), "the panel gone without a trace")
    assert b"\x1b]" not in session.output and b"\x07" not in session.output, \
        "a control sequence from the action text reached the terminal"
    write_attention(path, prompt_file("r4", "A"))
    session.wait_for(PROMPT)
    session.resize(40)
    session.wait_until(lambda: re.fullmatch(TITLE.decode(), session.screen()[-1]) and any(
        line.startswith("┌─ Board action needed") and line.endswith("┐") and len(line) == 40
        for line in session.screen()), "the panel redrawn 40 columns wide", timeout=0.9)
    write_attention(path, {"success_id": "s1"})
    session.wait_for(READY)
    session.wait_for(rb"\x1b\[1m\x1b\[97mReady")
    session.wait_for(rb"\x1b\[32m" + TITLE + rb"\x1b\[0m")
    assert not session.on_screen("Board action needed"), "the prompt stayed under the success"
    session.shows("Board ready", False, timeout=6)
    session.wait_until(lambda: re.search(rb"(?<!\x1b\[32m)" + TITLE + rb"$", session.output),
                       "back to the plain title", timeout=2)
    session.end_with(signal.SIGTERM)


def stalled_reader(binary, home, root):  # a stalled reader: it still polls and still ends
    os.makedirs(home["XDG_DATA_HOME"] + "/Vantorel")
    read_end, write_end = os.pipe()
    os.set_blocking(write_end, False)
    with contextlib.suppress(BlockingIOError):
        while os.write(write_end, b"x" * 4096):
            pass
    process = start(binary, home, stdin=subprocess.DEVNULL, stdout=write_end)
    # Output waits behind the full pipe; the prompt adds more, and the poll must go on.
    write_attention(home["XDG_DATA_HOME"] + "/Vantorel/board-flash-attention.json",
                    prompt_file("r", "A" * 5000))
    time.sleep(1.5)
    assert process.poll() is None, "the program ended on its own"
    process.send_signal(signal.SIGTERM)
    assert process.wait(timeout=5) == 0, "exit status not 0 after SIGTERM"
    os.close(write_end), os.close(read_end)


# Autostart as GLib's desktop entry reader sees it (for a program whose path holds "%", and
# through a link to an entry kept elsewhere), and paths from the environment printed with their
# controls visible.
def autostart(binary, home, root):
    from gi.repository import Gio
    binary, _ = bundle_copy(binary, root + "/100%d")
    hostile = "/\x1b]0;pwned\x07"
    config = root + hostile
    env = dict(home, XDG_CONFIG_HOME=config, XDG_DATA_HOME=root + hostile)
    entry = config + "/autostart/vantorel.desktop"

    def glib_reads():  # PyGObject raises where GLib returns no entry
        with contextlib.suppress(TypeError):
            return Gio.DesktopAppInfo.new_from_filename(entry)

    def run(*args, status=0):
        process = start(binary, env, *args, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                        stderr=subprocess.PIPE)
        out, err = process.communicate(timeout=5)
        assert process.returncode == status, f"{args}: exit {process.returncode}, {err}"
        assert b"\x1b" not in out + err, f"{args}: a control reached the terminal: {out + err}"
        return out.decode()

    assert run("autostart", "status", status=1) == "off\n"
    assert run("autostart", "on") == f"on: {root}/^[]0;pwned^G/autostart/vantorel.desktop\n"
    assert glib_reads(), "GLib rejects the entry written"
    run("autostart", "status")
    # The entry as it was written before: GLib looks for "100%%d" and rejects it; so does status.
    with open(entry) as f:
        written = f.read()
    with open(entry, "w") as f:
        f.write(re.sub(r"Exec=.*", f'Exec="{binary.replace("%", "%%")}"', written))
    assert not glib_reads()
    run("autostart", "status", status=1)
    # Linked from a dotfiles folder: on, and kept a link when written again.
    os.makedirs(root + "/dotfiles")
    os.replace(entry, root + "/dotfiles/vantorel.desktop")
    os.symlink(root + "/dotfiles/vantorel.desktop", entry)
    run("autostart", "on")
    assert os.path.islink(entry) and open(entry).read() == written, "the link not written through"
    run("autostart", "status")
    # The program's start-up line names the attention file under the hostile data folder.
    program = start(binary, env, "--verbose", stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                    stderr=subprocess.PIPE)
    line = program.stderr.readline()
    assert line.startswith(b"vantorel: reading the attention file ") and \
        b"/^[]0;pwned^G/Vantorel/" in line and b"\x1b" not in line, line
    program.terminate(), program.wait(5)
    # GLib runs exactly the program the entry names (replaced here by a script that tells).
    with open(binary, "w") as f:
        f.write(f'#!/bin/sh\necho "$0" > {root}/ran\n')
    glib_reads().launch([], None)
    deadline = time.monotonic() + 5
    while not os.path.exists(root + "/ran") and time.monotonic() < deadline:
        time.sleep(0.05)
    time.sleep(0.1)
    assert open(root + "/ran").read() == binary + "\n", "GLib ran another program"


def main(scenarios):  # the scenario named on the command line, on fresh folders
    binary, scenario = os.path.abspath(sys.argv[1]), sys.argv[2]
    root = tempfile.mkdtemp(prefix="vantorel-e2e-")
    home = {name: f"{root}/{name}" for name in ("HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                                   "XDG_RUNTIME_DIR")}
    try:
        [os.makedirs(folder) for folder in home.values()]
        scenarios[scenario](binary, home, root)
    except AssertionError as failure:
        sys.exit(f"FAIL {scenario}: {failure}")
    finally:
        for process in PROCESSES:
            process.kill(), process.wait()
        shutil.rmtree(root, ignore_errors=True)
    print(f"ok {scenario}")


if __name__ == "__main__":
    main(globals())
