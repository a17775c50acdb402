#!/usr/bin/env bash
# on_weston.sh COMMAND...: runs COMMAND on the wayland platform of a private
# headless weston; skipped (77) where weston is missing.
set -euo pipefail
command -v weston >/dev/null || exit 77
dir=$(mktemp -d /tmp/qvr-weston.XXXXXX)
chmod 700 "$dir"
export XDG_RUNTIME_DIR="$dir"
weston --backend=headless-backend.so --socket=wayland-qvr --width=1280 --height=800 \
    --use-pixman --idle-time=0 >"$dir/weston.log" 2>&1 &
weston_pid=$!
trap 'kill "$weston_pid" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$dir"' EXIT
for _ in $(seq 100); do
    [ -S "$dir/wayland-qvr" ] && break
    kill -0 "$weston_pid" 2>/dev/null || { cat "$dir/weston.log" >&2; exit 1; }
    sleep 0.05
done
[ -S "$dir/wayland-qvr" ] || { echo "weston did not start" >&2; exit 1; }
WAYLAND_DISPLAY=wayland-qvr QT_QPA_PLATFORM=wayland QVR_TEST_QPA=wayland "$@"
