"""The desktop the real program runs in during a test: a window manager on the display that the
caller started, a StatusNotifierWatcher on the session bus, a private home, a copy of the bundle
with its own attention file, and a simulated USB device tree.

Run it under `run-on-desktop.sh umockdev-wrapper /usr/bin/python3 ...`: the X server and the
session bus come from outside, and the USB testbed is created here, before the program starts,
so that the program inherits it."""

import json
import os
import shutil
import signal
import subprocess
import tempfile
import time

import dbus
import dbus.mainloop.glib
import dbus.service
import gi

gi.require_version("UMockdev", "1.0")
from gi.repository import GLib, UMockdev  # noqa: E402

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"
PROPERTIES = "org.freedesktop.DBus.Properties"


class Watcher(dbus.service.Object):
    """A status area host's watcher: records which item registered, from which bus name."""

    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.owned_name = dbus.service.BusName(WATCHER, bus)  # held for the object's life
        self.items = []  # (bus name, object path), newest last

    @dbus.service.method(WATCHER, in_signature="s", out_signature="", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        path = service if service.startswith("/") else "/StatusNotifierItem"
        name = sender if service.startswith("/") else service
        self.items.append((str(name), str(path)))
        self.StatusNotifierItemRegistered(name + path)

    @dbus.service.method(WATCHER, in_signature="s", out_signature="")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, item):
        pass

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, prop):
        return self.GetAll(interface)[prop]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(
                [n + p for n, p in self.items], signature="s"),
            "IsStatusNotifierHostRegistered": True,
            "ProtocolVersion": dbus.Int32(0),
        }


class Item:
    """One registered status item, read and clicked the way a status area host does it."""

    def __init__(self, bus, name, path):
        self.bus, self.name, self.path = bus, name, path
        self._props = dbus.Interface(bus.get_object(name, path), PROPERTIES)

    def prop(self, key):
        value = self._props.Get(ITEM, key)
        return str(value) if isinstance(value, (dbus.String, dbus.ObjectPath)) else value

    def _menu(self):
        return dbus.Interface(self.bus.get_object(self.name, self.prop("Menu")), MENU)

    def entries(self):
        """The top-level menu entries as dicts: id, label, type, enabled, toggle, state, shortcut."""
        _, (_, _, children) = self._menu().GetLayout(0, -1, [])
        entries = []
        for child in children:
            ident, props, _ = child
            entries.append({
                "id": int(ident),
                "label": str(props.get("label", "")),
                "type": str(props.get("type", "standard")),
                "enabled": bool(props.get("enabled", True)),
                "visible": bool(props.get("visible", True)),
                "toggle": str(props.get("toggle-type", "")),
                "state": int(props.get("toggle-state", -1)),
                "shortcut": [[str(k) for k in keys] for keys in props.get("shortcut", [])],
            })
        return entries

    def click(self, label):
        """Clicks the entry titled `label`. An entry that ends the program may end it before the
        reply is sent, so the reply is not waited for."""
        ident = next(e["id"] for e in self.entries() if e["label"] == label)
        self._menu().Event(ident, "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0),
                           reply_handler=lambda: None, error_handler=lambda error: None)


