#!/usr/bin/env bash
# Button 4 gets a single key pressed in the capture dialog; Save sends it to
# the mouse in slot 14 (bytes 56..59) of the button block (command 0x0d).
. "$(dirname "$0")/e2e_lib.sh"

e2e_start
e2e_click 141 117                     # "Button Assignment" header
e2e_click 185 222                     # box of button 4 opens the function list
e2e_hover_in "$E2E_WINDOW" 300 300    # an entry of the function list lights up
e2e_shot function-list
e2e_hover_in "$E2E_WINDOW" 300 335    # "Multimedia" (entry 7) opens its option list
e2e_shot function-and-option-list
e2e_press "$E2E_WINDOW" 300 383       # "Single Key" (entry 10) opens the dialog
dialog=$(e2e_wait_dialog 'Single Key') || e2e_fail "the single-key dialog did not open"

# Without a window manager the keyboard follows the pointer.
e2e_move "$dialog" 190 60
e2e_key_in "$dialog" g Return         # Return is captured too ...
e2e_shot single-key-enter
e2e_window_viewable "$dialog" || e2e_fail "Enter closed the dialog" # ... and does not close it
e2e_key_in "$dialog" g
e2e_shot single-key
e2e_press "$dialog" 279 262           # OK
e2e_wait_window_gone "$dialog"
e2e_wait_settled "$E2E_WINDOW"
e2e_shot assigned

lines_before=$(e2e_trace_lines)
e2e_press "$E2E_WINDOW" 951 619       # Save
e2e_wait_trace '^set-feature 00 0f 0c' "$lines_before" # the button block went out before it
upload=$(e2e_trace_since "$lines_before")
slot=$(awk '/^set-feature 00 0d/ { found = 1; next } found && /^write 00/ { print $59, $60, $61, $62; exit }' \
    <<<"$upload")
[ "$slot" = "00 00 0a 00" ] || e2e_fail "slot 14 holds '$slot', not the key G (00 00 0a 00)"
echo "button single key: ok"
