# The real program on a desktop, seen and clicked as a status area host and a user do it, and its
# fall-back to the terminal. Usage: desktop_e2e.py <bundle folder> [<screenshot folder>]
import json, os, subprocess, sys, traceback
sys.dont_write_bytecode = True  # no cache files in the source tree
from desktop_session import Session  # noqa: E402


def checked(item):
    return [e["label"] for e in item.entries() if e.get("toggle-state") == 1]


# The panel once shown, of `size`, kept above, centred with its frame, offering the window manager
# only `functions` (moving, closing), with the program's icon and class.
def panel(session, title, size, functions):
    window = session.wait_until(title, lambda: session.visible_window(title))
    assert session.geometry(window)[2:] == size, session.geometry(window)
    session.wait_centred(window)
    state = session.tool("xprop", "-id", str(window), "_NET_WM_STATE", "_MOTIF_WM_HINTS")
    assert "_NET_WM_STATE_ABOVE" in state and f"HINTS) = 0x3, {functions}, 0xa," in state, state
    # The program's icon, and its desktop file's name as the class (task bars find the icon there).
    assert "Icon (" in session.tool("xprop", "-id", str(window), "_NET_WM_ICON")
    assert '"vantorel", "Vantorel"' in session.tool("xprop", "-id", str(window), "WM_CLASS")
    return window


def steps(session, shots):
    session.start_window_manager()
    item = session.start_program()
    label = lambda text: session.wait_until(  # noqa: E731
        "label", lambda: item.prop("XAyatanaLabel"), expected=text)
    yield "starts with the preference absent"
    label("Want C6 boot | Have none")
    title = "Desired: C6 boot. Observed: No matching USB device."
    assert [item.prop(key) for key in ("Title", "IconAccessibleDesc", "Status", "IconName",
                                       "XAyatanaLabelGuide")] == [
        title, title, "Active", "vantorel-symbolic", "Want C6 normal | Have C6 unknown mode"]
    assert all(os.path.isfile(f"{item.prop('IconThemePath')}/hicolor/scalable/apps/{icon}.svg")
               for icon in (item.prop("IconName"), item.prop("AttentionIconName")))
    entries = item.entries()
    assert [(e.get("label", ""), e.get("type", ""), e.get("toggle-type", "")) for e in entries] == (
        [("Observed: No matching USB device", "", ""), ("", "separator", "")] + [
            (f"Want {w}", "", "checkmark") for w in ("C6 boot", "C6 normal", "RP boot",
                                                     "RP normal")]
        + [("", "separator", ""), ("Quit", "", "")]), entries
    # A host draws the exported menu itself and would never deliver Ctrl+Q: none is shown there.
    assert not entries[0]["enabled"] and "shortcut" not in entries[7], entries

    yield "shows a plugged-in bootloader"
    session.add_usb_device("rp2350", "2e8a", "000f", "RP2350 Boot")
    label("Want C6 boot | Have RP likely boot")  # the menu follows in place: tests/gtk

    yield "moves the check mark and stores the choice"
    item.click("Want RP boot")
    label("Want RP boot | Have RP likely boot")
    assert checked(item) == ["Want RP boot"], checked(item)
    session.wait_until("the stored choice", lambda: json.load(open(
        session.root + "/.config/vantorel/preferences.json")), expected={"desired": "RP boot"})

    yield "prompts and dismisses with OK"
    session.write_attention({"active": True, "needs_user": True, "request_id": "e2e-1", "action": (
        "Hold BOOTSEL on the RP2350 board, press and release RESET, then release BOOTSEL. "
        "The flashing tool waits until the bootloader drive appears.")})
    window = panel(session, "Board action needed", (440, 150), "0x24")
    # A window manager that minimises it anyway gets it straight back.
    session.tool("xdotool", "windowminimize", str(window), "sleep", "0.5")
    assert session.visible_window("Board action needed") and "HIDDEN" not in session.tool(
        "xprop", "-id", str(window), "_NET_WM_STATE"), "minimised"
    session.click_ok(window)

    yield "reports success with the tint and a closing panel"
    session.write_attention({"active": False, "needs_user": False, "success_id": "e2e-ok-1"})
    window = panel(session, "Board ready", (440, 110), "0x4")
    tint = lambda: [item.prop("Status"), item.prop("IconName")]  # noqa: E731
    assert tint() == ["NeedsAttention", "vantorel-attention"], tint()
    assert "#34C759" in session.grab(window, "txt:-", "-crop", "1x1+4+4")
    session.wait_until("status and icon", tint, expected=["Active", "vantorel-symbolic"])
    session.wait_until("the panel to go", lambda: session.visible_window("Board ready") is None)

    yield "quits and starts again with the stored choice; a second start shows nothing"
    for _ in range(2):
        item.click("Quit")
        assert session.wait_for_exit() == 0
        item = session.start_program()
        label("Want RP boot | Have RP likely boot")
    assert checked(item) == ["Want RP boot"] and "status area" not in session.program_log()
    second = subprocess.run([session.bundle + "/bin/vantorel"], env=session.env, timeout=10,
                            capture_output=True, text=True)
    assert second.returncode == 0 and f"already running (process {session.program.pid})" in \
        second.stderr and len(session.watcher.items) == 1, (second, session.watcher.items)

    yield "starts after the first was killed; 'vantorel quit' ends it, and says when none runs"
    session.program.kill()
    session.wait_for_exit()
    item = session.start_program()
    label("Want RP boot | Have RP likely boot")
    quit = lambda: subprocess.run([session.bundle + "/bin/vantorel", "quit"],  # noqa: E731
                                  env=session.env, timeout=15, capture_output=True, text=True)
    assert quit().returncode == 0 and session.wait_for_exit() == 0
    nothing = quit()
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
