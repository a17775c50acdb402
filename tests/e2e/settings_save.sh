#!/usr/bin/env bash
# Opening DPI Setting, clicking a DPI slider and pressing Save sends the new
# stage value to the mouse in the configuration block (command 0x0C). Also
# opens the other sections and scrolls the right panel, for screenshots.
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

e2e_click 950 619 # Save
for _ in $(seq 50); do
    e2e_trace_has '^set-feature 00 0c' && break
    sleep 0.1
done
e2e_trace_has '^set-feature 00 0c' || e2e_fail "Save sent no configuration block"
# The block goes out as two 64-byte data reports; stage 1's DPI is byte 0x54,
# the 21st data byte of the second report (field 2 is the report ID).
stage=$(awk '/^set-feature 00 0c/ { found = 1; writes = 0; next }
             found && /^write/ { if (++writes == 2) { print $23; exit } }' "$E2E_TRACE")
[ "$stage" = "34" ] || e2e_fail "stage 1 went out as '$stage', not 34 (2600 DPI)"

# Drag the scroll thumb to the lower half: the four lower sections show.
xdotool mousemove --window "$E2E_WINDOW" 988 80 mousedown 1
xdotool mousemove --window "$E2E_WINDOW" 988 300
xdotool mousemove --window "$E2E_WINDOW" 988 500 mouseup 1
sleep 0.5
e2e_click 800 42  # Mouse Speed, now at the top
e2e_click 800 167 # Double Click Speed
e2e_click 800 292 # Scroll Speed
e2e_click 800 387 # Angle Snap
e2e_shot settings-lower
e2e_qvr_running || e2e_fail "qvr ended"
echo "settings save: ok"
