"""The desktop the real program runs in during a test: a window manager on the caller's display,
a StatusNotifierWatcher on the session bus, a private home, a copy of the bundle with its own
attention file, and a simulated USB device tree. Run it under `run-on-desktop.sh
umockdev-wrapper /usr/bin/python3 ...`, so that the program inherits the testbed made here."""

import json
import os
import shutil
import subprocess
import tempfile
import time

import dbus
import dbus.mainloop.glib
import dbus.service
import gi

gi.require_version("UMockdev", "1.0")
from gi.repository import GLib, UMockdev  # noqa: E402

ITEM, PROPS = "org.kde.StatusNotifierItem", dbus.PROPERTIES_IFACE
WATCHER = "org.kde.StatusNotifierWatcher"


class Watcher(dbus.service.Object):
    """A status area host's watcher: the registered items, (bus name, path), newest last."""

    def __init__(self, bus):
        super().__init__(dbus.service.BusName(WATCHER, bus), "/StatusNotifierWatcher")
        self.items = []

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        path = service.startswith("/")
        self.items.append((sender if path else service, service if path else "/StatusNotifierItem"))


class Item:
    """One registered status item, read and clicked the way a status area host does it."""

    def __init__(self, bus, name, path):
        self.bus, self.name, self.path = bus, name, path

    def prop(self, key):
        return self.bus.get_object(self.name, self.path).Get(ITEM, key, dbus_interface=PROPS)

    def menu(self):
        return dbus.Interface(self.bus.get_object(self.name, self.prop("Menu")),
                              "com.canonical.dbusmenu")

    def entries(self):
        """The top-level menu entries: their dbusmenu properties and their "id"."""
        return [dict(props, id=ident) for ident, props, _ in self.menu().GetLayout(0, -1, [])[1][2]]

    def click(self, label):
        """Clicks the entry titled `label`; "Quit" may end the program before it replies."""
        ident = next(e["id"] for e in self.entries() if e.get("label") == label)
        self.menu().Event(ident, "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0),
                          reply_handler=lambda: None, error_handler=lambda error: None)


class Session:
    """Everything one run needs around the program; close() always cleans it up."""

    def __init__(self, bundle):
        dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
        self.bus = dbus.SessionBus()
        self.watcher = Watcher(self.bus)
        self.testbed = UMockdev.Testbed.new()
        self.root = tempfile.mkdtemp(prefix="vantorel-desktop-")
        # The bundle copied to <root>/build/Vantorel reads <root>/work/board-flash-attention.json.
        self.bundle = shutil.copytree(bundle, self.root + "/build/Vantorel")
        os.makedirs(self.root + "/work")
        self.write_attention({})
        # A private home with the default folders under it. The testbed sets UMOCKDEV_DIR in the
        # C environment only; children need it passed on.
        self.env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        self.env.update(HOME=self.root, XDG_RUNTIME_DIR=self.root + "/runtime",
                        UMOCKDEV_DIR=self.testbed.get_root_dir())
        os.mkdir(self.env["XDG_RUNTIME_DIR"], 0o700)
        # Tools other than the program see the real device tree.
        self.tools = {k: v for k, v in self.env.items() if k not in ("LD_PRELOAD", "UMOCKDEV_DIR")}
        self.log = open(self.root + "/vantorel.log", "w")
        self.program = self.wm = None

    def wait_until(self, what, check, timeout=20.0):
        """Polls `check`, serving the bus meanwhile, until it returns a true value; returns it."""
        deadline, last = time.monotonic() + timeout, None
        while time.monotonic() < deadline:
            while GLib.MainContext.default().iteration(False):
                pass
            try:
                if last := check():
                    return last
            except (dbus.DBusException, OSError, ValueError) as error:
                last = error
            time.sleep(0.02)
        raise AssertionError(f"timed out waiting for {what}; last seen: {last!r}")

    def tool(self, *argv):
        return subprocess.run(argv, env=self.tools, capture_output=True, text=True).stdout

    def start_window_manager(self):
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.tools,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wait_until("the window manager", lambda: "window id" in self.tool(
            "xprop", "-root", "_NET_SUPPORTING_WM_CHECK"))

    def start_program(self, **env):
        """Starts the program with `env` added; returns its status item once it has registered,
        or nothing when `env` sets the display."""
        self.watcher.items.clear()
        self.program = subprocess.Popen([self.bundle + "/bin/vantorel"], env=dict(self.env, **env),
                                        stdout=self.log, stderr=self.log, stdin=subprocess.DEVNULL)
        if "DISPLAY" not in env:
            return Item(self.bus, *self.wait_until("the item", lambda: self.watcher.items)[-1])

    def wait_for_exit(self):
        return self.wait_until("the program's exit", lambda: self.program.poll() is not None
                               and [self.program.returncode])[0]

    def program_log(self):
        return open(self.log.name).read()

    def close(self):
        for process in (self.program, self.wm):
            if process and process.poll() is None:
                process.terminate()
                process.wait(timeout=10)
        shutil.rmtree(self.root, ignore_errors=True)

    def write_attention(self, content):
        """Replaces the attention file at once, as the flashing tool does."""
        with open(self.root + "/work/attention.tmp", "w") as out:
            json.dump(content, out)
        os.rename(out.name, self.root + "/work/board-flash-attention.json")

    def preferences(self):
        with open(self.root + "/.config/vantorel/preferences.json") as stored:
            return json.load(stored)

    def add_usb_device(self, name, vendor, product, product_name):
        attributes = ["idVendor", vendor, "idProduct", product, "product", product_name]
        return self.testbed.add_device("usb", name, None, attributes, ["DEVTYPE", "usb_device"])

    def visible_window(self, title):
        """The id of the visible window with exactly this title, or None."""
        ids = self.tool("xdotool", "search", "--onlyvisible", "--name", f"^{title}$").split()
        return int(ids[0]) if ids else None

    def geometry(self, window):
        """(x, y, width, height) of a window's content (or "root") in root coordinates."""
        info = self.tool("xwininfo", *(["-root"] if window == "root" else ["-id", str(window)]))
        return tuple(int(info.split(label + ":")[1].split()[0]) for label in (
            "Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def grab(self, window, output, *options):
        """Writes a window, as `options` crop or frame it, to `output`; returns standard output."""
        return self.tool("import", "-window", str(window), *options, "-depth", "8", output)
