#!/usr/bin/env bash
# The window appears on the virtual mouse at the skin's size, and its close
# button ends the program with status 0. With unsaved changes it asks first;
# the end of the session (SIGTERM) keeps them, and the next start gives them
# back. Started without a session bus, it starts none (no dbus-launch, no
# dbus-daemon) and leaves nothing behind.
. "$(dirname "$0")/e2e_lib.sh"

e2e_start
geometry=$(xdotool getwindowgeometry "$E2E_WINDOW")
if [ -z "${QT_SCALE_FACTOR:-}" ]; then
    echo "$geometry" | grep -q "Geometry: 1000x640" || e2e_fail "unexpected size: $geometry"
fi
e2e_on_screen "$E2E_WINDOW" || e2e_fail "the window leaves the screen: $geometry"
e2e_trace_has '^set-feature 00 01 fc' || e2e_fail "the open sequence did not reach the mouse"
e2e_shot opened

e2e_press "$E2E_WINDOW" 986 12
e2e_wait_qvr_exit
[ "$E2E_QVR_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_QVR_STATUS"

# Stage 1 of DPI Setting at 2600 DPI, not saved: the close button asks, and
# Escape keeps the program and the change.
profile="$E2E_PROGRAM/config0.bin"
kept="$E2E_PROGRAM/unsaved.recovery"
saved=$(e2e_file_state "$profile")
e2e_start_qvr
e2e_click 800 42  # DPI Setting header
e2e_click 780 150 # stage 1 slider: 2600 DPI
e2e_press "$E2E_WINDOW" 986 12
question=$(e2e_wait_question)
e2e_answer "$question" Escape
e2e_qvr_running || e2e_fail "Cancel ended the program"

# The session ends: nothing is asked, the change is kept beside the profile.
kill -TERM "$E2E_QVR_PID"
e2e_wait_qvr_exit
[ "$E2E_QVR_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_QVR_STATUS after SIGTERM"
[ -s "$kept" ] || e2e_fail "SIGTERM kept no unsaved changes"
[ "$(e2e_file_state "$profile")" = "$saved" ] || e2e_fail "SIGTERM changed the profile"

# The next start offers them; Enter restores, and Save stores them.
e2e_start_qvr
offer=$(e2e_wait_question)
e2e_answer "$offer" Return
[ -e "$kept" ] && e2e_fail "the offer answered, the kept changes are still there"
e2e_press "$E2E_WINDOW" 950 619 # Save
e2e_wait_file_change "$profile" "$saved"
# Stage 1 is byte 7 of the record, after the file's first-run flag: 52 = 2600 / 50.
stage=$(od -An -tu1 -j8 -N1 "$profile" | tr -d ' ')
[ "$stage" = "52" ] || e2e_fail "stage 1 saved as $stage, not 52 (2600 DPI)"
e2e_press "$E2E_WINDOW" 986 12
e2e_wait_qvr_exit
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
