#!/usr/bin/env bash
# The window appears on the virtual mouse at the skin's size, and its close
# button ends the program with status 0. Started without a session bus, it
# starts none (no dbus-launch, no dbus-daemon) and leaves nothing behind.
. "$(dirname "$0")/e2e_lib.sh"

e2e_start
geometry=$(xdotool getwindowgeometry "$E2E_WINDOW")
echo "$geometry" | grep -q "Geometry: 1000x640" || e2e_fail "unexpected size: $geometry"
e2e_trace_has '^set-feature 00 01 fc' || e2e_fail "the open sequence did not reach the mouse"
e2e_shot opened

e2e_press "$E2E_WINDOW" 986 12
e2e_wait_qvr_exit
[ "$E2E_QVR_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_QVR_STATUS"
echo "window opens and closes: ok"

# No bus address and no bus socket in the private runtime folder; every
# program the process tree runs is in the execve log.
if ! command -v strace >/dev/null || ! strace -f -o /dev/null true 2>/dev/null; then
    echo "no session bus: not checked (strace cannot trace here)"
    exit 0
fi
unset DBUS_SESSION_BUS_ADDRESS
[ ! -e "$XDG_RUNTIME_DIR/bus" ] || e2e_fail "the test's runtime folder has a bus"
strace -f -qq -e trace=execve -o "$E2E_DIR/execve.txt" \
    "$E2E_QVR" --virtual-mouse --trace "$E2E_TRACE" >"$E2E_DIR/qvr.log" 2>&1 &
E2E_QVR_PID=$!
e2e_wait_for "the main window" e2e_main_window
e2e_wait_window_shown "$E2E_WINDOW"
e2e_wait_trace '^set-feature 00 01 fc'
e2e_press "$E2E_WINDOW" 986 12
e2e_wait_qvr_exit
[ "$E2E_QVR_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_QVR_STATUS without a session bus"
started=$(grep -E 'execve\(' "$E2E_DIR/execve.txt" | grep -v "\"$E2E_QVR\"" || true)
[ -z "$started" ] || e2e_fail "qvr started other programs without a session bus: $started"
echo "no session bus, none started: ok"
