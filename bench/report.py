"""Writes the figures of one run of bench.py as the Markdown page docs/benchmarks.md, and prints
its table. Every figure stands beside its floor's, with the ratio to the floor after it."""

import os, platform, statistics, time


def pct(values, p):
    return statistics.quantiles(values, n=100, method="inclusive")[p - 1]


def ratio(value, floor):
    if floor <= 0:
        return "–"
    return f"{value / floor:.2f}×" if value / floor < 10 else f"{value / floor:.0f}×"


def latency_cell(values, floor):
    """p50 / p99 in ms, each with its ratio to the bare floor's."""
    p50, p99 = pct(values, 50), pct(values, 99)
    return (f"{p50:.2f} / {p99:.2f} ({ratio(p50, pct(floor, 50))} / "
            f"{ratio(p99, pct(floor, 99))})")


def usb_rows(names, figures):
    rows = []
    for others, (reactions, waits) in figures["usb"].items():
        floor = reactions["floor"]
        for front, reaction in (("desktop", "event → label"), ("terminal", "event → line")):
            rows.append([f"{reaction}, {front}, {others} others, p50 / p99 (ms)"] +
                        [latency_cell(reactions[f"{name}, {front}"], floor) for name in names] +
                        [latency_cell(floor, floor), latency_cell(reactions["floor enumerating"],
                                                                  floor),
                         latency_cell(reactions["bare indicator"], floor)
                         if front == "desktop" else ""])
        rows.append([f"`wait` arrival → exit, {others} others, p50 / p99 (ms)"] +
                    [latency_cell(waits[f"{name}, wait"], waits["floor, wait"]) for name in names] +
                    [latency_cell(waits["floor, wait"], waits["floor, wait"]), "", ""])
    return rows


def single_rows(names, figures):
    starts, floor_start = figures["starts"], statistics.median(figures["starts"]["floor"])
    rss, bare = figures["desktop rss"], figures["desktop rss"]["bare GTK + indicator"]
    trss, floor_rss = figures["terminal rss"], figures["terminal rss"]["floor"]
    cpu, bare_cpu = figures["idle cpu"], figures["idle cpu"]["bare GTK + indicator"]

    def median_cell(values):
        return f"{statistics.median(values):.2f} ({ratio(statistics.median(values), floor_start)})"

    return [
        ["terminal exec → first title line, median (ms)"] +
        [median_cell(starts[f"{name}, terminal"]) for name in names] +
        [median_cell(starts["floor"]), "", ""],
        ["desktop VmRSS, item shown (MiB)"] +
        [f"{rss[f'{name}, desktop'] / 1024:.1f} ({ratio(rss[f'{name}, desktop'], bare)})"
         for name in names] + ["", "", f"{bare / 1024:.1f} (1.00×)"],
        ["terminal VmRSS a second after the first line (MiB)"] +
        [f"{trss[f'{name}, terminal'] / 1024:.2f} ({ratio(trss[f'{name}, terminal'], floor_rss)})"
         for name in names] + [f"{floor_rss / 1024:.2f} (1.00×)", "", ""],
        ["desktop CPU while idle (%)"] +
        [f"{cpu[f'{name}, desktop']:.3f}" for name in names] + ["", "", f"{bare_cpu:.3f}"],
    ]


def table(names, figures):
    head = ["Measure"] + names + ["Floor", "Floor enumerating on each event",
                                  "Bare GTK 3 + indicator"]
    rows = single_rows(names, figures) + usb_rows(names, figures)
    lines = ["| " + " | ".join(head) + " |", "|" + "---|" * len(head)]
    return lines + ["| " + " | ".join(row) + " |" for row in rows]


