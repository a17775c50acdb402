# End-to-end helpers: a real X server (Xvfb), the real qvr on the virtual
# mouse, real clicks and keys through xdotool, screenshots with ImageMagick.
# Source it from a test script; the test calls e2e_start first. Everything is
# stopped and removed on exit.
set -euo pipefail

: "${QVR_PROGRAM_DIR:?QVR_PROGRAM_DIR must name the program directory of the build}"

E2E_DIR=$(mktemp -d /tmp/qvr-e2e.XXXXXX)
# The build's own program and factory data; the profile files live in a fresh
# user folder per test, so tests never change another run's files.
E2E_QVR="$QVR_PROGRAM_DIR/qvr"
E2E_FACTORY="$QVR_PROGRAM_DIR/../share/qvr"
export XDG_CONFIG_HOME="$E2E_DIR/config"
E2E_PROGRAM="$XDG_CONFIG_HOME/qvr"
E2E_TRACE="$E2E_DIR/trace.txt"
E2E_SHOTS="${QVR_E2E_SHOTS:-$E2E_DIR}"
E2E_XVFB_PID=""
E2E_QVR_PID=""
E2E_WINDOW=""
E2E_TRAYER_PID=""

e2e_cleanup() {
    [ -n "$E2E_QVR_PID" ] && kill "$E2E_QVR_PID" 2>/dev/null || true
    [ -n "$E2E_TRAYER_PID" ] && kill "$E2E_TRAYER_PID" 2>/dev/null || true
    [ -n "$E2E_XVFB_PID" ] && kill "$E2E_XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$E2E_DIR"
}
trap e2e_cleanup EXIT

e2e_fail() {
    echo "FAIL: $*" >&2
    if [ -n "$E2E_WINDOW" ]; then
        import -display "$DISPLAY" -window root "$E2E_DIR/failure.png" 2>/dev/null &&
            cp "$E2E_DIR/failure.png" "/tmp/qvr-e2e-failure-$(basename "$0" .sh).png" &&
            echo "screenshot: /tmp/qvr-e2e-failure-$(basename "$0" .sh).png" >&2
    fi
    exit 1
}

# The user folder filled from the factory data before the start, so tests can
# change a profile file first; qvr would copy the same files itself.
e2e_copy_program() {
    mkdir -p "$E2E_PROGRAM"
    chmod 700 "$E2E_PROGRAM"
    local name
    for name in config0.bin config1.bin config2.bin config3.bin config4.bin config5.bin \
        str.ini str0.ini str1.ini str2.ini str3.ini str4.ini str5.ini record.ini; do
        [ -e "$E2E_PROGRAM/$name" ] || cp "$E2E_FACTORY/$name" "$E2E_PROGRAM/$name"
    done
}

e2e_start_x() {
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x800x24 -noreset -nolisten tcp >"$E2E_DIR/xvfb.log" 2>&1 &
        E2E_XVFB_PID=$!
        for _ in $(seq 50); do
            if xdpyinfo -display ":$n" >/dev/null 2>&1 || xdotool getdisplaygeometry --display ":$n" >/dev/null 2>&1; then
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$E2E_XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$E2E_XVFB_PID" 2>/dev/null || true
    done
    e2e_fail "no X server could be started"
}

# e2e_start [extra qvr arguments]: X server, tray, program copy, qvr, window.
e2e_start() {
    e2e_copy_program
    e2e_start_x
    export XDG_RUNTIME_DIR="$E2E_DIR/runtime"
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    export QT_QPA_PLATFORM=xcb
    if command -v trayer >/dev/null; then
        trayer --edge bottom --align right --widthtype request --height 32 >/dev/null 2>&1 &
        E2E_TRAYER_PID=$!
        sleep 1
    fi
    "$E2E_QVR" --virtual-mouse --trace "$E2E_TRACE" "$@" >"$E2E_DIR/qvr.log" 2>&1 &
    E2E_QVR_PID=$!
    E2E_WINDOW=""
    for _ in $(seq 100); do
        E2E_WINDOW=$(xdotool search --onlyvisible --class VL384-netGMClass 2>/dev/null | head -n 1 || true)
        [ -n "$E2E_WINDOW" ] && break
        kill -0 "$E2E_QVR_PID" 2>/dev/null || e2e_fail "qvr ended early: $(cat "$E2E_DIR/qvr.log")"
        sleep 0.1
    done
    [ -n "$E2E_WINDOW" ] || e2e_fail "the main window did not appear"
    sleep 0.5
}

# e2e_click X Y [BUTTON]: a click at client coordinates of the main window.
e2e_click() {
    xdotool mousemove --window "$E2E_WINDOW" "$1" "$2" click "${3:-1}"
    sleep "${E2E_PAUSE:-0.3}"
}

# e2e_click_in WINDOW X Y: a click at client coordinates of another window.
e2e_click_in() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep "${E2E_PAUSE:-0.3}"
}

# e2e_key KEY...: key presses (xdotool names: a, Return, Control_R, KP_1).
e2e_key() {
    xdotool key --clearmodifiers "$@"
    sleep "${E2E_PAUSE:-0.3}"
}

# e2e_find_window NAME_PART: the newest visible window of qvr whose class or
# name matches, for dialogs.
e2e_find_window() {
    local id=""
    for _ in $(seq 50); do
        id=$(xdotool search --onlyvisible --pid "$E2E_QVR_PID" 2>/dev/null | tail -n 1 || true)
        if [ -n "$id" ] && [ "$id" != "$E2E_WINDOW" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# e2e_shot NAME: a screenshot of the whole screen as $E2E_SHOTS/NAME.png.
e2e_shot() {
    mkdir -p "$E2E_SHOTS"
    import -display "$DISPLAY" -window root "$E2E_SHOTS/$1.png"
}

# e2e_trace_has PATTERN: the virtual mouse's trace holds a line matching it.
e2e_trace_has() {
    grep -E -q "$1" "$E2E_TRACE"
}

e2e_qvr_running() {
    kill -0 "$E2E_QVR_PID" 2>/dev/null
}
