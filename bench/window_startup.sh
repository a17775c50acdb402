#!/usr/bin/env bash
# Start-up of `qvr --virtual-mouse` to its main window mapped and painted,
# beside a bare Qt window of the same size painting one full-size PNG, on one
# Xvfb in the same run. Both report their first paint through the same hook
# (QVR_EXIT_AFTER_FIRST_PAINT, launch time in QVR_LAUNCH_MONOTONIC_NS) and
# are started alternately, so load from elsewhere hits both alike. qvr runs
# from a private copy of the program directory, so the build's profile files
# and single-instance lock are not touched. Prints one JSON row for
# scripts/bench. Usage:
#   QVR_PROGRAM_DIR=<build>/bin QVR_BARE_WINDOW=<build>/bench/qvr_bare_window \
#       bench/window_startup.sh [runs]
. "$(dirname "$0")/../tests/e2e/e2e_lib.sh"
: "${QVR_BARE_WINDOW:?QVR_BARE_WINDOW must name the bare window program}"

e2e_prepare_session
export QVR_EXIT_AFTER_FIRST_PAINT=1

python3 - "${1:-15}" "$E2E_QVR" "$QVR_BARE_WINDOW" "$E2E_FACTORY/Skins/Carbon/main.png" <<'PY'
import json, os, re, statistics, subprocess, sys, time

runs, qvr, bare, picture = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]

def first_paint_ms(argv):
    env = dict(os.environ, QVR_LAUNCH_MONOTONIC_NS=str(time.monotonic_ns()))
    done = subprocess.run(argv, env=env, capture_output=True, text=True, timeout=30)
    found = re.search(r"first paint: ([0-9.]+) ms", done.stdout)
    if not found:
        sys.exit("%s gave no first paint (exit %d): %s" % (argv[0], done.returncode, done.stderr))
    return float(found.group(1))

programs = {"qvr": [qvr, "--virtual-mouse"], "bare": [bare, picture]}
for argv in programs.values():  # warm the file cache; not counted
    first_paint_ms(argv)
times = {name: [] for name in programs}
for _ in range(runs):
    for name, argv in programs.items():
        times[name].append(first_paint_ms(argv))
for name, values in times.items():
    print("%s: %s" % (name, " ".join("%.1f" % v for v in sorted(values))), file=sys.stderr)
qvr_ms, bare_ms = statistics.median(times["qvr"]), statistics.median(times["bare"])
ratio = qvr_ms / bare_ms
print(json.dumps({
    "metric": "Start-up to main window mapped and painted (Xvfb), beside a bare Qt window",
    "measured": "%.0f ms; bare window %.0f ms (%.2f×); median of %d" % (qvr_ms, bare_ms, ratio, runs),
    "goal": "≤ 120 ms and ≤ 2× bare",
    "met": qvr_ms <= 120 and ratio <= 2}, ensure_ascii=False))
PY