PROSE = """# Benchmarks

Figures from one run of `scripts/bench-all.sh`, which writes this page. Nothing is asserted on
them; they show where the program stands against the least a program can do. Builds named on its
command line are measured side by side in the same run, for example the build before a change
beside the build after it: `scripts/bench-all.sh build before=/tmp/old/Vantorel after=build/Vantorel`.

- **Floors.** `bench/floor.c` is a libudev monitor on a GLib main loop that prints each USB event
  ("ready" once it listens); run with `--enumerate` it also enumerates every USB device and reads
  the four attributes the program reads, on each event; with `--once` it reads the first
  arrival's ids, prints them and returns from `main` (the floor of `vantorel wait`). `bench/bare_indicator.c` is a bare GTK 3 process that
  shows an Ayatana indicator with a label and a menu, with the same `GDK_GL=disable` as the
  program: the floor of the desktop program's memory and idle CPU; run with `--usb` it also sets
  its label on each USB arrival and removal (what the session bus path alone costs). Memory and
  idle CPU of the desktop program are set against it; every other ratio is to the bare floor.
- **Clock.** A USB reaction is timed from the event itself: a third listener on the same
  simulated bus (`floor --stamp`) gives the time each uevent was queued on its socket (the
  kernel's receive timestamp, set as the sender hands the event to every listener, so the
  listener's own wake-up is not subtracted from the figures), and the reaction is when the
  driver saw the new line on the process's pseudo-terminal or the indicator's new label on the
  session bus (`XAyatanaNewLabel`); the floors' lines are read the same way. A label travels
  through GDBus's own thread and the bus daemon, so the bare indicator's column shows what that
  path alone costs. `wait` is timed from that stamp to the process's exit, as a thread blocked
  in `waitpid` sees it. Start-up is timed from just before `exec` to the first title line on the
  terminal (the floor: "ready").
- **Setting.** A simulated USB tree (umockdev) with {others} other devices attached beside
  the board (an RP2350 in bootloader, plugged and unplugged each round); a virtual X display and
  a session bus with a status-area watcher. The programs' and the floors' rounds are interleaved
  in blocks, in one run, so that the machine's load weighs on all alike. Idle CPU is read in
  nanoseconds from `/proc/<pid>/task/*/schedstat`.
- **Cells.** Each figure has its ratio to the bare floor's same figure after it (p50 to p50,
  p99 to p99).

Where the time goes after an arrival (callgrind and `strace -r -f`, 20 others, terminal): the
program runs about 105,000 instructions from its wake-up to the line: libudev's receive 23,000
(the floor's too), reading the new device's four attributes 26,000, the device list and the
classification 6,000, the title and the screen 26,000; its system calls are the receive, four
attribute reads through libudev (lstat, open, fstat, read and close each), one more main-loop
turn to the screen's write (poll and the wake-up descriptor's read), the terminal's size and one
write. `vantorel wait` runs about 148,000 instructions from the arrival to its exit, 96,000 of
them freeing the command line's parser; ending the process right after its output instead moved
the measured p50 by 0.01 ms (0.63 → 0.62 ms in 30 rounds), so that teardown is not where its time
goes: the process's exit and reaping are, and they are the floor's too. On the desktop, the title,
icons and menu set in the same turn as the label held the label's message back by about 0.2 ms
on this machine (measured by leaving them out); they now follow once the loop is idle.

Targets, shown and not asserted: event → label (desktop, 20 others) p50 ≤ 2× the bare floor's
and p99 ≤ 5 ms; event → line (terminal, 20 others) p50 ≤ 2× the bare floor's; event → label with
1,000 others p50 ≤ 5 ms; terminal exec → first title line ≤ 2× the floor; `wait` arrival → exit
≤ 2× its floor; desktop VmRSS ≤ 1.1× the bare GTK 3 + indicator process.
"""


def notes(names, figures):
    """One sentence for each target the last build named misses, with the figures that say why."""
    name, said = names[-1], []
    if 20 not in figures["usb"]:
        return said
    reactions, waits = figures["usb"][20]
    floor = pct(reactions["floor"], 50)
    desktop, bare = pct(reactions[f"{name}, desktop"], 50), pct(reactions["bare indicator"], 50)
    if desktop > 2 * floor and bare <= 2 * floor:
        said.append(f"Event → label (desktop, 20 others) misses its target though the bare GTK 3 + "
                    f"indicator meets it ({bare:.2f} ms): {name} takes {ratio(desktop, bare)} "
                    f"the bare indicator's time.")
    elif desktop > 2 * floor:
        said.append(f"Event → label (desktop, 20 others) misses its target: the bare GTK 3 + "
                    f"indicator, which does nothing but set its label, takes {bare:.2f} ms "
                    f"({ratio(bare, floor)} the floor's {floor:.2f} ms) on the session bus path "
                    f"alone, and {name} takes {ratio(desktop, bare)} that.")
    terminal = pct(reactions[f"{name}, terminal"], 50)
    if terminal > 2 * floor:
        said.append(f"Event → line (terminal, 20 others) misses its target by "
                    f"{terminal - 2 * floor:.2f} ms: beyond the floor's receive and write, the "
                    f"program reads the new device's four attributes and draws its title (above).")
    wait, floor_wait = pct(waits[f"{name}, wait"], 50), pct(waits["floor, wait"], 50)
    if wait > 2 * floor_wait:
        said.append(f"`wait` (20 others) misses its target by {wait - 2 * floor_wait:.2f} ms; "
                    f"its work after the arrival is measured above.")
    return said


def write_report(output, names, figures, loads, counts):
    lines = table(names, figures)
    print("\n".join(lines))
    header = (f"Run of {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())} on "
              f"{os.cpu_count()} CPUs ({platform.release()}); {counts['rounds']} rounds per "
              f"reaction figure, {counts['waits']} per `wait` figure, {counts['starts']} starts, "
              f"{counts['idle']:.0f} s idle. Load average (1 min) during the run: "
              f"{min(loads):.2f} to {max(loads):.2f}, mean {statistics.mean(loads):.2f} "
              f"({len(loads)} samples).")
    with open(output, "w") as page:
        others = ", ".join(str(n) for n in counts["others"])
        said = notes(names, figures)
        page.write(PROSE.format(others=others) + "\n" + header + "\n\n" + "\n".join(lines)
                   + "\n" + ("\n" + " ".join(said) + "\n" if said else ""))
