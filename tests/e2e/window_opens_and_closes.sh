#!/usr/bin/env bash
# The window appears on the virtual mouse at the skin's size, and its close
# button ends the program with status 0.
. "$(dirname "$0")/e2e_lib.sh"

e2e_start
geometry=$(xdotool getwindowgeometry "$E2E_WINDOW")
echo "$geometry" | grep -q "Geometry: 1000x640" || e2e_fail "unexpected size: $geometry"
e2e_trace_has '^set-feature 00 01 fc' || e2e_fail "the open sequence did not reach the mouse"
e2e_shot opened

e2e_click 986 12
for _ in $(seq 50); do
    e2e_qvr_running || break
    sleep 0.1
done
e2e_qvr_running && e2e_fail "the close button did not end the program"
wait "$E2E_QVR_PID" && status=0 || status=$?
E2E_QVR_PID=""
[ "$status" -eq 0 ] || e2e_fail "exit status $status"
echo "window opens and closes: ok"
