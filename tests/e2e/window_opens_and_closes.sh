#!/usr/bin/env bash
# The window appears on the virtual mouse at the skin's size, and its close
# button ends the program with status 0.
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
echo "window opens and closes: ok"
