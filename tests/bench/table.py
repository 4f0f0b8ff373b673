#!/usr/bin/env python3
"""Prints the one table of scripts/bench from the two benchmarks' outputs.

Usage: table.py WIN_TSV CORE_CSV EXE_SIZE_BYTES

WIN_TSV holds bench.exe's lines (name, median, worst, unit, note); CORE_CSV is
Google Benchmark's CSV with every repetition. The goals of the issue are
checked against the figures they name, and a figure that misses one says so.
"""
import csv
import statistics
import sys

FRAME_MS = 1000 / 60


def read_win(path):
    rows = {}
    order = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if len(parts) != 5:
                continue
            name, median, worst, unit, note = parts
            rows[name] = (float(median), None if worst == "-" else float(worst), unit, note)
            order.append(name)
    return rows, order


def read_core(path):
    """Median and worst time per call of each function, over the repetitions."""
    runs = {}
    with open(path, encoding="utf-8") as f:
        lines = [l for l in f if l.startswith("name,") or l.startswith('"BM_')]
    for row in csv.DictReader(lines):
        name = row["name"]
        if any(name.endswith(s) for s in ("_mean", "_median", "_stddev", "_cv")):
            continue
        scale = {"ns": 1, "us": 1e3, "ms": 1e6}[row["time_unit"]]
        runs.setdefault(name, []).append(float(row["cpu_time"]) * scale)
    return {name: (statistics.median(v), max(v), len(v)) for name, v in runs.items()}


def number(value):
    if value is None:
        return "-"
    if value >= 100:
        return f"{value:.0f}"
    if value >= 10:
        return f"{value:.1f}"
    return f"{value:.3g}" if value < 1 else f"{value:.2f}"


def main():
    win, order = read_win(sys.argv[1])
    core = read_core(sys.argv[2])
    exe_mb = int(sys.argv[3]) / 1048576

    table = []  # (figure, median, worst, unit, goal / note)

    def add(figure, median, worst, unit, note=""):
        table.append((figure, number(median), number(worst), unit, note))

    def add_win(name, figure=None, note=None):
        if name in win:
            median, worst, unit, text = win[name]
            add(figure or name, median, worst, unit, text if note is None else note)

    table.append(("— reference points —", "", "", "", ""))
    for o in ("horizontal", "vertical"):
        add_win(f"floor: SetWindowRgn ({o})")
    for o in ("horizontal", "vertical"):
        add_win(f"floor: SetWindowRgn without redraw ({o})")
    add_win("floor: private memory of that program")
    add_win("floor: start of an empty Wine program")
    add("60 Hz frame budget", FRAME_MS, None, "ms", "one frame")

    table.append(("— softveil.exe under Wine —", "", "", "", ""))
    for name, o in (("drag (horizontal)", "horizontal"), ("drag (vertical)", "vertical"),
                    ("drag (bar, horizontal)", "horizontal"), ("drag (underline, horizontal)", "horizontal")):
        floor = win.get(f"floor: SetWindowRgn ({o})")
        if name not in win:
            continue
        median, worst, unit, text = win[name]
        verdicts = []
        if floor:
            ratio = median / floor[0]
            verdicts.append(f"{ratio:.2f}x floor (goal <= 2x{'' if ratio <= 2 else ': MISSED'})")
        if worst is not None:
            verdicts.append(f"worst {worst / FRAME_MS:.2f} frame{'' if worst < FRAME_MS else ': MISSED'}")
        add(name, median, worst, unit, "; ".join(verdicts + [text]))
    if "drag (bar, horizontal)" in win:
        table.append(("drag (tint)", "-", "-", "", "none: the tint takes no click, a drag reaches the window below"))
    if "pointer following (horizontal)" in win:
        median, worst, unit, text = win["pointer following (horizontal)"]
        floor, drag = win.get("floor: SetWindowRgn (horizontal)"), win.get("drag (horizontal)")
        note = f"{median / floor[0]:.2f}x floor; " if floor else ""
        if drag:
            note += f"{median / drag[0]:.2f}x drag (goal <= 1.1x{'' if median <= 1.1 * drag[0] else ': MISSED'}); "
        add("pointer following (horizontal)", median, worst, unit, note + text)
    for o in ("horizontal", "vertical"):
        add_win(f"tick ({o})")
    for name, goal in (("idle, mask hidden", 1.1), ("idle, mask shown", 1.5)):
        if name in win:  # against an empty program measured over the same seconds
            median, _, unit, text = win[name]
            floor = win.get(f"{name}: floor", (0,))[0]
            ratio = median / floor if floor > 0 else (float("inf") if median > 0 else 1.0)
            verdict = f"{ratio:.2f}x floor {floor:.3f} % (goal <= {goal}x{': MISSED' if ratio > goal else ''})"
            clock = win.get(f"{name}: floor with a clock", (0,))[0]
            if clock > 0:  # the least a visible seconds clock costs on top
                verdict += f", {median / clock:.2f}x the same with a seconds label {clock:.3f} %"
            add(name, median, None, unit, f"{verdict}; {text}")
    add_win("idle, follow=drag over an edit control")
    for name, base in (("idle, follow=pointer", "idle, mask shown"),
                       ("idle, follow=caret over an edit control", "idle, follow=drag over an edit control")):
        if name in win and base in win:
            median, _, unit, text = win[name]
            add(name, median, None, unit, f"goal <= {base}{'' if median <= win[base][0] else ': MISSED'}; {text}")
    for name in [n for n in order if n.startswith("private memory") or n.startswith("working set")]:
        median, _, unit, text = win[name]
        if name.startswith("private memory"):
            text = f"goal < 8 MB{'' if median < 8 else ': MISSED'}"
        add(name, median, None, unit, text)
    add("softveil.exe size", exe_mb, None, "MB", "static runtime")
    if "start to tray icon" in win:
        median, worst, unit, text = win["start to tray icon"]
        add("start to tray icon", median, worst, unit,
            f"goal < 300 ms{'' if median < 300 else ': MISSED'}; {text}")

    table.append(("— core functions, native (Google Benchmark) —", "", "", "", ""))
    labels = {
        "BM_HoleRect": "HoleRect",
        "BM_PlaceBand": "PlaceBand",
        "BM_DragBand": "DragBand",
        "BM_DecideTrackTick": "DecideTrackTick",
        "BM_ClockText": "ClockText",
        "BM_IniLoadSixKeys": "six keys from a parsed INI document",
        "BM_IniParseAndLoadSixKeys": "parse INI text + six keys",
    }
    for key, label in labels.items():
        if key in core:
            median, worst, n = core[key]
            add(label, median, worst, "ns", f"CPU per call, {n} repetitions")

    widths = [max(len(r[i]) for r in table + [("figure", "median", "worst", "unit", "goal / note")])
              for i in range(4)]
    header = ("figure", "median", "worst", "unit", "goal / note")
    print(f"{header[0]:<{widths[0]}}  {header[1]:>{widths[1]}}  {header[2]:>{widths[2]}}  "
          f"{header[3]:<{widths[3]}}  {header[4]}")
    print("-" * (sum(widths) + 8 + 40))
    for r in table:
        if r[1] == "" and r[3] == "":
            print(r[0])
            continue
        print(f"{r[0]:<{widths[0]}}  {r[1]:>{widths[1]}}  {r[2]:>{widths[2]}}  {r[3]:<{widths[3]}}  {r[4]}")


if __name__ == "__main__":
    main()
