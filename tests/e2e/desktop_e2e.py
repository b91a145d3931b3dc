# The real program with a status area watcher under openbox: its item read and clicked as a host
# does it, one item per user, and its fall-back to the terminal (the panels: xfce_e2e.py).
# Usage: desktop_e2e.py <bundle folder>
import os, subprocess, sys, traceback
sys.dont_write_bytecode = True  # no cache files in the source tree
from desktop_session import Session  # noqa: E402


def steps(session, shots):
    session.start_window_manager()
    item = session.start_program()
    label = lambda text: session.wait_until(  # noqa: E731
        "label", lambda: item.prop("XAyatanaLabel"), expected=text)
    checked = lambda: [e["label"] for e in item.entries() if e.get("toggle-state") == 1]  # noqa
    yield "shows the item with the bundle's icons; a host is offered no shortcut"
    label("Want C6 boot | Have none")
    assert all(os.path.isfile(f"{item.prop('IconThemePath')}/hicolor/scalable/apps/{icon}.svg")
               for icon in (item.prop("IconName"), item.prop("AttentionIconName")))
    entries = item.entries()  # hosts draw the menu themselves and never deliver Ctrl+Q
    assert not entries[0]["enabled"] and "shortcut" not in entries[-1], entries

    yield "shows a plugged-in bootloader, moves the check mark to a choice and keeps it"
    session.add_usb_device("rp2350", "2e8a", "000f", "RP2350 Boot")
    label("Want C6 boot | Have RP likely boot")
    item.click("Want RP boot")
    label("Want RP boot | Have RP likely boot")
    assert checked() == ["Want RP boot"], checked()
    item.click("Quit")
    assert session.wait_for_exit() == 0
    item = session.start_program()
    label("Want RP boot | Have RP likely boot")
    assert checked() == ["Want RP boot"] and "status area" not in session.program_log()

    yield "a second start shows nothing; starts after the first was killed; 'vantorel quit'"
    vantorel = lambda *argv: subprocess.run(  # noqa: E731
        [session.bundle + "/bin/vantorel", *argv], env=session.env, timeout=15,
        capture_output=True, text=True)
    second = vantorel()
    assert second.returncode == 0 and f"already running (process {session.program.pid})" in \
        second.stderr and len(session.watcher.items) == 1, (second, session.watcher.items)
    session.program.kill()
    session.wait_for_exit()
    item = session.start_program()
    label("Want RP boot | Have RP likely boot")
    assert vantorel("quit").returncode == 0 and session.wait_for_exit() == 0
    nothing = vantorel("quit")
    assert nothing.returncode == 1 and nothing.stderr == "vantorel: no Vantorel is running\n"

    yield "runs in the terminal without a display, mapping GTK only when it tried one"
    for display in ("", ":99"):
        session.program.terminate()
        session.program.wait()
        start = len(session.program_log())
        session.start_program(DISPLAY=display)
        session.wait_until("the terminal", lambda: "Want RP" in session.program_log()[start:])
        assert ("libgtk-3" in open(f"/proc/{session.program.pid}/maps").read()) == bool(display)
    assert "vantorel: no desktop (cannot open display :99); running in the terminal\n" in \
        session.program_log()[start:]


def run(steps, **options):  # one scenario's steps in a new session; returns the exit status
    session, step = Session(os.path.abspath(sys.argv[1]), **options), "setting up"
    try:
        for step in steps(session, sys.argv[2:] and os.path.abspath(sys.argv[2])):
            print(f"- {step}", flush=True)
    except AssertionError:
        print(f"FAILED - {step}: {traceback.format_exc(limit=-1)}--- program output ---\n"
              f"{session.program_log()}")
        return 1
    finally:
        session.close()
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(run(steps))
