#!/usr/bin/env bash
# Records a macro in the macro manager with real keystrokes, confirms it with
# OK and saves; the macro lands in "record.ini" and, once Save uploads, its
# image travels to the mouse as macro block 1. Also opens the profile
# manager. Screenshots of both dialogs are kept in $QVR_E2E_SHOTS when set.
. "$(dirname "$0")/e2e_lib.sh"

record="$E2E_PROGRAM/record.ini"
e2e_start

# The macro manager bar lies under the closed assignment section.
e2e_press "$E2E_WINDOW" 60 150
dialog=$(e2e_wait_dialog "Macro Manager") || e2e_fail "the macro manager did not open"
xdotool windowfocus --sync "$dialog" 2>/dev/null || true

e2e_click_in "$dialog" 46 379   # New
e2e_wait_file_has "$record" '^\[Macro_0\]'
e2e_click_in "$dialog" 377 151  # no recorded delays: each key gets 50 ms
e2e_click_in "$dialog" 339 99   # Start Recording
e2e_key_in "$dialog" a b        # the pointer is still over the dialog
e2e_shot macro_manager_recording
e2e_click_in "$dialog" 339 99   # Stop Recording saves the macro
e2e_wait_file_has "$record" '^ItemCount=4'
for item in 'Item0=A   Dn' 'Item1=A   Up' 'Item2=B   Dn' 'Item3=B   Up'; do
    grep -q "^$item" "$record" || e2e_fail "record.ini lacks '$item': $(cat "$record")"
done
e2e_press "$dialog" 325 408     # OK
e2e_wait_window_gone "$dialog"

# Button 4 plays the macro: its function list's "Macro Key" entry opens the
# macro key dialog, whose list holds the new macro.
e2e_wait_settled "$E2E_WINDOW"
e2e_click 141 117               # "Button Assignment" header
e2e_click 185 222               # box of button 4
e2e_press "$E2E_WINDOW" 300 414 # "Macro Key" (entry 12, rows of 16 pixels from y 214)
macro_dialog=$(e2e_wait_dialog "Macro Key") || e2e_fail "the macro key dialog did not open"
e2e_click_in "$macro_dialog" 96 136   # the macro field opens its list
e2e_click_in "$macro_dialog" 96 154   # its first entry, Macro_0
e2e_shot macro_key_dialog
e2e_press "$macro_dialog" 279 262     # OK
e2e_wait_window_gone "$macro_dialog"
e2e_wait_settled "$E2E_WINDOW"

lines_before=$(e2e_trace_lines)
e2e_press "$E2E_WINDOW" 951 619       # Save
e2e_wait_trace '^set-feature 00 0f 0c' "$lines_before"
upload=$(e2e_trace_since "$lines_before")
# Macro block 1: loop count 1, then A down, A up, B down, B up, 50 ms each.
awk '/^set-feature 00 0f 01/ { found = 1; next } found && /^write 00/ { print; exit }' <<<"$upload" |
    grep -q '^write 00 00 01 05 04 85 04 05 05 85 05 00' ||
    e2e_fail "the recorded macro is not in macro block 1 of the upload"
# Button 4 sits in slot 14 (bytes 56..59) of the button block: macro 1.
slot=$(awk '/^set-feature 00 0d/ { found = 1; next } found && /^write 00/ { print $59, $60, $61, $62; exit }' \
    <<<"$upload")
case "$slot" in
09\ 0?\ 01\ 00) ;;
*) e2e_fail "slot 14 holds '$slot', not a macro key of macro 1" ;;
esac

# The profile manager, from the Config button.
e2e_press "$E2E_WINDOW" 54 619
config=$(e2e_wait_dialog "Configuration") || e2e_fail "the profile manager did not open"
e2e_shot profile_manager
e2e_press "$config" 247 15      # its close button writes the list
e2e_wait_window_gone "$config"
e2e_wait_file_has "$E2E_PROGRAM/str.ini" '^CurProfileName=PROFILE_0'
e2e_qvr_running || e2e_fail "qvr ended unexpectedly"
echo "macro record and profile manager: ok"
