# The real program on sway (Wayland), seen through sway's own tree and screen and clicked with its
# seat's pointer: the prompt centred, focused, above a window clicked after it, answered by a
# click; one Vantorel. Usage: run-on-sway.sh sway_e2e.py <bundle folder> [<screenshot folder>]
import json, os, shutil, subprocess, sys, tempfile, time

# A floating window of another program, red all over, to click and to look for on the prompt.
OTHER = ("import gi; gi.require_version('Gtk', '3.0'); from gi.repository import Gtk, Gdk; "
         "css = Gtk.CssProvider(); css.load_from_data(b'* { background: #ff0000; }'); "
         "Gtk.StyleContext.add_provider_for_screen(Gdk.Screen.get_default(), css, 800); "
         "w = Gtk.Window(title='Other'); w.add(Gtk.TextView()); w.show_all(); Gtk.main()")
PROMPT = "Board action needed"


def sway(*command):
    return subprocess.run(["swaymsg", *command], capture_output=True, text=True).stdout


def windows():  # every window in sway's tree, by title
    found, todo = {}, [json.loads(sway("-t", "get_tree"))]
    while todo:
        node = todo.pop()
        todo += node.get("nodes", []) + node.get("floating_nodes", [])
        if node.get("name") and (node.get("app_id") or node.get("window_properties")):
            found[node["name"]] = node
    return found


def wait_until(what, check, timeout=20.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if result := check():
            return result
        time.sleep(0.05)
    raise AssertionError(f"timed out waiting for {what}")


def click(x, y):
    sway("seat", "seat0", "cursor", "set", str(x), str(y))
    sway("seat", "seat0", "cursor", "press", "button1")
    sway("seat", "seat0", "cursor", "release", "button1")


def red_share(rect):  # the share of pure red pixels in the screen's rectangle
    ppm = subprocess.run(["grim", "-t", "ppm", "-g", "{x},{y} {width}x{height}".format(**rect),
                          "-"], capture_output=True).stdout
    pixels = ppm.split(b"\n", 3)[3]
    return sum(pixels[i:i + 3] == b"\xff\0\0" for i in range(0, len(pixels), 3)) / len(pixels) * 3


def main(bundle, shots):
    root = tempfile.mkdtemp(prefix="vantorel-sway-")
    program = shutil.copytree(bundle, root + "/build/Vantorel") + "/bin/vantorel"
    os.makedirs(root + "/work")
    attention = root + "/work/board-flash-attention.json"
    open(attention, "w").write("{}")  # there at the start: the file beside the bundle is read
    json.dump({"active": True, "needs_user": True, "request_id": "w", "action": "Go"},
              open(attention + ".tmp", "w"))
    log = open(root + "/vantorel.log", "w+")
    others = [subprocess.Popen([sys.executable, "-c", OTHER], env=dict(
        os.environ, GDK_BACKEND="wayland"))]
    try:
        wait_until("the other window", lambda: "Other" in windows())
        sway('[title="^Other$"]', "floating enable, resize set 1200 700, move position center")
        others.append(subprocess.Popen([program], stdout=log, stderr=log))
        print("- the prompt is centred, focused and named as the desktop file", flush=True)
        os.rename(attention + ".tmp", attention)
        prompt = wait_until("the prompt", lambda: windows().get(PROMPT))
        time.sleep(0.5)
        prompt = windows()[PROMPT]
        rect, content = prompt["rect"], prompt["window_rect"]
        x, y = rect["x"] + content["x"], rect["y"] + content["y"]
        assert (content["width"], content["height"]) == (440, 150), content
        assert abs(2 * x + 440 - 1280) <= 2 and abs(2 * y + 150 - 800) <= 2, (x, y)
        assert prompt["focused"] and prompt["window_properties"]["instance"] == "vantorel", prompt
        if shots:
            subprocess.run(["grim", "-g", f"{rect['x'] - 20},{rect['y'] - 20} "
                            f"{rect['width'] + 40}x{rect['height'] + 40}", shots + "/sway-prompt.png"])

        print("- it stays above the other window when that is clicked; a click on OK answers it",
              flush=True)
        click(100, 100)
        wait_until("the other window focused", lambda: windows()["Other"]["focused"])
        time.sleep(0.5)
        subprocess.run(["grim", "/tmp/look/after.png"])
        print(json.dumps(windows()[PROMPT], indent=1)[:1500])
        assert red_share(rect) < 0.01, red_share(rect)
        wait_until("the prompt answered", lambda: PROMPT not in windows() or click(
            x + 380, y + 120) or time.sleep(0.5))

        print("- a second start shows nothing; 'vantorel quit' ends the first", flush=True)
        second = subprocess.run([program], capture_output=True, text=True, timeout=10)
        assert second.returncode == 0 and "already running" in second.stderr, second
        assert subprocess.run([program, "quit"], timeout=15).returncode == 0
        assert others[1].wait(timeout=5) == 0
    except AssertionError:
        log.seek(0)
        print(f"--- program output ---\n{log.read()}")
        raise
    finally:
        for process in others:
            process.poll() is None and process.terminate()
        shutil.rmtree(root, ignore_errors=True)
    print("ok")


if __name__ == "__main__":
    main(os.path.abspath(sys.argv[1]), sys.argv[2:] and os.path.abspath(sys.argv[2]))
