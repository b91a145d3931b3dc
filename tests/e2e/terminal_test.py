#!/usr/bin/python3
# The real program in a pseudo-terminal with no display, and the helpers of commands_test.py.
# How the front end draws is pinned by tests/terminal; here, that it is wired to a real terminal.
# Usage: terminal_test.py <bundle>/bin/vantorel <scenario>
import contextlib, fcntl, json, os, re, select, shutil, signal, struct, subprocess, sys
import tempfile, termios, time
from pathlib import Path

PROMPT = re.escape("┌─ Board action needed ─".encode())
READY = re.escape("\x1b[42m┌─ Board ready ─".encode())
ERASED = rb"\r(\x1b\[\d+A)?\x1b\[J"  # the live region erased, drawn anew after it
PROCESSES = []
want = lambda state: f"Want {state} \\| Have ".encode()  # noqa: E731
prompt_file = lambda request, action: {"active": True, "needs_user": True,  # noqa: E731
                                       "request_id": request, "action": action}


def start(binary, home, *args, **streams):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    PROCESSES.append(subprocess.Popen([binary, *args], env=dict(env, **home, TERM="xterm-256color"),
                                      **streams))
    return PROCESSES[-1]


# A command as a script runs it. Under umockdev its USB monitor must not share the program's
# descriptor number (each event socket is named after it), so it starts with 32 more open.
def command(binary, home, *args, stdout=subprocess.PIPE):
    spare = [os.open(os.devnull, os.O_RDONLY) for _ in range(32)]
    process = start(binary, home, *args, pass_fds=spare, stdin=subprocess.DEVNULL, stdout=stdout,
                    stderr=subprocess.PIPE, text=True)
    return [os.close(fd) for fd in spare] and process


def finished(process, status):  # its output, then its errors, once ended so
    out, err = process.communicate(timeout=5)
    assert process.returncode == status, f"{process.args[1:]}: exit {process.returncode}, {err}"
    return (out or "") + err


def wait_until(condition, what, timeout=5.0, session=None):  # reading the session's terminal
    deadline = time.monotonic() + timeout
    while not (result := condition()):
        left = deadline - time.monotonic()
        assert left > 0, f"not {what} within {timeout} s" + \
            (f"; since the mark:\n{session.output[session.mark:]!r}" if session else "")
        if select.select([session.master] if session else [], [], [], min(left, 0.05))[0]:
            with contextlib.suppress(OSError):
                session.output += os.read(session.master, 65536)
    return result


class Session:  # one run on a fresh pseudo-terminal that is its controlling terminal
    def __init__(self, binary, home):
        self.master, self.slave = os.openpty()
        self.output, self.mark = b"", 0
        self.resize = lambda columns: fcntl.ioctl(  # later, the program gets SIGWINCH
            self.slave, termios.TIOCSWINSZ, struct.pack("HHHH", 40, columns, 0, 0))
        self.resize(100)
        self.settings = lambda: termios.tcgetattr(self.slave)
        self.settings_before = self.settings()
        self.key_mode = lambda: (  # key at a time, no echo, Ctrl+C and Ctrl+Z still signals
            self.settings()[3] & (termios.ICANON | termios.ECHO | termios.ISIG) == termios.ISIG)
        self.process = start(binary, home, stdin=self.slave, stdout=self.slave, stderr=self.slave,
                             preexec_fn=lambda: (os.setsid(), fcntl.ioctl(0, termios.TIOCSCTTY)))
        self.key = lambda keys: os.write(self.master, keys)
        self.wait_until = lambda *args, **kw: wait_until(*args, **kw, session=self)

    def wait_for(self, pattern, timeout=5.0):  # the first match since the mark, then past it
        found = self.wait_until(lambda: re.compile(pattern).search(self.output, self.mark),
                                f"seen {pattern!r}", timeout)
        self.mark = found.end()
        return found

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
    Path(path + ".tmp").write_text(json.dumps(content))
    os.replace(path + ".tmp", path)


