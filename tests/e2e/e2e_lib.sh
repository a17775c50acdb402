# End-to-end helpers: a real X server (Xvfb), the real qvr on the virtual
# mouse, real clicks and keys through xdotool, screenshots with ImageMagick.
# Source it from a test script; the test calls e2e_start first. Everything is
# stopped and removed on exit.
#
# Every step waits for a condition (a window mapped and drawn, a picture that
# changed, a trace line, a file that changed), never for a fixed time: a
# loaded machine only makes the test slower. E2E_TIMEOUT (seconds) bounds each
# wait and only decides when a test has failed.
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
E2E_TIMEOUT="${QVR_E2E_TIMEOUT:-60}"
E2E_POLL=0.05
E2E_XVFB_PID=""
E2E_QVR_PID=""
E2E_WINDOW=""
# The screen of the X server (E2E_SCREEN=1920x1080x24 with QT_SCALE_FACTOR=2
# runs a script on a screen too small for the window's natural size), and
# the window's pixels per face pixel, read off the main window.
E2E_SCREEN=${E2E_SCREEN:-1280x800x24}
E2E_SCALE=1
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
    [ -s "$E2E_DIR/qvr.log" ] && echo "qvr said: $(cat "$E2E_DIR/qvr.log")" >&2
    exit 1
}

