# The real program under Debian's Xfce panel (its default notification area) and xfwm4: its item
# on the panel in screen pixels and read and clicked as a host does it, its panels in window
# properties, one instance per user and its fall-back to the terminal. Usage: xfce_e2e.py <bundle
# folder> [<screenshot folder>]; with VANTOREL_STRIP=WxH+X+Y, on a running desktop, its status area.
import os, re, subprocess, sys, time, traceback
sys.dont_write_bytecode = True  # no cache files in the source tree
from desktop_session import WATCHER, Session  # noqa: E402

# One panel along the top holding the notification area only, for xfconfd (run-on-desktop's home).
PANEL = """<channel name="xfce4-panel" version="1.0"><property name="configver" type="int"
value="2"/><property name="panels" type="array"><value type="int" value="1"/><property
name="panel-1" type="empty"><property name="position" type="string" value="p=6;x=0;y=0"/>
<property name="size" type="uint" value="30"/><property name="length" type="uint" value="100"/>
<property name="plugin-ids" type="array"><value type="int" value="1"/></property></property>
</property><property name="plugins" type="empty"><property name="plugin-1" type="string"
value="systray"/></property></channel>"""
# A window of another program to type in, to take the focus from.
OTHER = ("import gi; gi.require_version('Gtk', '3.0'); from gi.repository import Gtk; "
         "w = Gtk.Window(title='Other'); w.add(Gtk.TextView()); w.show_all(); Gtk.main()")


