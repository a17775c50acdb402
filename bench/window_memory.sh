#!/usr/bin/env bash
# Peak resident memory (VmHWM) of `qvr --virtual-mouse` once its window is up
# under Xvfb, printed as one JSON row for scripts/bench. Usage:
#   QVR_PROGRAM_DIR=<build>/bin bench/window_memory.sh
. "$(dirname "$0")/../tests/e2e/e2e_lib.sh"

e2e_start
sleep 1 # let start-up finish its lazy work before reading the peak
peak_kb=$(awk '/^VmHWM:/ {print $2}' "/proc/$E2E_QVR_PID/status")
python3 -c '
import json, sys
mb = int(sys.argv[1]) / 1024
print(json.dumps({"metric": "Peak resident memory of `qvr --virtual-mouse` after start-up",
                  "measured": "%.1f MB" % mb, "goal": "≤ 45 MB", "met": mb <= 45}))
' "$peak_kb"
