#!/usr/bin/env bash
# Peak resident memory (VmHWM) of `qvr --virtual-mouse` over its first 2 s
# under Xvfb, beside the bare Qt window of bench/window_startup.sh, started
# alternately. Prints one JSON row with the medians and their ratio for
# scripts/bench. Usage:
#   QVR_PROGRAM_DIR=<build>/bin QVR_BARE_WINDOW=<build>/bench/qvr_bare_window \
#   QVR_LAUNCH_PROBE=<build>/bench/qvr_launch_probe bench/window_memory.sh [runs]
. "$(dirname "$0")/../tests/e2e/e2e_lib.sh"
: "${QVR_BARE_WINDOW:?QVR_BARE_WINDOW must name the bare window program}"
: "${QVR_LAUNCH_PROBE:?QVR_LAUNCH_PROBE must name the launch probe}"

e2e_prepare_session
# Neither program may spend its start on a session bus (or on failing to
# launch one): both get an address that answers at once with an error.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/dev/null/no-session-bus
python3 "$(dirname "$0")/launch_rows.py" memory "${1:-9}" "$QVR_LAUNCH_PROBE" "$E2E_QVR" \
    "$QVR_BARE_WINDOW" "$E2E_FACTORY/Skins/Carbon/main.png"
