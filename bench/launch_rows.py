"""Alternated starts of `qvr --virtual-mouse` and the bare window, measured
from outside by qvr_launch_probe; prints one JSON row for scripts/bench.

Usage: launch_rows.py start|memory RUNS PROBE QVR BARE PICTURE
  start:  fork to the map of the first window of 600x400 or more
  memory: peak resident memory over the first 2 s
"""
import json, re, statistics, subprocess, sys

kind, runs, probe, qvr, bare, picture = sys.argv[1], int(sys.argv[2]), *sys.argv[3:7]
hold = "0" if kind == "start" else "2000"
programs = {"qvr": [qvr, "--virtual-mouse"], "bare": [bare, picture]}


def measure(argv):
    done = subprocess.run([probe, hold] + argv, capture_output=True, text=True, timeout=60)
    found = re.search(r"map_ms=([0-9.]+) peak_kb=([0-9]+)", done.stdout)
    if not found:
        sys.exit("%s: no measurement (exit %d): %s" % (argv[0], done.returncode, done.stderr))
    return float(found.group(1)), int(found.group(2)) / 1024


for argv in programs.values():  # warm the file cache; not counted
    measure(argv)
values = {name: [] for name in programs}
for _ in range(runs):
    for name, argv in programs.items():
        map_ms, peak_mb = measure(argv)
        values[name].append(map_ms if kind == "start" else peak_mb)
for name, numbers in values.items():
    print("%s: %s" % (name, " ".join("%.1f" % v for v in sorted(numbers))), file=sys.stderr)
mine, floor = statistics.median(values["qvr"]), statistics.median(values["bare"])
ratio = mine / floor
if kind == "start":
    row = {"metric": "Start-up: fork to the main window mapped (Xvfb), beside a bare Qt window",
           "measured": "%.0f ms; bare window %.0f ms (%.2f×); median of %d alternated"
                       % (mine, floor, ratio, runs)}
else:
    row = {"metric": "Peak resident memory over the first 2 s, beside a bare Qt window",
           "measured": "%.1f MB; bare window %.1f MB (%.2f×); median of %d alternated"
                       % (mine, floor, ratio, runs)}
row.update({"goal": "≤ 1.25× bare", "met": ratio <= 1.25})
print(json.dumps(row, ensure_ascii=False))
