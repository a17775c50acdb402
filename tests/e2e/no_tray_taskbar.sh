#!/usr/bin/env bash
# Without a tray, under a window manager: the window is an ordinary one with a
# taskbar entry, minimise and Cancel iconify it, and a second start brings it
# back while the first program runs on.
. "$(dirname "$0")/e2e_lib.sh"
command -v openbox >/dev/null && command -v xprop >/dev/null || exit 77

iconic() { xprop -id "$E2E_WINDOW" WM_STATE | grep -q "window state: Iconic"; }
viewable() {
    xprop -id "$E2E_WINDOW" WM_STATE | grep -q "window state: Normal" &&
        xwininfo -id "$E2E_WINDOW" | grep -q "IsViewable"
}
second_start() {
    "$E2E_QVR" --virtual-mouse >"$E2E_DIR/second.log" 2>&1 ||
        e2e_fail "the second start failed: $(cat "$E2E_DIR/second.log")"
}

e2e_prepare_session
e2e_start_openbox

"$E2E_QVR" --virtual-mouse >"$E2E_DIR/qvr.log" 2>&1 &
E2E_QVR_PID=$!
e2e_until "the main window did not appear" e2e_find_main_by_size
e2e_until "the main window is not viewable" viewable

types=$(xprop -id "$E2E_WINDOW" _NET_WM_WINDOW_TYPE)
echo "$types" | grep -q _NET_WM_WINDOW_TYPE_NORMAL || e2e_fail "not a normal window: $types"
echo "$types" | grep -q UTILITY && e2e_fail "a tool window without a tray: $types"
xprop -id "$E2E_WINDOW" _NET_WM_STATE | grep -q SKIP_TASKBAR && e2e_fail "no taskbar entry"

e2e_press "$E2E_WINDOW" 965 12 # minimise
e2e_until "minimise did not iconify the window" iconic
second_start
e2e_until "a second start did not bring the window back" viewable
xprop -root _NET_ACTIVE_WINDOW | grep -qi "$(printf '0x%x' "$E2E_WINDOW")" ||
    e2e_fail "the window came back without the focus"

e2e_press "$E2E_WINDOW" 888 619 # Cancel
e2e_until "Cancel did not iconify the window" iconic
# A launcher's startup id reaches the window, whose manager reads it.
DESKTOP_STARTUP_ID="qvr-e2e-launch_TIME0" second_start
e2e_until "the second start after Cancel did not bring the window back" viewable
startup_id() { xprop -id "$E2E_WINDOW" _NET_STARTUP_ID | grep -q '"qvr-e2e-launch_TIME0"'; }
e2e_until "the startup id was not passed on to the window" startup_id
e2e_qvr_running || e2e_fail "the first program ended"
e2e_shot no-tray-back
echo "no tray, taskbar and second start: ok"
