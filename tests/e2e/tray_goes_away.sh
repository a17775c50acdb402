#!/usr/bin/env bash
# With a tray the window hides into it; when the tray goes away while the
# window is hidden, the window comes back as an ordinary one.
. "$(dirname "$0")/e2e_lib.sh"
command -v openbox >/dev/null && command -v trayer >/dev/null && command -v xprop >/dev/null ||
    exit 77

tray_there() { xprop -root -notype 2>/dev/null | grep -q . && xdotool search --class trayer >/dev/null 2>&1; }
map_state() { xwininfo -id "$E2E_WINDOW" | grep -q "Map State: $1"; }
utility() { xprop -id "$E2E_WINDOW" _NET_WM_WINDOW_TYPE | grep -q UTILITY; }
normal_only() { ! utility; }

e2e_prepare_session
e2e_start_openbox
trayer --edge bottom --align right --widthtype request --height 32 >/dev/null 2>&1 &
E2E_TRAYER_PID=$!
e2e_until "trayer did not start" tray_there

"$E2E_QVR" --virtual-mouse >"$E2E_DIR/qvr.log" 2>&1 &
E2E_QVR_PID=$!
e2e_until "the main window did not appear" e2e_find_main_by_size
e2e_until "with a tray the window is not a tool window" utility

e2e_press "$E2E_WINDOW" 965 12 # minimise: into the tray
e2e_until "minimise did not hide the window" map_state IsUnMapped

kill "$E2E_TRAYER_PID"
wait "$E2E_TRAYER_PID" 2>/dev/null || true
E2E_TRAYER_PID=""
e2e_until "the window did not come back when the tray went away" map_state IsViewable
e2e_until "without a tray the window stays a tool window" normal_only
e2e_qvr_running || e2e_fail "the program ended"
e2e_shot tray-gone
echo "tray goes away: ok"
