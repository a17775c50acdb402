#!/usr/bin/env bash
# Opening DPI Setting, clicking a DPI slider and pressing Save sends the new
# stage value to the mouse in the configuration block (command 0x0C), with the
# protocol's waits in the trace. Also opens the other sections and scrolls
# the right panel, for screenshots.
. "$(dirname "$0")/e2e_lib.sh"

# Save applies pointer settings; keep them away from the desktop running the test.
export GSETTINGS_BACKEND=memory

e2e_start
e2e_click 800 42  # DPI Setting header
e2e_click 780 150 # stage 1 slider: 202 - 150 = 52 steps, 2600 DPI
e2e_click 800 295 # Lighting header, below the open DPI body
e2e_click 800 420 # USB Report Rate header
e2e_click 100 185 # X/Y Sensitivity Setting header
e2e_shot settings-upper

lines_before=$(e2e_trace_lines)
e2e_press "$E2E_WINDOW" 950 619 # Save
# The button block follows the configuration block's two data reports.
e2e_wait_trace '^set-feature 00 0d' "$lines_before"
# The block goes out as two 64-byte data reports; stage 1's DPI is byte 0x54,
# the 21st data byte of the second report (field 2 is the report ID).
upload=$(e2e_trace_since "$lines_before")
stage=$(awk '/^set-feature 00 0c/ { found = 1; writes = 0; next }
             found && /^write/ { if (++writes == 2) { print $23; exit } }' <<<"$upload")
[ "$stage" = "34" ] || e2e_fail "stage 1 went out as '$stage', not 34 (2600 DPI)"
grep -q -x 'wait 20' <<<"$upload" ||
    e2e_fail "the window's waits between data reports are not in the trace"

# Drag the scroll thumb to the lower half: the four lower sections show.
before=$(e2e_picture "$E2E_WINDOW")
e2e_move "$E2E_WINDOW" 988 80 mousedown 1
e2e_move "$E2E_WINDOW" 988 300
e2e_move "$E2E_WINDOW" 988 500 mouseup 1
e2e_wait_region_change "$E2E_WINDOW" "" "$before"
e2e_click 800 42  # Mouse Speed, now at the top
e2e_click 800 167 # Double Click Speed
e2e_click 800 292 # Scroll Speed
e2e_click 800 387 # Angle Snap
e2e_shot settings-lower
e2e_qvr_running || e2e_fail "qvr ended"
echo "settings save: ok"
