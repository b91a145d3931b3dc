"""The processes the benchmarks measure and the clock they are measured by.

Every USB reaction is timed from the event itself: `Stamper` is a listener on the same simulated
bus (floor --stamp) that prints the CLOCK_MONOTONIC time at which each event was queued on its
socket (the kernel's timestamp, not its own wake-up, which varies with the load), and the
reaction is the moment this process saw the reacting process's output (a line on its terminal, a
label on the session bus), on the same clock (time.monotonic)."""

import fcntl, os, re, select, struct, subprocess, termios, time

import dbus

ITEM = "org.kde.StatusNotifierItem"
BOARD = ["idVendor", "2e8a", "idProduct", "000f", "product", "RP2350 Boot"]
USB_DEVICE = ["DEVTYPE", "usb_device"]


def lines(path):
    with open(path) as text:
        return text.read().splitlines()


def vm_rss_kib(pid):
    return next(int(line.split()[1]) for line in lines(f"/proc/{pid}/status")
                if line.startswith("VmRSS:"))


def cpu_ns(pid):
    """CPU time all threads of the process have used, in nanoseconds (not in clock ticks)."""
    return sum(int(lines(f"/proc/{pid}/task/{task}/schedstat")[0].split()[0])
               for task in os.listdir(f"/proc/{pid}/task"))


def wait_idle(pid, quiet=0.03, timeout=30):
    """Returns once the process has used no CPU for `quiet` seconds: its start is over."""
    deadline, last = time.monotonic() + timeout, cpu_ns(pid)
    while time.monotonic() < deadline:
        time.sleep(quiet)
        if (now := cpu_ns(pid)) == last:
            return
        last = now
    raise RuntimeError(f"process {pid} never went idle")


def event_sockets(testbed):
    """The simulated event sockets that exist now, one per listening monitor, with their inodes."""
    root = testbed.get_root_dir()
    return {(name, os.stat(os.path.join(root, name)).st_ino) for name in os.listdir(root)
            if name.startswith("event")}


class Stamper:
    """The benchmarks' clock: when each event reached a listener on the same bus."""

    def __init__(self, floor, env):
        self.process = subprocess.Popen([floor, "--stamp"], env=env, stdout=subprocess.PIPE)
        if self.process.stdout.readline().strip() != b"ready":
            raise RuntimeError("the stamping listener did not start")

    def stamp(self, action):
        while True:
            if not select.select([self.process.stdout], [], [], 10)[0]:
                raise RuntimeError(f"no {action!r} event reached the stamping listener")
            taken, at = self.process.stdout.readline().decode().split()
            if taken == action:
                return float(at)

    def close(self):
        self.process.terminate()
        self.process.wait(10)


class OnTerminal:
    """A program alone on a fresh 100-column pseudo-terminal that is its controlling terminal,
    with `reactions` mapping "ready", "add" and "remove" to what it prints for each."""

    def __init__(self, argv, env, reactions):
        self.reactions, self.output = reactions, b""
        self.master, slave = os.openpty()
        fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 40, 100, 0, 0))
        stamps, stamp = os.pipe()
        # The child stamps the time just before it execs: the fork is not counted.
        self.process = subprocess.Popen(
            argv, env=env, stdin=slave, stdout=slave, stderr=slave,
            preexec_fn=lambda: (os.setsid(), fcntl.ioctl(0, termios.TIOCSCTTY),
                                os.write(stamp, struct.pack("d", time.monotonic()))))
        os.close(slave), os.close(stamp)
        self.started = struct.unpack("d", os.read(stamps, 8))[0]
        os.close(stamps)
        self.pid = self.process.pid

    def wait(self, what):
        """When the reaction to `what` reached the terminal (the read that completed it)."""
        pattern = self.reactions[what]
        while not (found := re.search(pattern, self.output)):
            if not select.select([self.master], [], [], 10)[0]:
                raise RuntimeError(f"no {pattern!r} in {self.output[-300:]!r}")
            self.output, self.read_at = self.output + os.read(self.master, 65536), time.monotonic()
        self.output = self.output[found.end():]
        return self.read_at

    def close(self):
        self.process.terminate()
        self.process.wait(10)
        os.close(self.master)


class OnDesktop:
    """The program's desktop front end; its reaction is the indicator's new label as a status
    area host receives it on the session bus."""

    def __init__(self, session, argv, labels):
        session.watcher.items.clear()
        self.session, self.labels, self.seen = session, labels, []
        self.process = subprocess.Popen(argv, env=session.env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.pid = self.process.pid
        name, self.path = session.wait_until("the item", lambda: session.watcher.items)[-1]
        self.receiver = session.bus.add_signal_receiver(
            lambda label, guide: self.seen.append((time.monotonic(), str(label))),
            signal_name="XAyatanaNewLabel", dbus_interface=ITEM, path=self.path, bus_name=name)
        item = session.bus.get_object(name, self.path)
        session.wait_until("the first label", lambda: item.Get(
            ITEM, "XAyatanaLabel", dbus_interface=dbus.PROPERTIES_IFACE) == labels["ready"])

    def wait(self, what):
        from gi.repository import GLib
        context, deadline = GLib.MainContext.default(), time.monotonic() + 10
        while time.monotonic() < deadline:
            while self.seen:
                at, label = self.seen.pop(0)
                if label == self.labels[what]:
                    return at
            context.iteration(False) or time.sleep(0.0001)
        raise RuntimeError(f"no label {self.labels[what]!r}")

    def close(self):
        self.receiver.remove()
        self.process.terminate()
        self.process.wait(10)