# A corrupt file is left alone until a choice, which is stored, and one that cannot be stored is
# kept for the run; Ctrl+Z and every way out (Ctrl+C, SIGHUP here; SIGTERM, q elsewhere) give
# the terminal back.
def preferences(binary, home, root):
    path = Path(home["XDG_CONFIG_HOME"], "vantorel", "preferences.json")
    path.parent.mkdir()
    path.write_bytes(b"{not json")
    session = Session(binary, home)
    session.wait_for(want("C6 boot"))
    assert session.key_mode(), "standard input is not in key-at-a-time mode"
    time.sleep(1)  # time enough to rewrite or sweep the file, which it must not
    # Ctrl+Z stops it with the terminal's own settings back; continuing takes the keyboard again.
    session.key(b"\x1a")
    session.wait_until(lambda: open(f"/proc/{session.process.pid}/stat").read()
                       .rsplit(")", 1)[1].split()[0] == "T", "stopped")
    assert session.settings() == session.settings_before, "terminal settings kept while stopped"
    assert path.read_bytes() == b"{not json", "the corrupt file touched before any choice"
    session.process.send_signal(signal.SIGCONT)
    session.wait_until(session.key_mode, "in key-at-a-time mode again")
    # Ctrl+\ is off in key mode: its signal would end the program without restoring anything.
    session.key(b"\x1c3?")
    session.wait_for("  3  ✓ Want RP boot".encode())
    session.wait_until(lambda: '"RP boot"' in path.read_text(), "the choice stored")
    session.end_with(b"\x03")
    Path(root, "a-file").touch()
    session = Session(binary, dict(home, XDG_CONFIG_HOME=os.path.join(root, "a-file", "config")))
    session.wait_for(want("C6 boot"))
    session.key(b"4x")
    session.wait_for("  4  ✓ Want RP normal".encode())
    session.end_with(signal.SIGHUP)


# A panel's text reaches the terminal only as visible characters, Enter takes the panel off, and
# a resize redraws it at once at the width the terminal has (the ready panel: commands_test.py).
# A full output pipe never stalls the loop: tests/terminal.
def attention(binary, home, root):
    binary, path = bundle_copy(binary, root)
    write_attention(path, {})
    session = Session(binary, home)
    write_attention(path, prompt_file("r1", "\u001b]0;pwned\u0007 <b>x</b>"))
    session.wait_for(PROMPT)
    session.wait_for(re.escape("│ ^[]0;pwned^G <b>x</b> ".encode()))
    session.wait_for(re.escape("[ OK ]  (press Enter) │".encode()))
    session.key(b"\r")
    session.wait_for(ERASED + want("C6 boot") + rb"[^\r\n\x1b]+$")
    assert b"\x1b]" not in session.output and b"\x07" not in session.output, \
        "a control sequence from the action text reached the terminal"
    write_attention(path, prompt_file("r2", "A"))
    session.wait_for(PROMPT)
    session.resize(40)
    session.wait_for(ERASED + re.escape("┌─ Board action needed ─".ljust(39, "─").encode() +
                                        "┐".encode()), timeout=0.9)
    session.end_with(signal.SIGTERM)


# Autostart as GLib's desktop entry reader sees it (for a program whose path holds "%", and
# through a link to an entry kept elsewhere), and a path from the environment printed with its
# controls visible.
def autostart(binary, home, root):
    from gi.repository import Gio
    binary, _ = bundle_copy(binary, root + "/100%d")
    config = root + "/\x1b]0;pwned\x07"
    env = dict(home, XDG_CONFIG_HOME=config)
    entry = Path(config, "autostart", "vantorel.desktop")

    def glib_reads():  # PyGObject raises where GLib returns no entry
        with contextlib.suppress(TypeError):
            return Gio.DesktopAppInfo.new_from_filename(str(entry))

    def run(action, status=0):
        text = finished(command(binary, env, "autostart", action), status)
        assert "\x1b" not in text, f"{action}: a control reached the terminal: {text!r}"
        return text

    assert run("on") == f"on: {root}/^[]0;pwned^G/autostart/vantorel.desktop\n"
    assert glib_reads() and run("status"), "GLib rejects the entry written"
    # The entry as it was written before: GLib looks for "100%%d" and rejects it; so does status.
    written = entry.read_text()
    entry.write_text(re.sub(r"Exec=.*", f'Exec="{binary.replace("%", "%%")}"', written))
    assert not glib_reads() and run("status", status=1) == "off\n"
    # Linked from a dotfiles folder: on, and kept a link when written again.
    os.makedirs(root + "/dotfiles")
    os.replace(entry, root + "/dotfiles/vantorel.desktop")
    entry.symlink_to(root + "/dotfiles/vantorel.desktop")
    run("on")
    assert entry.is_symlink() and entry.read_text() == written, "the link not written through"
    # GLib runs exactly the program the entry names (replaced here by a script that tells).
    Path(binary).write_text(f'#!/bin/sh\necho "$0" > "{root}/ran"\n')
    glib_reads().launch([], None)
    ran = Path(root, "ran")
    wait_until(lambda: ran.exists() and ran.read_text() == binary + "\n", "this program run")


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