class Session:
    """Everything one test run needs around the program; close() always cleans it up."""

    def __init__(self, bundle):
        dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
        self.bus = dbus.SessionBus()
        self.watcher = Watcher(self.bus)
        self.testbed = UMockdev.Testbed.new()
        self.root = tempfile.mkdtemp(prefix="vantorel-desktop-")
        # A copy of the bundle at <root>/build/Vantorel: the attention file beside it is then
        # <root>/work/board-flash-attention.json, which no other run can touch.
        self.bundle = os.path.join(self.root, "build", "Vantorel")
        shutil.copytree(bundle, self.bundle)
        self.attention = os.path.join(self.root, "work", "board-flash-attention.json")
        os.makedirs(os.path.dirname(self.attention))
        self.write_attention({})
        home = os.path.join(self.root, "home")
        # The testbed sets UMOCKDEV_DIR in the C environment only; children need it passed on.
        self.env = dict(os.environ, HOME=home, NO_AT_BRIDGE="1",
                        UMOCKDEV_DIR=self.testbed.get_root_dir(),
                        XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                        XDG_CACHE_HOME=os.path.join(home, ".cache"),
                        XDG_RUNTIME_DIR=os.path.join(self.root, "runtime"))
        for key in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"):
            os.makedirs(self.env[key], mode=0o700)
        # Tools other than the program see the real device tree.
        self.tool_env = {k: v for k, v in self.env.items()
                         if k not in ("LD_PRELOAD", "UMOCKDEV_DIR")}
        self.program = None
        self.log = open(os.path.join(self.root, "vantorel.log"), "w+")
        self.wm = None

    # -- waiting ------------------------------------------------------------------------------

    def pump(self):
        context = GLib.MainContext.default()
        while context.iteration(False):
            pass

    def wait_until(self, what, check, timeout=20.0):
        """Polls `check` (serving the bus meanwhile) until it returns a true value; returns it."""
        deadline = time.monotonic() + timeout
        last = None
        while True:
            self.pump()
            try:
                last = check()
                if last:
                    return last
            except dbus.DBusException as error:
                last = error
            if time.monotonic() > deadline:
                raise AssertionError(f"timed out waiting for {what}; last seen: {last!r}")
            time.sleep(0.02)

    # -- processes ----------------------------------------------------------------------------

    def tool(self, *argv, check=True):
        result = subprocess.run(argv, env=self.tool_env, capture_output=True, text=True,
                                timeout=30)
        if check and result.returncode != 0:
            raise AssertionError(f"{argv[0]} failed: {result.stderr.strip()}")
        return result

    def start_window_manager(self):
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.tool_env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wait_until("the window manager", lambda: "window id" in self.tool(
            "xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False).stdout)

    def start_program(self):
        """Starts the program and returns its status item once it has registered."""
        self.watcher.items.clear()
        self.program = subprocess.Popen([os.path.join(self.bundle, "bin", "vantorel")],
                                        env=self.env, stdout=self.log, stderr=self.log,
                                        stdin=subprocess.DEVNULL)
        name, path = self.wait_until("the status item to register",
                                     lambda: self.watcher.items and self.watcher.items[-1])
        return Item(self.bus, name, path)

    def wait_for_exit(self, timeout=20.0):
        self.wait_until("the program to exit", lambda: self.program.poll() is not None, timeout)
        return self.program.returncode

    def program_log(self):
        self.log.flush()
        self.log.seek(0)
        return self.log.read()

    def close(self):
        for process in (self.program, self.wm):
            if process and process.poll() is None:
                process.send_signal(signal.SIGTERM)
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        self.log.close()
        shutil.rmtree(self.root, ignore_errors=True)

    # -- the world the program watches ----------------------------------------------------------

    def write_attention(self, content):
        """Replaces the attention file at once, as the flashing tool does."""
        temporary = self.attention + ".tmp"
        with open(temporary, "w") as out:
            json.dump(content, out)
        os.rename(temporary, self.attention)

    def preferences(self):
        path = os.path.join(self.env["XDG_CONFIG_HOME"], "vantorel", "preferences.json")
        try:
            with open(path) as stored:
                return json.load(stored)
        except (OSError, ValueError):
            return None

    def add_usb_device(self, name, vendor, product, product_name, serial=""):
        attributes = ["idVendor", vendor, "idProduct", product, "product", product_name]
        if serial:
            attributes += ["serial", serial]
        return self.testbed.add_device("usb", name, None, attributes, ["DEVTYPE", "usb_device"])

    # -- windows ------------------------------------------------------------------------------

    def visible_window(self, title):
        """The id of the visible window with exactly this title, or None."""
        result = self.tool("xdotool", "search", "--onlyvisible", "--name", f"^{title}$",
                           check=False)
        ids = result.stdout.split()
        return int(ids[0]) if ids else None

    def geometry(self, window):
        """(x, y, width, height) of a window's content, in root coordinates."""
        where = ["-root"] if window == "root" else ["-id", str(window)]
        info = self.tool("xwininfo", *where).stdout
        field = lambda label: int(info.split(label + ":")[1].split()[0])  # noqa: E731
        return (field("Absolute upper-left X"), field("Absolute upper-left Y"),
                field("Width"), field("Height"))

    def frame_geometry(self, window):
        """(x, y, width, height) of the window with its title bar, as the window manager drew it."""
        tree = self.tool("xwininfo", "-children", "-id", str(window)).stdout
        parent = tree.split("Parent window id:")[1].split()[0]
        return self.geometry(int(parent, 16)) if parent != "0x0" else self.geometry(window)

    def window_states(self, window):
        return self.tool("xprop", "-id", str(window), "_NET_WM_STATE", check=False).stdout

    def click_in(self, window, x, y):
        """Clicks at (x, y) of a window's content; False when the window is already gone."""
        return self.tool("xdotool", "mousemove", "--window", str(window), "--sync", str(x),
                         str(y), "click", "1", check=False).returncode == 0

    def click_until_closed(self, window, title, x, y):
        """Clicks until the window titled `title` has left the screen: a click that arrives
        before the window takes input is lost, so it is repeated now and then."""
        last = [0.0]

        def closed():
            if self.visible_window(title) is None:
                return True
            if time.monotonic() - last[0] > 2.0:
                last[0] = time.monotonic()
                self.click_in(window, x, y)
            return False

        self.wait_until(f"{title!r} to close after a click", closed)

    def pixel(self, window, x, y):
        """The colour at (x, y) of a window's content, as "#RRGGBB"."""
        left, top, _, _ = self.geometry(window)
        text = self.tool("import", "-window", "root", "-crop", f"1x1+{left + x}+{top + y}",
                         "-depth", "8", "txt:-").stdout
        # A header line, then "0,0: (52,199,89)  #34C759  srgb(...)".
        return "#" + text.splitlines()[-1].split("#")[1][:6].upper()

    def screenshot(self, window, path):
        x, y, width, height = self.frame_geometry(window)
        self.tool("import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}", "+repage",
                  path)
