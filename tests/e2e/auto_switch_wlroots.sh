#!/usr/bin/env bash
# Automatic switching on a wlroots compositor: sway's headless backend (run
# as nobody, since sway refuses root), two Wayland clients with their own
# app ids focused in turn through swaymsg; the profile follows the focus,
# one upload per settled focus. qvr reaches sway as any client would, through
# WAYLAND_DISPLAY; its own window is drawn offscreen.
. "$(dirname "$0")/e2e_lib.sh"
for tool in sway swaymsg setpriv python3 weston-flower weston-clickdot; do
    command -v "$tool" >/dev/null || exit 77
done
[ "$(id -u)" -eq 0 ] || exit 77

QVRCTL="$QVR_PROGRAM_DIR/qvrctl"
FLOWER=org.freedesktop.weston.flower
CLICKDOT=org.freedesktop.weston.wayland-clickdot
SWAY_PID=""
CLIENT_PIDS=()
trap 'kill "${CLIENT_PIDS[@]}" $SWAY_PID 2>/dev/null || true; e2e_cleanup' EXIT

e2e_three_profiles

# sway's runtime folder belongs to nobody; the clients, running as root,
# reach its socket by its full path.
SWAY_DIR="$E2E_DIR/sway"
mkdir -p "$SWAY_DIR"
printf 'output HEADLESS-1 resolution 1280x800\n' >"$SWAY_DIR/config"
chown nobody "$SWAY_DIR"
chmod 711 "$E2E_DIR"
chmod 700 "$SWAY_DIR"
setpriv --reuid=nobody --regid=nogroup --clear-groups env -i HOME=/tmp XDG_RUNTIME_DIR="$SWAY_DIR" \
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$SWAY_DIR/config" >"$E2E_DIR/sway.log" 2>&1 &
SWAY_PID=$!
sway_up() { [ -S "$SWAY_DIR/wayland-1" ] && compgen -G "$SWAY_DIR/sway-ipc.*.sock" >/dev/null; }
e2e_wait_for "sway to start" sway_up || exit 77
SWAYSOCK=$(compgen -G "$SWAY_DIR/sway-ipc.*.sock" | head -n 1)
export SWAYSOCK
export WAYLAND_DISPLAY="$SWAY_DIR/wayland-1" XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=sway
unset DISPLAY
export XDG_RUNTIME_DIR="$E2E_DIR/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# The app id of the window sway has focused.
focused_app() {
    swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    if node.get("focused"):
        print(node.get("app_id") or "")
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))'
}
client() {
    "$1" >/dev/null 2>&1 &
    CLIENT_PIDS+=($!)
    e2e_wait_for "the window of $1" sh -c "swaymsg -t get_tree | grep -q '\"app_id\": \"$2\"'"
}
client weston-flower "$FLOWER"
client weston-clickdot "$CLICKDOT"

e2e_start_qvr_offscreen
grep -q "not available" "$E2E_DIR/qvr.log" && e2e_fail "no focus source: $(cat "$E2E_DIR/qvr.log")"

focus() {
    swaymsg "[app_id=\"$1\"] focus" >/dev/null
    focused_is() { [ "$(focused_app)" = "$1" ]; }
    e2e_wait_for "sway to focus $1" focused_is "$1"
}

"$QVRCTL" auto add "$FLOWER" Shell || e2e_fail "qvrctl auto add"
"$QVRCTL" auto add "${CLICKDOT^^}" Web || e2e_fail "qvrctl auto add"
"$QVRCTL" auto list | grep -q '^focus: Wayland' || e2e_fail "qvrctl auto list: $("$QVRCTL" auto list)"

e2e_focus_switches 1 Shell focus "$FLOWER"
e2e_focus_switches 2 Web focus "$CLICKDOT"
echo "automatic switching on sway: ok"
