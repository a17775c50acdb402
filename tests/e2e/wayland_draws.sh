#!/usr/bin/env bash
# qvr runs natively on Wayland: under a headless weston it starts and a
# screenshot of the compositor shows its window drawn.
set -euo pipefail
: "${QVR_PROGRAM_DIR:?QVR_PROGRAM_DIR must name the program directory of the build}"
command -v weston >/dev/null && command -v weston-screenshooter >/dev/null || exit 77

dir=$(mktemp -d /tmp/qvr-wayland.XXXXXX)
chmod 700 "$dir"
export XDG_RUNTIME_DIR="$dir"
weston_pid=""
qvr_pid=""
cleanup() {
    [ -n "$qvr_pid" ] && kill "$qvr_pid" 2>/dev/null || true
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
until_true() {
    local what=$1
    shift
    for _ in $(seq 300); do
        "$@" && return 0
        sleep 0.1
    done
    fail "$what"
}

export XDG_CONFIG_HOME="$dir/config"
# --debug: the screenshooter needs it.
weston --backend=headless-backend.so --socket=wayland-qvr --width=1280 --height=800 \
    --use-pixman --idle-time=0 --debug >"$dir/weston.log" 2>&1 &
weston_pid=$!
until_true "weston did not start" test -S "$dir/wayland-qvr"
export WAYLAND_DISPLAY=wayland-qvr

# screenshot NAME: the compositor's picture as $dir/NAME.png.
screenshot() {
    rm -rf "$dir/shots" && mkdir -p "$dir/shots"
    (cd "$dir/shots" && weston-screenshooter >/dev/null 2>&1) || return 1
    local shot
    shot=$(ls "$dir"/shots/wayland-screenshot-*.png 2>/dev/null | head -n 1)
    [ -n "$shot" ] && mv "$shot" "$dir/$1.png"
}
until_true "weston takes no screenshots" screenshot empty

QT_QPA_PLATFORM=wayland "$QVR_PROGRAM_DIR/qvr" --virtual-mouse >"$dir/qvr.log" 2>&1 &
qvr_pid=$!

# Drawn: most of the window's 1000x640 pixels differ from the empty desktop.
drawn() {
    kill -0 "$qvr_pid" 2>/dev/null || fail "qvr ended: $(cat "$dir/qvr.log")"
    screenshot drawn || return 1
    [ "$(convert "$dir/empty.png" "$dir/drawn.png" -compose difference -composite \
        -colorspace gray -threshold 0 -format '%[fx:mean>0.4]' info:)" = 1 ]
}
until_true "no window was drawn on the compositor" drawn
if [ -n "${QVR_E2E_SHOTS:-}" ]; then
    mkdir -p "$QVR_E2E_SHOTS"
    cp "$dir/drawn.png" "$QVR_E2E_SHOTS/wayland.png"
fi
# Still running after its first frame, and a second start reaches it.
QT_QPA_PLATFORM=wayland "$QVR_PROGRAM_DIR/qvr" --virtual-mouse ||
    fail "the second start on Wayland failed"
kill -0 "$qvr_pid" 2>/dev/null || fail "qvr ended after drawing"
echo "wayland draws: ok"
