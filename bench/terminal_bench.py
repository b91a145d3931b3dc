#!/usr/bin/python3
"""Figures for the terminal front end beside the floor (bench/floor.c), each alone on a fresh
pseudo-terminal that is its controlling terminal, with no display. Runs under umockdev-wrapper
and owns the simulated device tree; memory and start-up are taken outside it (no preload), as a
user runs the program. Usage: terminal_bench.py <bin/vantorel> <floor>"""

import fcntl, glob, os, re, select, statistics, struct, subprocess, sys, tempfile, termios, time

import gi

gi.require_version("UMockdev", "1.0")
from gi.repository import UMockdev  # noqa: E402

STARTS, ROUNDS = int(os.environ.get("STARTS", "30")), int(os.environ.get("ROUNDS", "40"))
TITLE = rb"Want (C6|RP) (boot|normal) \| Have [^\r\n\x1b]+"


def lines(path):
    with open(path) as text:
        return text.read().splitlines()


def cpu_ms(pid):
    """The CPU time all of the process's threads have used so far."""
    return sum(int(lines(task)[0].split()[0])
               for task in glob.glob(f"/proc/{pid}/task/*/schedstat")) / 1e6


class OnTerminal:
    """A program alone on a fresh 100-column pseudo-terminal, in front of it."""

    def __init__(self, argv, env):
        self.master, slave = os.openpty()
        fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 40, 100, 0, 0))
        stamps, stamp = os.pipe()
        # The child stamps the time and its CPU just before it execs: the fork is not counted.
        self.process = subprocess.Popen(
            argv, env=env, stdin=slave, stdout=slave, stderr=slave,
            preexec_fn=lambda: (os.setsid(), fcntl.ioctl(0, termios.TIOCSCTTY), os.write(
                stamp, struct.pack("dd", time.monotonic(), cpu_ms("self")))))
        os.close(slave), os.close(stamp)
        self.output, (self.started, self.cpu) = b"", struct.unpack("dd", os.read(stamps, 16))
        self.pid = self.process.pid
        os.close(stamps)

    def wait_for(self, pattern):
        """When `pattern` reached the terminal since the last match (the read that completed it)."""
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


def start_figures(programs, env):
    """Per (program, first line): ms and CPU ms from exec to the first line, each start; KiB
    resident and the libraries mapped a second after the last. The programs start in turn, so
    that the machine's load weighs on each alike."""
    figures = {argv: ([], []) for argv, _ in programs}
    for number in range(STARTS):
        for argv, first_line in programs:
            program, (times, cpu) = OnTerminal([argv], env), figures[argv][:2]
            times.append((program.wait_for(first_line) - program.started) * 1000)
            cpu.append(cpu_ms(program.pid) - program.cpu)
            if number == STARTS - 1:
                time.sleep(1)
                proc = f"/proc/{program.pid}/"
                rss = next(int(line.split()[1]) for line in lines(proc + "status")
                           if line.startswith("VmRSS:"))
                figures[argv] += (rss, {line.split()[-1] for line in lines(proc + "maps")
                                        if re.search(r"\.so(\.\d+)*$", line)})
            program.close()
    return [figures[argv] for argv, _ in programs]


def plug_figures(testbed, argv, env, first_line, arrived, removed):
    """ms from each simulated RP2350 bootloader arrival to the line that shows it."""
    program, times = OnTerminal([argv], env), []
    try:
        program.wait_for(first_line)
        for number in range(ROUNDS):
            start = time.monotonic()
            board = testbed.add_device("usb", f"bench{number}", None, [
                "idVendor", "2e8a", "idProduct", "000f", "product", "RP2350 Boot"],
                ["DEVTYPE", "usb_device"])
            times.append((program.wait_for(arrived) - start) * 1000)
            testbed.uevent(board, "remove")
            program.wait_for(removed)
            testbed.remove_device(board)
    finally:
        program.close()
    return times


def p(values, n):
    return statistics.quantiles(values, n=100, method="inclusive")[n - 1]


def main():
    vantorel, floor = sys.argv[1:3]
    home, testbed = tempfile.TemporaryDirectory(), UMockdev.Testbed.new()
    plain = {k: v for k, v in os.environ.items() if not k.startswith("XDG_") and k not in (
        "DISPLAY", "WAYLAND_DISPLAY", "LD_PRELOAD", "UMOCKDEV_DIR")}
    plain.update(HOME=home.name, XDG_RUNTIME_DIR=home.name, TERM="xterm-256color")
    simulated = dict(plain, LD_PRELOAD=os.environ.get("LD_PRELOAD", ""),
                     UMOCKDEV_DIR=testbed.get_root_dir())
    ours, base = start_figures([(vantorel, TITLE), (floor, rb"ready\r\n")], plain)
    # One after the other: two listeners in one testbed would take each other's events.
    ours += (plug_figures(testbed, vantorel, simulated, b"Have none", b"Have RP likely boot",
                          b"Have none"),)
    base += (plug_figures(testbed, floor, simulated, rb"ready\r\n", rb"add \S+\r\n",
                          rb"remove \S+\r\n"),)
    rows = [("VmRSS a second after the first line (MiB)", lambda f: f"{f[2] / 1024:.2f}"),
            ("Shared libraries mapped", lambda f: len(f[3])),
            (f"Exec to first line, median of {STARTS} (ms)", lambda f: f"{p(f[0], 50):.2f}"),
            ("CPU from exec to first line, median (ms)", lambda f: f"{p(f[1], 50):.2f}"),
            (f"RP2350 arrival to line, p50 of {ROUNDS} (ms)", lambda f: f"{p(f[4], 50):.2f}"),
            (f"RP2350 arrival to line, p99 of {ROUNDS} (ms)", lambda f: f"{p(f[4], 99):.2f}")]
    print("No display. First line: the title for vantorel, \"ready\" for the floor; an arrival's "
          "line: \"… | Have RP likely boot\" for vantorel, \"add …\" for the floor")
    print(f"{'':46}{'vantorel':>10}{'floor':>10}")
    for title, figure in rows:
        print(f"{title:46}{figure(ours):>10}{figure(base):>10}")
    print("Mapped by vantorel only:", *sorted(os.path.basename(n) for n in ours[3] - base[3]))
    desktop = [n for n in ours[3] if re.search(r"gtk|gdk|indicator", n)]
    ratio = p(ours[0], 50) / p(base[0], 50)
    print(f"Targets: VmRSS <= 6 MiB with neither GTK nor the indicator mapped "
          f"{'met' if ours[2] <= 6144 and not desktop else 'missed'}; exec to first line <= 2x "
          f"the floor's {'met' if ratio <= 2 else 'missed'} ({ratio:.1f}x); arrival p50 <= 2 ms "
          f"{'met' if p(ours[4], 50) <= 2 else 'missed'}")


if __name__ == "__main__":
    main()
