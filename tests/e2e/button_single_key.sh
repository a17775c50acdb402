#!/usr/bin/env bash
# Button 4 gets a single key pressed in the capture dialog; Save sends it to
# the mouse in slot 14 (bytes 56..59) of the button block (command 0x0d).
. "$(dirname "$0")/e2e_lib.sh"

e2e_start
e2e_click 141 117              # "Button Assignment" header
e2e_click 185 222              # box of button 4
xdotool mousemove --window "$E2E_WINDOW" 300 300 # hover the function list
sleep 0.3
e2e_shot function-list
# "Multimedia" (entry 7) opens its option list beside the function list.
xdotool mousemove --window "$E2E_WINDOW" 300 335
sleep 0.5
e2e_shot function-and-option-list
e2e_click 300 383              # "Single Key" (entry 10) opens the dialog

dialog=""
for _ in $(seq 50); do
    dialog=$(xdotool search --onlyvisible --name '^Single Key$' 2>/dev/null | head -n 1 || true)
    [ -n "$dialog" ] && break
    sleep 0.1
done
[ -n "$dialog" ] || e2e_fail "the single-key dialog did not open"
xdotool mousemove --window "$dialog" 190 60
sleep 0.3
e2e_key g
e2e_key Return                 # captured, but the dialog stays open
e2e_shot single-key-enter
xdotool search --onlyvisible --name '^Single Key$' | grep -qx "$dialog" ||
    e2e_fail "Enter closed the dialog"
e2e_key g
e2e_shot single-key
e2e_click_in "$dialog" 279 262 # OK
xdotool search --onlyvisible --name '^Single Key$' | grep -qx "$dialog" &&
    e2e_fail "OK did not close the dialog"
e2e_shot assigned

lines_before=$(wc -l <"$E2E_TRACE")
e2e_click 951 619              # Save
for _ in $(seq 30); do
    tail -n +"$((lines_before + 1))" "$E2E_TRACE" | grep -q '^set-feature 00 0d' && break
    sleep 0.2
done
slot=$(tail -n +"$((lines_before + 1))" "$E2E_TRACE" |
    awk '/^set-feature 00 0d/ { found = 1; next } found && /^write 00/ { print $59, $60, $61, $62; exit }')
[ "$slot" = "00 00 0a 00" ] || e2e_fail "slot 14 holds '$slot', not the key G (00 00 0a 00)"
echo "button single key: ok"
