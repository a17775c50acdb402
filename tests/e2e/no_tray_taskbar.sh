#!/usr/bin/env bash
# Without a tray, under a window manager: the window is an ordinary one with a
# taskbar entry, minimise and Cancel iconify it, and a second start brings it
# back while the first program runs on.
. "$(dirname "$0")/e2e_lib.sh"
command -v openbox >/dev/null && command -v xprop >/dev/null || exit 77

# until DESCRIPTION COMMAND...: polls COMMAND until it succeeds.
until_true() {
    local what=$1
    shift
    for _ in $(seq 200); do
        "$@" && return 0
        sleep 0.05
    done
    e2e_fail "$what"
}
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
iconic() { xprop -id "$E2E_WINDOW" WM_STATE | grep -q "window state: Iconic"; }
viewable() {
    xprop -id "$E2E_WINDOW" WM_STATE | grep -q "window state: Normal" &&
        xwininfo -id "$E2E_WINDOW" | grep -q "IsViewable"
}
second_start() {
    "$E2E_QVR" --virtual-mouse >"$E2E_DIR/second.log" 2>&1 ||
        e2e_fail "the second start failed: $(cat "$E2E_DIR/second.log")"
}

e2e_copy_program
e2e_start_x
export XDG_RUNTIME_DIR="$E2E_DIR/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
openbox >"$E2E_DIR/openbox.log" 2>&1 &
openbox_pid=$!
trap 'kill "$openbox_pid" 2>/dev/null || true; e2e_cleanup' EXIT
until_true "openbox did not start" wm_running

"$E2E_QVR" --virtual-mouse >"$E2E_DIR/qvr.log" 2>&1 &
E2E_QVR_PID=$!
# The main window by its size: the tray icon's window shares its class.
find_main() {
    local id
    for id in $(xdotool search --onlyvisible --class VL384-netGMClass 2>/dev/null); do
        if xdotool getwindowgeometry "$id" | grep -q "Geometry: 1000x640"; then
            E2E_WINDOW=$id
            return 0
        fi
    done
    return 1
}
until_true "the main window did not appear" find_main
until_true "the main window is not viewable" viewable

types=$(xprop -id "$E2E_WINDOW" _NET_WM_WINDOW_TYPE)
echo "$types" | grep -q _NET_WM_WINDOW_TYPE_NORMAL || e2e_fail "not a normal window: $types"
echo "$types" | grep -q UTILITY && e2e_fail "a tool window without a tray: $types"
xprop -id "$E2E_WINDOW" _NET_WM_STATE | grep -q SKIP_TASKBAR && e2e_fail "no taskbar entry"

e2e_press "$E2E_WINDOW" 965 12 # minimise
until_true "minimise did not iconify the window" iconic
second_start
until_true "a second start did not bring the window back" viewable
xprop -root _NET_ACTIVE_WINDOW | grep -qi "$(printf '0x%x' "$E2E_WINDOW")" ||
    e2e_fail "the window came back without the focus"

e2e_press "$E2E_WINDOW" 888 619 # Cancel
until_true "Cancel did not iconify the window" iconic
second_start
until_true "the second start after Cancel did not bring the window back" viewable
e2e_qvr_running || e2e_fail "the first program ended"
e2e_shot no-tray-back
echo "no tray, taskbar and second start: ok"
