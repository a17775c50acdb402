#!/usr/bin/env bash
# Automatic switching on X11: under a window manager that names the active
# window, the mouse's profile follows the focus between windows of other
# programs, once a focus has stayed; passing through windows switches nothing
# on the way. The rules are set with qvrctl while qvr runs.
. "$(dirname "$0")/e2e_lib.sh"
command -v openbox >/dev/null && command -v xmessage >/dev/null && command -v xprop >/dev/null ||
    exit 77

QVRCTL="$QVR_PROGRAM_DIR/qvrctl"

e2e_three_profiles

e2e_prepare_session
export XDG_SESSION_TYPE=x11
unset WAYLAND_DISPLAY
e2e_start_openbox
e2e_start_qvr


# A window of another program, named by WM_CLASS: "instance class".
client() {
    local instance=$1 class=$2 id
    xmessage -name "$instance" -geometry 200x60+$((RANDOM % 400))+$((RANDOM % 300)) "$instance" \
        >/dev/null 2>&1 &
    e2e_until "the $instance window did not appear" \
        sh -c "xdotool search --onlyvisible --classname '^$instance\$' >/dev/null 2>&1"
    id=$(xdotool search --onlyvisible --classname "^$instance\$" | head -n 1)
    xdotool set_window --class "$class" "$id"
    echo "$id"
}
SHELL_WINDOW=$(client alpha XTermLike)
WEB_WINDOW=$(client gamma Browser)
DESK_WINDOW=$(client delta Editor)

# By class, by instance, by class again; written while qvr runs.
"$QVRCTL" auto add xtermlike Shell || e2e_fail "qvrctl auto add"
"$QVRCTL" auto add GAMMA Web || e2e_fail "qvrctl auto add"
"$QVRCTL" auto add editor Desk || e2e_fail "qvrctl auto add"
"$QVRCTL" auto list | grep -q '^focus: X11' || e2e_fail "qvrctl auto list: $("$QVRCTL" auto list)"

# One settled focus, one upload, the profile it names.
e2e_wait_for "the first focus to settle" e2e_current_is "0 Desk"
e2e_focus_switches 1 Shell xdotool windowactivate --sync "$SHELL_WINDOW"
e2e_focus_switches 2 Web xdotool windowactivate --sync "$WEB_WINDOW"

# A burst through Shell's and Desk's windows that ends on Desk's: one upload,
# Desk's. The burst must be quicker than the settling time to say anything.
before=$(e2e_trace_lines)
start=$(date +%s%N)
xdotool windowactivate --sync "$DESK_WINDOW" windowactivate --sync "$SHELL_WINDOW" \
    windowactivate --sync "$DESK_WINDOW"
took=$((($(date +%s%N) - start) / 1000000))
# A switch to Shell on the way would have reached the mouse before Desk's.
e2e_wait_profile_sent 0 "$before"
e2e_wait_for "the profile to follow the burst's last focus" e2e_current_is "0 Desk"
echo "burst of three focus changes: ${took} ms"
if [ "$took" -lt 450 ]; then
    [ "$(e2e_uploads_since "$before")" -eq 1 ] ||
        e2e_fail "$(e2e_uploads_since "$before") uploads for a burst that settled once"
else
    echo "the burst took ${took} ms, longer than settling; its upload count is not checked"
fi

e2e_shot auto-switch-x11
echo "automatic switching on X11: ok"