def steps(session, shots):
    other = os.environ.get("VANTOREL_STRIP")  # the panel's place on another, running desktop
    if not other:
        folder = os.environ["XDG_CONFIG_HOME"] + "/xfce4/xfconf/xfce-perchannel-xml"
        os.makedirs(folder)
        open(folder + "/xfce4-panel.xml", "w").write(PANEL)
        session.start_window_manager()
        session.start("xfce4-panel", "--disable-wm-check")
    session.wait_until("the panel", lambda: session.bus.name_has_owner(WATCHER))
    width, height, left, top = map(int, re.split("[x+]", other or "1280x30+0+0"))
    strip = lambda: session.grab(  # noqa: E731
        "root", "rgb:-", "-crop", f"{width}x{height}+{left}+{top}").encode("latin-1")

    def still():  # unchanged for a second, done starting; on a desktop, not yet a blank strip
        before = strip()
        time.sleep(1)
        return before == strip() and (not other or len(set(before)) > 3) and before

    def green():  # how many pixels of the panel are far more green than red (only the tint is)
        pixels = strip()
        return sum(pixels[i + 1] > pixels[i] + 60 for i in range(0, len(pixels), 3))
    shoot = lambda name: shots and session.grab("root", f"{shots}/{name}", "-crop", (  # noqa: E731
        f"200x{height}+{left + min(icon) // 3 % width - 80}+{top}"), "+repage")

    def centred(window):  # its size once the whole window, frame included, is on the work area
        info = session.tool("xwininfo", "-id", str(window))
        x, y, w, h = (int(info.split(f + ":")[1].split()[0]) for f in (
            "Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))
        (l, r, t, b), (area_x, area_y, across, down) = (map(int, session.tool(
            "xprop", *where).split("=")[1].split(",")[:4]) for where in (
                ("-id", str(window), "_NET_FRAME_EXTENTS"), ("-root", "_NET_WORKAREA")))
        return abs(2 * (x - l - area_x) + l + w + r - across) <= 2 and abs(
            2 * (y - t - area_y) + t + h + b - down) <= 2 and (w, h)

    # The panel once centred: of `size`, kept above, offering the window manager only `functions`
    # (moving, closing; under xfwm4 never minimising), with the program's icon and its desktop
    # file's name as the class (task bars find the icon there).
    def panel(title, size, functions, shot):
        window = session.wait_until(title, lambda: session.visible_window(title))
        assert session.wait_until("the frame centred", lambda: centred(window)) == size
        shots and session.grab(window, f"{shots}/{shot}", "-frame")
        props = session.tool("xprop", "-id", str(window), "WM_CLASS", "_NET_WM_ICON",
                             "_NET_WM_STATE", "_MOTIF_WM_HINTS", "_NET_WM_ALLOWED_ACTIONS")
        assert all(p in props for p in ('"vantorel", "Vantorel"', "Icon (", "STATE_ABOVE",
                                        f"HINTS) = 0x3, {functions}, 0xa,")) and (
            other or "MINIMIZE" not in props), props
        return window

    yield "shows the item's icon on the panel"
    empty = session.wait_until("a still panel", still)
    item = session.start_program()
    icon = session.wait_until("the icon", lambda: sorted({i - i % 3 for i, (a, b) in enumerate(
        zip(empty, strip())) if a != b}))
    assert green() == 0
    shoot("xfce-item.png")

    yield "shows the prompt; a minimised one comes back; Escape answers it"
    session.write_attention({"active": True, "needs_user": True, "request_id": "x", "action": (
        "Hold BOOTSEL on the RP2350 board, press and release RESET, then release BOOTSEL. "
        "The flashing tool waits until the bootloader drive appears.")})
    window = panel("Board action needed", (440, 150), "0x24", "attention-panel.png")
    session.tool("xdotool", "windowminimize", str(window), "sleep", "0.5")
    session.wait_until("the prompt back", lambda: "HIDDEN" not in session.tool(
        "xprop", "-id", str(window), "_NET_WM_STATE"), timeout=5)
    time.sleep(1)  # keys act after the prompt's first second
    session.tool("xdotool", "windowactivate", "--sync", str(window), "key", "Escape")
    session.wait_until("Escape", lambda: not session.visible_window("Board action needed"))

    yield "tints the icon green on a success, and back within 5 s; the panel takes the focus"
    session.start(sys.executable, "-c", OTHER)  # used since the program's last input
    used = session.wait_until("another window", lambda: session.visible_window("Other"))
    session.tool("xdotool", "windowactivate", "--sync", str(used), "key", "a")
    session.write_attention({"success_id": "xfce-1"})
    session.wait_until("green", lambda: green() > 10)
    shoot("xfce-item-tinted.png")
    window = panel("Board ready", (440, 110), "0x4", "success-panel.png")
    assert "#34C759" in session.grab(window, "txt:-", "-crop", "1x1+4+4")
    session.wait_until("the focus", lambda: f"{window:#x}" in session.tool(
        "xprop", "-root", "_NET_ACTIVE_WINDOW"), timeout=2)
    session.wait_until("the tint to end", lambda: green() == 0, timeout=5)

    yield "lines typed into another window as the prompt appears leave it standing; a click answers"
    session.tool("xdotool", "windowactivate", "--sync", str(used))
    session.write_attention({"active": True, "needs_user": True, "request_id": "t", "action": "Go"})
    shown, focused, deadline = None, False, time.monotonic() + 20
    while time.monotonic() < (shown[1] + 0.5 if shown else deadline):  # till 0.5 s after it shows
        session.tool("xdotool", "key", "--delay", "20", "o", "k", "Return")
        window = session.visible_window("Board action needed")
        shown = shown or (window and (window, time.monotonic()))
        focused = focused or bool(window and f"{window:#x}" in session.tool(
            "xprop", "-root", "_NET_ACTIVE_WINDOW"))
    time.sleep(1)
    assert focused and session.visible_window("Board action needed") == shown[0], (shown, focused)
    # "OK" spans 340..420 x 105..135; a click before it takes input is lost
    session.wait_until("the panel to close", lambda: not session.visible_window(
        "Board action needed") or session.tool("xdotool", "mousemove", "--window", str(shown[0]),
                                               "--sync", "380", "120", "click", "1", "sleep", "1"))

    yield "the item as hosts read it: a plugged-in bootloader, a choice kept over a restart"
    label = lambda text: session.wait_until(  # noqa: E731
        "label", lambda: item.prop("XAyatanaLabel"), expected=text)
    assert all(os.path.isfile(f"{item.prop('IconThemePath')}/hicolor/scalable/apps/{name}.svg")
               for name in (item.prop("IconName"), item.prop("AttentionIconName")))
    entries = item.entries()  # hosts draw the menu themselves and never deliver Ctrl+Q
    assert not entries[0]["enabled"] and "shortcut" not in entries[-1], entries
    session.add_usb_device("rp2350", "2e8a", "000f", "RP2350 Boot")
    label("Want C6 boot | Have RP likely boot")
    item.click("Want RP boot")
    label("Want RP boot | Have RP likely boot")
    item.click("Quit")  # mostly within the choice's write delay, which quitting must not lose
    session.wait_for_exit()
    item = session.start_program()
    label("Want RP boot | Have RP likely boot")
    assert [e["label"] for e in item.entries() if e.get("toggle-state") == 1] == [
        "Want RP boot"] and "status area" not in session.program_log()

    yield "a second start shows nothing; starts after the first was killed; 'vantorel quit'"
    vantorel = lambda *argv: subprocess.run([session.bundle + "/bin/vantorel", *argv],  # noqa
                                            env=session.env, capture_output=True, text=True,
                                            timeout=15)
    before, second = session.items(), vantorel()  # a host may list a gone item a while longer
    assert second.returncode == 0 and f"already running (process {session.program.pid})" in \
        second.stderr and session.items() == before, (second, session.items())
    session.program.kill()
    session.wait_for_exit(-9)
    session.start_program()
    assert vantorel("quit").returncode == 0
    session.wait_for_exit()
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


if __name__ == "__main__":
    session, step = Session(os.path.abspath(sys.argv[1]), watcher=False), "setting up"
    try:
        for step in steps(session, sys.argv[2:] and os.path.abspath(sys.argv[2])):
            print(f"- {step}", flush=True)
        print("ok")
    except Exception:
        print(f"FAILED - {step}: {traceback.format_exc(limit=-1)}--- program output ---\n"
              f"{session.program_log()}")
        sys.exit(1)
    finally:
        session.close()
