#!/usr/bin/python3
"""Every benchmark of the program, each beside its floor, in one run, written as a Markdown table.

Runs on a private virtual display and session bus (tests/e2e/run-on-desktop.sh) under
umockdev-wrapper: this process owns the simulated USB tree that every measured process inherits.
The programs measured are given as NAME=BUNDLE (for example the build before and after a change);
their rounds are interleaved with the floors' in every section, so that the machine's load weighs
on all alike. Nothing here passes or fails on a figure.

Usage: bench.py <floor> <bare_indicator> <output.md> NAME=BUNDLE [NAME=BUNDLE...]
Environment: ROUNDS (per block, default 10), BLOCKS (default 4), STARTS (default 30),
WAITS (default 20), IDLE_SECONDS (default 10), OTHERS (default "0 20 200 1000")."""

import os, statistics, subprocess, sys, threading, time

from desktop_session import Session
from reactors import (BOARD, USB_DEVICE, OnDesktop, OnTerminal, Stamper, cpu_ns, event_sockets,
                      vm_rss_kib, wait_idle)
from report import write_report

ROUNDS, BLOCKS = int(os.environ.get("ROUNDS", "10")), int(os.environ.get("BLOCKS", "4"))
STARTS, WAITS = int(os.environ.get("STARTS", "30")), int(os.environ.get("WAITS", "20"))
IDLE_SECONDS = float(os.environ.get("IDLE_SECONDS", "10"))
OTHERS = [int(n) for n in os.environ.get("OTHERS", "0 20 200 1000").split()]
TITLE = rb"Want (C6|RP) (boot|normal) \| Have [^\r\n\x1b]+"
LABELS = {"ready": "Want C6 boot | Have none", "add": "Want C6 boot | Have RP likely boot",
          "remove": "Want C6 boot | Have none"}
TERMINAL = {"ready": rb"Have none", "add": rb"Have RP likely boot", "remove": rb"Have none"}
FLOOR = {"ready": rb"ready\r\n", "add": rb"add \S+\r\n", "remove": rb"remove \S+\r\n"}


class Load:
    """The 1-minute load average, sampled at each section."""

    def __init__(self):
        self.samples = []
        self.sample()

    def sample(self):
        self.samples.append(float(open("/proc/loadavg").read().split()[0]))


def reaction_rounds(session, stamper, reactor, samples):
    for _ in range(ROUNDS):
        board = session.testbed.add_device("usb", "bench", None, BOARD, USB_DEVICE)
        reacted = reactor.wait("add")
        samples.append((reacted - stamper.stamp("add")) * 1000)
        session.testbed.uevent(board, "remove")  # the folder goes after the reaction
        reactor.wait("remove")
        stamper.stamp("remove")
        session.testbed.remove_device(board)


def wait_round(session, stamper, argv, env):
    """ms from the board's arrival to the exit of a process that waits for it."""
    before = event_sockets(session.testbed)
    process = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL)
    deadline = time.monotonic() + 10
    while not event_sockets(session.testbed) - before and time.monotonic() < deadline:
        time.sleep(0.0005)
    wait_idle(process.pid)
    # Reaped by a thread blocked in waitpid, which stamps the exit as it returns: a wait with a
    # timeout polls with sleeps that grow from 0.5 to 50 ms, and add_device() itself takes a
    # millisecond or more after the event is sent; either would be counted as the process's.
    reaped = []
    reaper = threading.Thread(target=lambda: reaped.append((process.wait(), time.monotonic())))
    reaper.start()
    board = session.testbed.add_device("usb", "bench", None, BOARD, USB_DEVICE)
    reaper.join(10)
    if not reaped:
        process.kill()
        reaper.join()
        raise RuntimeError(f"{argv} did not exit on the arrival")
    status, exited = reaped[0]
    arrived = stamper.stamp("add")
    session.testbed.uevent(board, "remove")
    stamper.stamp("remove")
    session.testbed.remove_device(board)
    if status != 0:
        raise RuntimeError(f"{argv} exited with {status}")
    return (exited - arrived) * 1000