# e2e_wait_for DESCRIPTION COMMAND [ARGUMENTS...]: polls COMMAND until it
# succeeds; fails the test with DESCRIPTION after E2E_TIMEOUT seconds.
e2e_wait_for() {
    local what=$1
    shift
    local deadline=$((SECONDS + E2E_TIMEOUT))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || e2e_fail "timed out waiting for $what"
        sleep "$E2E_POLL"
    done
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

e2e_x_answers() {
    xdpyinfo -display "$1" >/dev/null 2>&1
}

e2e_start_x() {
    local n deadline
    for n in $(seq 90 140); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 "$E2E_SCREEN" -noreset -nolisten tcp >"$E2E_DIR/xvfb.log" 2>&1 &
        E2E_XVFB_PID=$!
        deadline=$((SECONDS + E2E_TIMEOUT))
        while kill -0 "$E2E_XVFB_PID" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do
            if e2e_x_answers ":$n"; then
                export DISPLAY=":$n"
                return 0
            fi
            sleep "$E2E_POLL"
        done
        # Another test took the number first: try the next one.
        kill "$E2E_XVFB_PID" 2>/dev/null || true
        wait "$E2E_XVFB_PID" 2>/dev/null || true
    done
    e2e_fail "no X server could be started"
}

# --- Windows -----------------------------------------------------------------

e2e_window_viewable() {
    xwininfo -display "$DISPLAY" -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

# e2e_window_rect WINDOW: "X Y WIDTH HEIGHT" of the window on the screen.
e2e_window_rect() {
    local X Y WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null | grep -E '^(X|Y|WIDTH|HEIGHT)=[0-9-]+$')" ||
        return 1
    [ -n "${WIDTH:-}" ] || return 1
    echo "$X $Y $WIDTH $HEIGHT"
}

# e2e_picture WINDOW [REGION]: a fingerprint of what the screen shows of the
# window, or of REGION (WxH+X+Y in the window's coordinates). Popups over the
# window count too. Raw pixels, so no time stamp makes two pictures differ.
e2e_picture() {
    local pixels region=""
    [ -n "${2:-}" ] && region=$(e2e_face_region "$2")
    pixels=$(import -display "$DISPLAY" -window "$1" ${region:+-crop "$region" +repage} rgb:- 2>/dev/null | md5sum) ||
        return 1
    echo "${pixels%% *}"
}

# True when the window holds more than one colour: drawn.
e2e_painted() {
    local colours
    colours=$(import -display "$DISPLAY" -window "$1" -format '%k' info: 2>/dev/null) || return 1
    [ "${colours:-0}" -gt 1 ]
}

# e2e_wait_settled WINDOW [REGION]: waits until two pictures in a row are
# the same: every pending paint has been drawn.
e2e_wait_settled() {
    local last="" now deadline=$((SECONDS + E2E_TIMEOUT))
    while :; do
        now=$(e2e_picture "$@") || now=""
        [ -n "$now" ] && [ "$now" = "$last" ] && return 0
        last=$now
        [ "$SECONDS" -lt "$deadline" ] || e2e_fail "window $1 did not settle"
        sleep "$E2E_POLL"
    done
}

# e2e_wait_placed WINDOW: waits until the window stays where it is.
e2e_wait_placed() {
    local last="" now deadline=$((SECONDS + E2E_TIMEOUT))
    while :; do
        now=$(e2e_window_rect "$1") || now=""
        [ -n "$now" ] && [ "$now" = "$last" ] && return 0
        last=$now
        [ "$SECONDS" -lt "$deadline" ] || e2e_fail "window $1 did not come to rest"
        sleep "$E2E_POLL"
    done
}

# e2e_wait_window_shown WINDOW: mapped, viewable, at its final place, and its
# first paint on the screen.
e2e_wait_window_shown() {
    e2e_wait_for "window $1 to be mapped" e2e_window_viewable "$1"
    e2e_wait_placed "$1"
    e2e_wait_for "window $1 to be painted" e2e_painted "$1"
    e2e_wait_settled "$1"
}

e2e_window_gone() {
    ! e2e_window_viewable "$1"
}

# e2e_wait_window_gone WINDOW: unmapped or destroyed.
e2e_wait_window_gone() {
    e2e_wait_for "window $1 to close" e2e_window_gone "$1"
}

# e2e_titled_window TITLE: the first visible window of qvr named exactly
# TITLE (the tray icon is a window of qvr too, so "the newest" is not enough).
e2e_titled_window() {
    xdotool search --all --onlyvisible --pid "$E2E_QVR_PID" --name "^$1\$" 2>/dev/null | head -n 1
}

e2e_titled_window_exists() {
    [ -n "$(e2e_titled_window "$1")" ]
}

# e2e_wait_dialog TITLE: waits for qvr's window of that title to be shown and
# drawn, and prints its id.
e2e_wait_dialog() {
    e2e_wait_for "the window \"$1\"" e2e_titled_window_exists "$1"
    local id
    id=$(e2e_titled_window "$1")
    e2e_wait_window_shown "$id"
    echo "$id"
}

# e2e_wait_region_change WINDOW REGION BEFORE: waits until the picture of
# REGION ("" for the whole window) differs from BEFORE (an e2e_picture
# taken before the action) and then stays the same for one more picture.
e2e_wait_region_change() {
    local window=$1 region=$2 before=$3 last="" now deadline=$((SECONDS + E2E_TIMEOUT))
    while :; do
        now=$(e2e_picture "$window" "$region") || now=""
        [ -n "$now" ] && [ "$now" != "$before" ] && [ "$now" = "$last" ] && return 0
        last=$now
        [ "$SECONDS" -lt "$deadline" ] ||
            e2e_fail "window $window${region:+ region $region} did not change, or did not settle"
        sleep "$E2E_POLL"
    done
}

# --- Input -------------------------------------------------------------------

# Scripts give points and regions in face pixels, the element table's units;
# a window drawn smaller or larger gets them scaled.
e2e_face() {
    # The middle of the face pixel, so the program maps it back to that pixel.
    awk -v s="$E2E_SCALE" -v x="$1" -v y="$2" 'BEGIN { printf "%d %d\n", (x + 0.5) * s, (y + 0.5) * s }'
}

# e2e_face_region WxH+X+Y
e2e_face_region() {
    awk -v s="$E2E_SCALE" -v r="$1" 'BEGIN {
        split(r, p, /[x+]/)
        printf "%dx%d+%d+%d\n", p[1] * s + 0.999, p[2] * s + 0.999, p[3] * s, p[4] * s }'
}

# e2e_move WINDOW X Y [xdotool commands...]: the pointer to a face point.
e2e_move() {
    local window=$1 x y
    read -r x y <<<"$(e2e_face "$2" "$3")"
    shift 3
    xdotool mousemove --window "$window" "$x" "$y" "$@"
}

