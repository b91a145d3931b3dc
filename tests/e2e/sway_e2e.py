# The real program on sway (Wayland) as an unprivileged user, seen in screenshots (the headless seat
# has no pointer): the prompt on the overlay layer, centred, above a window focused after it, and
# keeping the keys. Usage: run-on-sway.sh sway_e2e.py <bundle> [<screenshot folder>]
import os, shutil, subprocess, sys, tempfile, time

# A floating window of another program, red all over, to focus and to find the panel on.
OTHER = ("import gi; gi.require_version('Gtk', '3.0'); from gi.repository import Gtk, Gdk; "
         "css = Gtk.CssProvider(); css.load_from_data(b'* { background: #ff0000; }'); "
         "Gtk.StyleContext.add_provider_for_screen(Gdk.Screen.get_default(), css, 800); "
         "w = Gtk.Window(title='Other'); w.add(Gtk.TextView()); w.show_all(); Gtk.main()")


def sway(*command):
    return subprocess.run(["swaymsg", *command], capture_output=True, text=True).stdout


def wait_until(what, check, timeout=20.0):
    deadline = time.monotonic() + timeout
    while not (result := check()) and time.monotonic() < deadline:
        time.sleep(0.05)
    assert result, f"timed out waiting for {what}"
    return result


def panel():  # (x, y, width, height) of what is not red over the red window, or None
    ppm = subprocess.run(["grim", "-t", "ppm", "-g", "100,100 1080x600", "-"],
                         capture_output=True).stdout.split(b"\n", 3)[3]
    found = [i // 3 for i in range(0, len(ppm), 3) if ppm[i:i + 3] != b"\xff\0\0"]
    xs, ys = [p % 1080 + 100 for p in found], [p // 1080 + 100 for p in found]
    return found and (min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)


def main(bundle, shots):
    root = tempfile.mkdtemp(prefix="vantorel-sway-")
    program = shutil.copytree(bundle, root + "/build/Vantorel") + "/bin/vantorel"
    os.makedirs(root + "/work")
    attention = root + "/work/board-flash-attention.json"
    open(attention, "w").write("{}")  # there at the start: the file beside the bundle is read
    log = open(root + "/vantorel.log", "w")
    # One keyboard for the whole session: each wtype run would otherwise add and remove one.
    others = [subprocess.Popen(["wtype", "-s", "600000"]), subprocess.Popen(
        [sys.executable, "-c", OTHER], env=dict(os.environ, GDK_BACKEND="wayland"))]
    try:
        wait_until("the other window", lambda: '"name": "Other"' in sway("-t", "get_tree"))
        sway('[title="^Other$"]', "floating enable, resize set 1200 700, move position center")
        others.append(subprocess.Popen([program], stdout=log, stderr=log))
        print("- the prompt: centred, above a window raised after it, with the keys", flush=True)
        time.sleep(0.5)
        open(attention, "w").write(
            '{"active": true, "needs_user": true, "request_id": "a", "action": "Go"}')
        assert wait_until("the prompt", panel) == (420, 325, 440, 150), panel()
        shots and subprocess.run(["grim", "-g", "380,285 520x230", shots + "/sway-prompt.png"])
        sway('[title="^Other$"]', "focus")  # raises it; the prompt keeps the keys on sway 1.7
        time.sleep(1.5)  # keys act after the prompt's first second
        assert panel() == (420, 325, 440, 150), panel()
        subprocess.run(["wtype", "-k", "Escape"])
        wait_until("the prompt answered", lambda: not panel(), timeout=5)
        print("- 'vantorel quit' ends it, having logged no critical", flush=True)
        assert subprocess.run([program, "quit"], timeout=15).returncode == 0
        assert others[2].wait(timeout=5) == 0 and "CRITICAL" not in open(log.name).read()
    except AssertionError:
        print(f"--- program output ---\n{open(log.name).read()}")
        raise
    finally:
        for process in others:
            process.poll() is None and process.terminate()
        shutil.rmtree(root, ignore_errors=True)
    print("ok")


if __name__ == "__main__":
    main(os.path.abspath(sys.argv[1]), sys.argv[2:] and os.path.abspath(sys.argv[2]))
