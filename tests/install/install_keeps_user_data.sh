#!/usr/bin/env bash
# install_keeps_user_data.sh BUILD_DIR: installs into a temporary DESTDIR,
# runs the installed qvr as "nobody" from the read-only prefix with a fresh
# config home, changes a profile, the profile list and the macro store there,
# then regenerates the factory files, installs again, runs again, and checks
# that none of the user's files changed.
set -euo pipefail

build=$1
if [ "$(id -u)" != 0 ] || ! command -v setpriv >/dev/null; then
    echo "needs root and setpriv to become nobody" >&2
    exit 77
fi
work=$(mktemp -d /tmp/qvr-install.XXXXXX)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
chmod 755 "$work"
dest="$work/root"
prefix=/opt/qvr
home="$work/home"
mkdir -p "$home" "$work/run"
chown nobody:nogroup "$home" "$work/run"
chmod 700 "$work/run"
user="$home/.config/qvr"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

install_read_only() {
    chmod -R u+w "$dest" 2>/dev/null || true
    DESTDIR="$dest" cmake --install "$build" --prefix "$prefix" >/dev/null
    chmod -R a-w "$dest"
}

as_nobody() {
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$work/run" \
        QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 "$@"
}

run_qvr() {
    as_nobody timeout 60 env QVR_EXIT_AFTER_FIRST_PAINT=1 \
        "$dest$prefix/bin/qvr" --virtual-mouse >"$work/qvr.log" 2>&1 ||
        fail "installed qvr did not start and end: $(cat "$work/qvr.log")"
}

install_read_only
for f in bin/qvr bin/qvrctl share/qvr/config.bin share/qvr/config0.bin share/qvr/str.ini \
    share/qvr/record.ini share/qvr/Skins/Carbon/main.png; do
    [ -e "$dest$prefix/$f" ] || fail "not installed: $f"
done
paths=$(as_nobody "$dest$prefix/bin/qvrctl" paths)
grep -qx "factory: $dest$prefix/share/qvr" <<<"$paths" || fail "qvrctl paths: $paths"
grep -qx "user: $user" <<<"$paths" || fail "qvrctl paths: $paths"

run_qvr
[ -f "$user/config0.bin" ] || fail "the first start did not fill the user folder"
[ "$(stat -c %a "$user")" = 700 ] || fail "user folder mode $(stat -c %a "$user")"
[ -e "$user/config.bin" ] && fail "config.bin was copied into the user folder"

# The user's own work: a changed profile, a renamed list, a recorded macro.
as_nobody python3 - "$user" <<'PY'
import pathlib, sys
user = pathlib.Path(sys.argv[1])
record = bytearray((user / "config0.bin").read_bytes())
record[100] ^= 0x5A
(user / "config0.bin").write_bytes(bytes(record))
text = (user / "str.ini").read_text()
(user / "str.ini").write_text(text.replace("PROFILE_0", "Work"))
(user / "record.ini").write_text("[Macro_0]\r\nMacroLoopTimes=1\r\nItem0=30,1,0\r\n")
PY
grep -q "Item0=Work" "$user/str.ini" || fail "the list was not renamed"
before=$(cd "$user" && sha256sum config0.bin str.ini record.ini)

"$build/tools/factory/qvrfactory" "$build/share/qvr" >/dev/null
install_read_only
run_qvr
after=$(cd "$user" && sha256sum config0.bin str.ini record.ini)
[ "$before" = "$after" ] || fail "user files changed: $before / $after"
echo "user files kept across a regenerate, reinstall and restart"