# e2e_press WINDOW X Y [BUTTON]: a click at client coordinates of WINDOW that
# waits for nothing; follow it with a wait for what it should do.
e2e_press() {
    e2e_move "$1" "$2" "$3" click "${4:-1}"
}

# e2e_click_in WINDOW X Y [REGION]: a click that changes WINDOW (or REGION of
# it); returns once the change is drawn.
e2e_click_in() {
    local before
    before=$(e2e_picture "$1" "${4:-}") || e2e_fail "window $1 cannot be seen"
    e2e_press "$1" "$2" "$3"
    e2e_wait_region_change "$1" "${4:-}" "$before"
}

# e2e_click X Y [REGION]: the same on the main window.
e2e_click() {
    e2e_click_in "$E2E_WINDOW" "$@"
}

# e2e_hover_in WINDOW X Y: moves the pointer there and waits for the
# highlight (or popup) it brings up to be drawn.
e2e_hover_in() {
    local before
    before=$(e2e_picture "$1") || e2e_fail "window $1 cannot be seen"
    e2e_move "$1" "$2" "$3"
    e2e_wait_region_change "$1" "" "$before"
}

# e2e_key_in WINDOW KEY...: key presses (xdotool names: a, Return, Control_R,
# KP_1) that change WINDOW, one at a time, each waited for. The pointer must
# be over WINDOW: without a window manager the keyboard follows the pointer.
e2e_key_in() {
    local window=$1 key before
    shift
    for key in "$@"; do
        before=$(e2e_picture "$window") || e2e_fail "window $window cannot be seen"
        xdotool key --clearmodifiers "$key"
        e2e_wait_region_change "$window" "" "$before"
    done
}

# --- Trace and files -----------------------------------------------------------

# e2e_trace_lines: how many lines the trace holds now; pass it to the waits
# below to look only at what came after.
e2e_trace_lines() {
    wc -l <"$E2E_TRACE"
}

# e2e_trace_has PATTERN [AFTER_LINES]: a trace line matching PATTERN.
e2e_trace_has() {
    tail -n +"$((${2:-0} + 1))" "$E2E_TRACE" | grep -E -q "$1"
}

# e2e_wait_trace PATTERN [AFTER_LINES]: waits for such a line.
e2e_wait_trace() {
    e2e_wait_for "a trace line matching '$1'" e2e_trace_has "$@"
}

# e2e_trace_since AFTER_LINES: the trace lines written after that count.
# Take them into a variable and read that with a here-string: in a pipe, a
# reader that stops at its first match (awk's exit, grep -q) can leave tail
# writing into a closed pipe, and with pipefail that ends the script silently.
e2e_trace_since() {
    tail -n +"$(($1 + 1))" "$E2E_TRACE"
}

# e2e_file_state FILE: a fingerprint of the file's content ("absent" when
# there is none), to compare with after an action.
e2e_file_state() {
    if [ -e "$1" ]; then md5sum <"$1" | cut -d' ' -f1; else echo absent; fi
}

# e2e_wait_file_change FILE BEFORE: waits until FILE's e2e_file_state
# differs from BEFORE.
e2e_wait_file_change() {
    local file=$1 before=$2
    e2e_file_differs() { [ "$(e2e_file_state "$file")" != "$before" ]; }
    e2e_wait_for "$file to change" e2e_file_differs
}

# e2e_wait_file_has FILE PATTERN: waits for a line of FILE matching PATTERN.
e2e_wait_file_has() {
    e2e_file_matches() { [ -e "$1" ] && grep -E -q "$2" "$1"; }
    e2e_wait_for "$1 to hold '$2'" e2e_file_matches "$1" "$2"
}

# --- The program ---------------------------------------------------------------

e2e_qvr_running() {
    kill -0 "$E2E_QVR_PID" 2>/dev/null
}

e2e_qvr_ended() {
    ! e2e_qvr_running
}

# e2e_wait_qvr_exit: waits for qvr to end and puts its exit status into
# E2E_QVR_STATUS (not printed: a subshell could not collect it).
e2e_wait_qvr_exit() {
    e2e_wait_for "qvr to end" e2e_qvr_ended
    E2E_QVR_STATUS=0
    wait "$E2E_QVR_PID" || E2E_QVR_STATUS=$?
    E2E_QVR_PID=""
}