def usb_section(session, programs, floor, bare, load):
    """Event to reaction and `wait` arrival to exit with `others` unrelated devices attached."""
    terminal_env = {k: v for k, v in session.env.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    terminal_env["TERM"] = "xterm-256color"
    reactors = {}
    for name, bundle in programs:
        program = bundle + "/bin/vantorel"
        reactors[f"{name}, desktop"] = lambda p=program: OnDesktop(session, [p], LABELS)
        reactors[f"{name}, terminal"] = lambda p=program: OnTerminal([p], terminal_env, TERMINAL)
    reactors["floor"] = lambda: OnTerminal([floor], terminal_env, FLOOR)
    reactors["bare indicator"] = lambda: OnDesktop(session, [bare, "--usb"], LABELS)
    reactors["floor enumerating"] = lambda: OnTerminal([floor, "--enumerate"], terminal_env, FLOOR)
    reactions = {name: [] for name in reactors}
    waiters = {f"{name}, wait": [bundle + "/bin/vantorel", "wait", "RP likely boot", "--timeout",
                                  "10"] for name, bundle in programs}
    waiters["floor, wait"] = [floor, "--once"]
    waits = {name: [] for name in waiters}
    stamper = Stamper(floor, terminal_env)
    try:
        for _ in range(BLOCKS):
            for name, make in reactors.items():
                reactor = make()
                try:
                    wait_idle(reactor.pid)  # done starting: each round times a reaction alone
                    reaction_rounds(session, stamper, reactor, reactions[name])
                finally:
                    reactor.close()
            load.sample()
        for _ in range(WAITS):
            for name, argv in waiters.items():
                waits[name].append(wait_round(session, stamper, argv, terminal_env))
        load.sample()
    finally:
        stamper.close()
    return reactions, waits


def attach_others(session, attached, wanted):
    for number in range(attached, wanted):
        session.testbed.add_device("usb", f"other{number}", None, [
            "idVendor", "046d", "idProduct", f"{number % 65536:04x}", "product",
            f"Receiver {number}", "serial", f"SN{number}"], USB_DEVICE)


def start_section(programs, floor, env):
    """ms from exec to the first title line (the floor: "ready"), starts interleaved; the
    terminal program's resident memory a second after the last start."""
    argvs = {f"{name}, terminal": (bundle + "/bin/vantorel", TITLE) for name, bundle in programs}
    argvs["floor"] = (floor, rb"ready\r\n")
    starts, rss = {name: [] for name in argvs}, {}
    for number in range(STARTS):
        for name, (argv, first_line) in argvs.items():
            program = OnTerminal([argv], env, {"first": first_line})
            try:
                starts[name].append((program.wait("first") - program.started) * 1000)
                if number == STARTS - 1:
                    time.sleep(1)
                    rss[name] = vm_rss_kib(program.pid)
            finally:
                program.close()
    return starts, rss


def desktop_idle_section(session, programs, bare):
    """Resident memory with the item shown, and CPU while idle, all side by side at once."""
    running = {f"{name}, desktop": OnDesktop(session, [bundle + "/bin/vantorel"], LABELS)
               for name, bundle in programs}
    indicator = subprocess.Popen([bare], env=session.env, stdout=subprocess.PIPE)
    try:
        session.watcher.items.clear()
        if indicator.stdout.readline().strip() != b"ready":
            raise RuntimeError("the bare indicator did not start")
        session.wait_until("the bare indicator's item", lambda: session.watcher.items)
        pids = {name: process.pid for name, process in running.items()}
        pids["bare GTK + indicator"] = indicator.pid
        time.sleep(1)
        rss = {name: vm_rss_kib(pid) for name, pid in pids.items()}
        before, started = {name: cpu_ns(pid) for name, pid in pids.items()}, time.monotonic()
        session.wait_until("the idle period", lambda: time.monotonic() - started >= IDLE_SECONDS,
                           timeout=IDLE_SECONDS + 5)
        elapsed = time.monotonic() - started
        cpu = {name: (cpu_ns(pid) - before[name]) / 1e9 / elapsed * 100 for name, pid in
               pids.items()}
        return rss, cpu
    finally:
        for process in running.values():
            process.close()
        indicator.terminate()
        indicator.wait(10)


def main():
    floor, bare, output = sys.argv[1:4]
    programs = [argument.split("=", 1) for argument in sys.argv[4:]]
    load, session = Load(), Session(programs[0][1])
    figures = {"usb": {}}
    try:
        terminal_env = {k: v for k, v in session.env.items()
                        if k not in ("DISPLAY", "WAYLAND_DISPLAY", "LD_PRELOAD", "UMOCKDEV_DIR")}
        terminal_env["TERM"] = "xterm-256color"
        figures["starts"], figures["terminal rss"] = start_section(programs, floor, terminal_env)
        load.sample()
        figures["desktop rss"], figures["idle cpu"] = desktop_idle_section(session, programs, bare)
        load.sample()
        attached = 0
        for others in OTHERS:
            attach_others(session, attached, others)
            attached = others
            figures["usb"][others] = usb_section(session, programs, floor, bare, load)
            print(f"{others} others done", file=sys.stderr)
    finally:
        session.close()
    load.sample()
    write_report(output, [name for name, _ in programs], figures, load.samples,
                 dict(rounds=ROUNDS * BLOCKS, starts=STARTS, waits=WAITS, idle=IDLE_SECONDS,
                      others=OTHERS))


if __name__ == "__main__":
    main()
