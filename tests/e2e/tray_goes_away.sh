#!/usr/bin/env bash
# With a tray the window hides into it; when the tray goes away while the
# window is hidden, the window comes back as an ordinary one.
. "$(dirname "$0")/e2e_lib.sh"
command -v openbox >/dev/null && command -v trayer >/dev/null && command -v xprop >/dev/null ||
    exit 77

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
tray_there() { xprop -root -notype 2>/dev/null | grep -q . && xdotool search --class trayer >/dev/null 2>&1; }
map_state() { xwininfo -id "$E2E_WINDOW" | grep -q "Map State: $1"; }
utility() { xprop -id "$E2E_WINDOW" _NET_WM_WINDOW_TYPE | grep -q UTILITY; }
normal_only() { ! utility; }

e2e_copy_program
e2e_start_x
export XDG_RUNTIME_DIR="$E2E_DIR/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
openbox >"$E2E_DIR/openbox.log" 2>&1 &
openbox_pid=$!
trap 'kill "$openbox_pid" 2>/dev/null || true; e2e_cleanup' EXIT
until_true "openbox did not start" wm_running
trayer --edge bottom --align right --widthtype request --height 32 >/dev/null 2>&1 &
E2E_TRAYER_PID=$!
until_true "trayer did not start" tray_there

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
until_true "with a tray the window is not a tool window" utility

e2e_press "$E2E_WINDOW" 965 12 # minimise: into the tray
until_true "minimise did not hide the window" map_state IsUnMapped

kill "$E2E_TRAYER_PID"
wait "$E2E_TRAYER_PID" 2>/dev/null || true
E2E_TRAYER_PID=""
until_true "the window did not come back when the tray went away" map_state IsViewable
until_true "without a tray the window stays a tool window" normal_only
e2e_qvr_running || e2e_fail "the program ended"
e2e_shot tray-gone
echo "tray goes away: ok"