# The tray icon is a window of the same class: the main window is the
# largest one.
e2e_main_window() {
    e2e_qvr_running || e2e_fail "qvr ended early"
    local id rect w h best=0
    E2E_WINDOW=""
    for id in $(xdotool search --onlyvisible --class VL384-netGMClass 2>/dev/null || true); do
        rect=$(e2e_window_rect "$id") || continue
        read -r _ _ w h <<<"$rect"
        if [ $((w * h)) -gt "$best" ]; then
            best=$((w * h))
            E2E_WINDOW=$id
        fi
    done
    [ "$best" -ge $((200 * 200)) ] || return 1
    read -r _ _ w _ <<<"$(e2e_window_rect "$E2E_WINDOW")"
    E2E_SCALE=$(awk -v w="$w" 'BEGIN { print w / 1000 }')
}

# The main window lies wholly on the screen.
e2e_on_screen() {
    local x y w h sw sh
    read -r x y w h <<<"$(e2e_window_rect "$1")"
    read -r sw sh <<<"$(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')"
    [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le "$sw" ] && [ $((y + h)) -le "$sh" ]
}

e2e_tray_shown() {
    [ -n "$(xdotool search --onlyvisible --pid "$E2E_TRAYER_PID" 2>/dev/null | head -n 1)" ] ||
        [ -n "$(xdotool search --onlyvisible --class trayer 2>/dev/null | head -n 1)" ]
}

# e2e_start [extra qvr arguments]: X server, tray, program copy, qvr, and its
# main window shown and drawn; the open sequence has reached the mouse and the
# window has drawn its answer (the search runs while the window comes up).
# e2e_prepare_session: the user folder, an X server, a private runtime folder
# (the single-instance lock lives there) and Qt on X11; no program yet.
e2e_prepare_session() {
    e2e_copy_program
    e2e_start_x
    export XDG_RUNTIME_DIR="$E2E_DIR/runtime"
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    export QT_QPA_PLATFORM=xcb
}

e2e_start() {
    e2e_prepare_session
    if command -v trayer >/dev/null; then
        trayer --edge bottom --align right --widthtype request --height 32 >/dev/null 2>&1 &
        E2E_TRAYER_PID=$!
        e2e_wait_for "the tray" e2e_tray_shown
    fi
    e2e_start_qvr "$@"
}

# e2e_start_qvr [extra qvr arguments]: qvr again in the session e2e_start
# made, after the last one ended.
e2e_start_qvr() {
    "$E2E_QVR" --virtual-mouse --trace "$E2E_TRACE" "$@" >"$E2E_DIR/qvr.log" 2>&1 &
    E2E_QVR_PID=$!
    e2e_wait_for "the main window" e2e_main_window
    e2e_wait_window_shown "$E2E_WINDOW"
    # The trace is emptied at start: the new program's open sequence.
    e2e_wait_trace '^set-feature 00 01 fc'
    e2e_wait_settled "$E2E_WINDOW"
}

# e2e_question: a message box of qvr, titled as the main window is.
e2e_question() {
    local id
    for id in $(xdotool search --all --onlyvisible --pid "$E2E_QVR_PID" --name '^QVR 2\.7$' 2>/dev/null); do
        [ "$id" != "$E2E_WINDOW" ] && echo "$id" && return 0
    done
    return 1
}
e2e_question_shown() {
    [ -n "$(e2e_question)" ]
}
# e2e_wait_question: waits for one to be shown and drawn, and prints its id.
e2e_wait_question() {
    e2e_wait_for "a question" e2e_question_shown
    local id
    id=$(e2e_question)
    e2e_wait_window_shown "$id"
    echo "$id"
}

# e2e_answer WINDOW KEY: a key pressed in a message box, which then goes.
e2e_answer() {
    xdotool mousemove --window "$1" 20 20
    xdotool key --clearmodifiers "$2"
    e2e_wait_window_gone "$1"
}

# e2e_shot NAME: a screenshot of the whole screen as $E2E_SHOTS/NAME.png.
e2e_shot() {
    mkdir -p "$E2E_SHOTS"
    import -display "$DISPLAY" -window root "$E2E_SHOTS/$1.png"
}

