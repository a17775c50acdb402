#!/usr/bin/env bash
# Automatic switching on KDE Plasma and GNOME Shell on Wayland, whose own
# programs cannot run here: stand-ins on a private session bus play KWin's
# scripting (it loads, runs and unloads scripts as KWin 5.27 does, then calls
# back as qvr's script would) and qvr's GNOME Shell extension (it owns its
# name, answers the focus and signals changes). The profile follows the focus
# as on X11, and without KWin or the extension qvr and qvrctl say why.
if [ -z "${E2E_PRIVATE_BUS:-}" ]; then
    command -v dbus-run-session >/dev/null || exit 77
    E2E_PRIVATE_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
. "$(dirname "$0")/e2e_lib.sh"
command -v gdbus >/dev/null && /usr/bin/python3 -c 'from gi.repository import Gio' 2>/dev/null ||
    exit 77

QVRCTL="$QVR_PROGRAM_DIR/qvrctl"
STAND_INS="$(dirname "$0")/desktop_stand_ins.py"
STAND_IN_PID=""
trap 'kill $STAND_IN_PID 2>/dev/null || true; e2e_cleanup' EXIT

e2e_three_profiles
export XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-unused
unset DISPLAY
export XDG_RUNTIME_DIR="$E2E_DIR/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

owned() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner "$1" 2>/dev/null | grep -q true
}
stand_in() {
    /usr/bin/python3 "$STAND_INS" "$@" &
    STAND_IN_PID=$!
}
stop_stand_in() {
    kill "$STAND_IN_PID"
    wait "$STAND_IN_PID" || true
    STAND_IN_PID=""
}
stop_qvr() {
    kill "$E2E_QVR_PID"
    e2e_wait_qvr_exit
}
auto_list_says() { "$QVRCTL" auto list | grep -q -- "$1"; }

# --- KDE Plasma -------------------------------------------------------------
export XDG_CURRENT_DESKTOP=KDE
auto_list_says '^focus: not available .*KWin does not answer' ||
    e2e_fail "qvrctl auto list without KWin: $("$QVRCTL" auto list)"

# A script of ours is loaded already, as a crashed run leaves it.
KWIN_LOG="$E2E_DIR/kwin.log"
stand_in kwin "$KWIN_LOG" --stale
e2e_wait_for "the KWin stand-in" owned org.kde.KWin
e2e_start_qvr_offscreen
grep -q "not available" "$E2E_DIR/qvr.log" && e2e_fail "no focus source: $(cat "$E2E_DIR/qvr.log")"
auto_list_says '^focus: KDE Plasma on Wayland' || e2e_fail "qvrctl auto list: $("$QVRCTL" auto list)"

# By the window's class, then by its name.
"$QVRCTL" auto add org.example.alpha Shell || e2e_fail "qvrctl auto add"
"$QVRCTL" auto add beta-tool Web || e2e_fail "qvrctl auto add"
activate() {
    gdbus call --session --dest org.kde.KWin --object-path /Test \
        --method org.kde.kwin.Test.Activate "$@" >/dev/null
}
e2e_focus_switches 1 Shell activate org.example.alpha alpha 0
e2e_focus_switches 2 Web activate org.example.beta beta-tool 0

# The script goes with qvr; the one left before was unloaded before the load.
stop_qvr
factory=$(cd "$QVR_PROGRAM_DIR/../share/qvr" && pwd)
expected="unloadScript qvr-focus -> True
loadScript $factory/kwin/focus.js qvr-focus -> 1
run /1
unloadScript qvr-focus -> True"
[ "$(cat "$KWIN_LOG")" = "$expected" ] || e2e_fail "KWin was asked: $(cat "$KWIN_LOG")"
stop_stand_in

# --- GNOME Shell ------------------------------------------------------------
export XDG_CURRENT_DESKTOP=ubuntu:GNOME
auto_list_says 'gnome-extensions enable qvr-focus@qvr.github.io' ||
    e2e_fail "qvrctl auto list without the extension: $("$QVRCTL" auto list)"
e2e_start_qvr_offscreen
e2e_wait_file_has "$E2E_DIR/qvr.log" 'not available: .*gnome-extensions enable qvr-focus@qvr\.github\.io'
stop_qvr

"$QVRCTL" auto add gamma Desk || e2e_fail "qvrctl auto add"
# The window focused before qvr starts is asked for once.
stand_in shell Alpha org.example.alpha 0
e2e_wait_for "the extension's stand-in" owned io.github.qvr.ShellFocus
e2e_start_qvr_offscreen
e2e_wait_profile_sent 1 0
e2e_wait_for "the profile to follow the first focus to Shell" e2e_current_is "1 Shell"
auto_list_says '^focus: GNOME Shell on Wayland' || e2e_fail "qvrctl auto list: $("$QVRCTL" auto list)"
focus() {
    gdbus call --session --dest io.github.qvr.ShellFocus --object-path /Test \
        --method io.github.qvr.Test.Focus "$@" >/dev/null
}
e2e_focus_switches 2 Web focus Beta beta-tool 0
e2e_focus_switches 0 Desk focus Gamma gamma 0
stop_qvr
stop_stand_in
echo "automatic switching on KDE Plasma and GNOME Shell stand-ins: ok"
