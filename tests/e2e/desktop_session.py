# Around the real program in a test: desktop programs, a StatusNotifierWatcher (unless the desktop
# brings one), a home, a bundle copy, and a USB testbed the program inherits (run under umockdev).
import json, os, shutil, subprocess, tempfile, time
import dbus, dbus.mainloop.glib, dbus.service, gi

gi.require_version("UMockdev", "1.0")
from gi.repository import GLib, UMockdev  # noqa: E402

WATCHER, ITEM = "org.kde.StatusNotifierWatcher", "org.kde.StatusNotifierItem"


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(dbus.service.BusName(WATCHER, bus), "/StatusNotifierWatcher")
        self.items = []  # (bus name, path), newest last

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, path, sender=None):  # as the indicator library does it
        self.items.append((sender, path))


class Item:  # one registered status item, read and clicked as a status area host does it
    def __init__(self, bus, name, path):
        self.bus, self.name, self.path = bus, name, path

    def prop(self, key):
        return self.bus.get_object(self.name, self.path).Get(ITEM, key,
                                                             dbus_interface=dbus.PROPERTIES_IFACE)

    def entries(self):  # the top-level menu entries: their dbusmenu properties and "id"
        self.menu = dbus.Interface(self.bus.get_object(self.name, self.prop("Menu")),
                                   "com.canonical.dbusmenu")
        return [dict(props, id=ident) for ident, props, _ in self.menu.GetLayout(0, -1, [])[1][2]]

    def click(self, label):  # "Quit" may end the program before it replies
        ident = next(e["id"] for e in self.entries() if e.get("label") == label)
        self.menu.Event(ident, "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0),
                        reply_handler=lambda: None, error_handler=lambda error: None)


class Session:  # everything one run needs around the program; close() always cleans it up
    def __init__(self, bundle, watcher=True):
        dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
        self.bus = dbus.SessionBus()
        self.watcher, self.testbed = watcher and Watcher(self.bus), UMockdev.Testbed.new()
        # The bundle copied to <root>/build/Vantorel reads <root>/work/board-flash-attention.json.
        self.root = tempfile.mkdtemp(prefix="vantorel-desktop-")
        self.bundle = shutil.copytree(bundle, self.root + "/build/Vantorel")
        os.makedirs(self.root + "/work")
        self.write_attention({})
        # A home of its own with the default folders; tools see the real device tree.
        self.env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        self.env.update(HOME=self.root, XDG_RUNTIME_DIR=os.environ["XDG_RUNTIME_DIR"],
                        UMOCKDEV_DIR=self.testbed.get_root_dir())
        self.tools = {k: v for k, v in self.env.items() if k not in ("LD_PRELOAD", "UMOCKDEV_DIR")}
        self.log = open(self.root + "/vantorel.log", "w")
        self.program, self.others = None, []

    # Serves the bus until check() gives a true value (or `expected`), and returns that.
    def wait_until(self, what, check, timeout=20.0, expected=None):
        deadline, last = time.monotonic() + timeout, None
        while time.monotonic() < deadline:
            while GLib.MainContext.default().iteration(False):
                pass
            try:
                last = check()
                if last if expected is None else last == expected:
                    return last
            except (dbus.DBusException, OSError, ValueError, IndexError) as error:
                last = error
            time.sleep(0.02)
        raise AssertionError(f"timed out waiting for {what}; last seen: {last!r}")

    def add_usb_device(self, port, vendor, product, name):  # a plugged-in board; returns its path
        return self.testbed.add_device("usb", port, None, ["idVendor", vendor, "idProduct", product,
                                       "product", name], ["DEVTYPE", "usb_device"])

    def tool(self, *argv):
        return subprocess.run(argv, env=self.tools, capture_output=True, encoding="latin-1").stdout

    def start(self, *argv):
        self.others.append(subprocess.Popen(argv, env=self.tools, stdout=subprocess.DEVNULL,
                                            stderr=subprocess.DEVNULL))

    def start_window_manager(self):
        self.start("xfwm4", "--compositor=off")
        self.wait_until("the window manager", lambda: "window id" in self.tool(
            "xprop", "-root", "_NET_SUPPORTING_WM_CHECK"))

    def items(self):  # (bus name, path) of each item with our watcher or the desktop's (GNOME: name@path)
        return list(self.watcher.items) if self.watcher else [
            (i[:i.index("/")].rstrip("@"), i[i.index("/"):]) for i in self.bus.get_object(
                WATCHER, "/StatusNotifierWatcher").Get(WATCHER, "RegisteredStatusNotifierItems",
                                                       dbus_interface=dbus.PROPERTIES_IFACE)]

    def start_program(self, **env):  # its item once registered, with the session's display
        before = self.items()
        self.program = subprocess.Popen([self.bundle + "/bin/vantorel"], env=dict(self.env, **env),
                                        stdout=self.log, stderr=self.log, stdin=subprocess.DEVNULL)
        if "DISPLAY" not in env:
            return Item(self.bus, *self.wait_until("the item", lambda: [
                i for i in self.items() if i not in before])[-1])

    def wait_for_exit(self, status=0):
        self.wait_until(f"the exit status {status}", self.program.poll, expected=status)

    def program_log(self):
        return open(self.log.name).read()

    def close(self):
        for process in [self.program] + self.others:
            if process and process.poll() is None:
                process.terminate()
                process.wait(timeout=10)
        shutil.rmtree(self.root, ignore_errors=True)

    def write_attention(self, content):  # at once, as the flashing tool does
        open(self.root + "/work/attention.tmp", "w").write(json.dumps(content))
        os.rename(self.root + "/work/attention.tmp", self.root + "/work/board-flash-attention.json")

    def visible_window(self, title):
        ids = self.tool("xdotool", "search", "--onlyvisible", "--name", f"^{title}$").split()
        return int(ids[0]) if ids else None

    def grab(self, window, output, *options):
        return self.tool("import", "-window", str(window), *options, "-depth", "8", output)
