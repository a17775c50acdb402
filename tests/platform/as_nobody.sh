#!/usr/bin/env bash
# as_nobody.sh [--full-disk] PROGRAM ARGS...: runs PROGRAM as the user
# "nobody" (permission bits mean nothing to root). With --full-disk it gets a
# 256 KiB tmpfs in QVR_FULL_DISK_DIR, mounted in a private mount namespace.
# A GoogleTest program whose cases were all skipped, or that ran none, ends
# with 77, which ctest reports as skipped rather than passed.
set -euo pipefail

full_disk=""
if [ "${1:-}" = "--full-disk" ]; then
    full_disk=1
    shift
fi
if [ "$(id -u)" != 0 ] || ! command -v setpriv >/dev/null; then
    echo "needs root and setpriv to become nobody" >&2
    exit 77
fi
work=$(mktemp -d /tmp/qvr-nobody.XXXXXX)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir "$work/tmp" "$work/disk"
chown nobody:nogroup "$work/tmp"
become=(setpriv --reuid=nobody --regid=nogroup --clear-groups env TMPDIR="$work/tmp" HOME="$work/tmp")

# A build tree under a folder nobody cannot enter (/root is 0700) is out of
# its reach: run a copy instead.
if ! "${become[@]}" test -x "$1"; then
    mkdir "$work/bin"
    cp "$1" "$work/bin/"
    program="$work/bin/$(basename "$1")"
    shift
    set -- "$program" "$@"
fi

run() {
    if [ -z "$full_disk" ]; then
        "${become[@]}" "$@"
        return
    fi
    if ! unshare -m true 2>/dev/null; then
        echo "cannot make a private mount namespace here" >&2
        return 77
    fi
    # shellcheck disable=SC2016
    unshare -m bash -c '
        disk=$1; shift
        mount -t tmpfs -o size=256k,mode=0755 qvr-full "$disk"
        chown nobody:nogroup "$disk"
        export QVR_FULL_DISK_DIR="$disk"
        exec "$@"' full-disk "$work/disk" "${become[@]}" "$@"
}

status=0
run "$@" >"$work/out" 2>&1 || status=$?
cat "$work/out"
if [ "$status" = 0 ] && grep -qE '^\[  PASSED  \] 0 tests|^\[  SKIPPED \]' "$work/out"; then
    exit 77
fi
exit "$status"