# --- Under a window manager ---------------------------------------------------

# e2e_until DESCRIPTION COMMAND...: polls COMMAND for up to 10 s.
e2e_until() {
    local what=$1
    shift
    for _ in $(seq 200); do
        "$@" && return 0
        sleep 0.05
    done
    e2e_fail "$what"
}

# e2e_start_openbox: a window manager, so minimising means something; it is
# stopped with the rest at exit.
e2e_start_openbox() {
    openbox >"$E2E_DIR/openbox.log" 2>&1 &
    E2E_OPENBOX_PID=$!
    trap 'kill "$E2E_OPENBOX_PID" 2>/dev/null || true; e2e_cleanup' EXIT
    e2e_until "openbox did not start" \
        sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"'
}

# e2e_find_main_by_size: the main window by its exact size (the tray icon's
# window shares its class) into E2E_WINDOW.
e2e_find_main_by_size() {
    local id
    for id in $(xdotool search --onlyvisible --class VL384-netGMClass 2>/dev/null); do
        if xdotool getwindowgeometry "$id" | grep -q "Geometry: 1000x640"; then
            E2E_WINDOW=$id
            return 0
        fi
    done
    return 1
}

# --- Automatic switching --------------------------------------------------------

# e2e_three_profiles: the user folder with Desk, Shell and Web, told apart on
# the mouse by their report rate codes 0, 1 and 2 (byte 5 of the record,
# after the file's flag); Desk is current.
e2e_three_profiles() {
    e2e_copy_program
    local position
    for position in 0 1 2; do
        printf "\\x0$position" | dd of="$E2E_PROGRAM/config$position.bin" bs=1 seek=6 conv=notrunc 2>/dev/null
    done
    sed -i '/^\[Profile\]/,/^\r\?$/d' "$E2E_PROGRAM/str.ini"
    printf '\r\n[Profile]\r\nCurProfileName=Desk\r\nItemCount=3\r\nItem0=Desk\r\nItem1=Shell\r\nItem2=Web\r\n' \
        >>"$E2E_PROGRAM/str.ini"
}

# e2e_current_is "POSITION NAME": qvrctl names that profile as current.
e2e_current_is() {
    [ "$("$QVR_PROGRAM_DIR/qvrctl" profile current 2>/dev/null)" = "$1" ]
}

# e2e_uploads_since AFTER_LINES: how many profile uploads began since.
e2e_uploads_since() {
    grep -E -c '^set-feature 00 02 ' <<<"$(e2e_trace_since "$1")" || true
}

# e2e_wait_profile_sent POSITION AFTER_LINES: waits for that profile's upload.
e2e_wait_profile_sent() {
    e2e_wait_trace "^set-feature 00 03 [0-9a-f]{2} 0$1" "$2"
}

# e2e_focus_switches POSITION NAME COMMAND...: COMMAND moves the focus; then
# that profile reaches the mouse in one upload and is the current one.
e2e_focus_switches() {
    local position=$1 name=$2 before
    shift 2
    before=$(e2e_trace_lines)
    "$@"
    e2e_wait_profile_sent "$position" "$before"
    e2e_wait_for "the profile to follow the focus to $name" e2e_current_is "$position $name"
    [ "$(e2e_uploads_since "$before")" -eq 1 ] ||
        e2e_fail "$(e2e_uploads_since "$before") uploads for one switch to $name"
}

e2e_qvr_opened() {
    [ -e "$E2E_TRACE" ] && e2e_trace_has '^set-feature 00 01 fc'
}

# e2e_start_qvr_offscreen: qvr drawn offscreen, for sessions whose screen
# the test does not look at; returns once its open sequence reached the
# mouse. The trace starts anew.
e2e_start_qvr_offscreen() {
    rm -f "$E2E_TRACE"
    QT_QPA_PLATFORM=offscreen "$E2E_QVR" --virtual-mouse --trace "$E2E_TRACE" >"$E2E_DIR/qvr.log" 2>&1 &
    E2E_QVR_PID=$!
    e2e_wait_for "qvr's open sequence" e2e_qvr_opened
}
