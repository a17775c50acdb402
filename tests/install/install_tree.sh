#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks the installed tree as
# a distribution would: every file in place, the desktop entry and the
# AppStream metainfo valid, manual pages free of groff warnings and naming
# every command and option the programs know, icons at their sizes, the
# completion offering every command, one version everywhere. With "package",
# also makes the Debian package and has lintian check it: an error or a
# warning fails, except for the tags the package's own overrides file
# silences, each with its reason.
# Usage: install_tree.sh BUILD_DIR [package]
set -euo pipefail
build=$1
package=${2:-}
dest=$(mktemp -d /tmp/qvr-install.XXXXXX)
trap 'rm -rf "$dest"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

DESTDIR="$dest" cmake --install "$build" --prefix /usr >"$dest.log" 2>&1 || {
    cat "$dest.log" >&2
    rm -f "$dest.log"
    echo "FAIL: cmake --install" >&2
    exit 1
}
rm -f "$dest.log"
root=$dest/usr

appstream_id=io.github.qvr.qvr
extension=share/gnome-shell/extensions/qvr-focus@qvr.github.io
expected=(
    bin/qvr bin/qvrctl
    share/qvr/config.bin share/qvr/str.ini share/qvr/record.ini
    share/applications/qvr.desktop
    share/metainfo/$appstream_id.metainfo.xml
    share/icons/hicolor/scalable/apps/qvr.svg
    share/man/man1/qvr.1.gz share/man/man1/qvrctl.1.gz
    share/bash-completion/completions/qvrctl
    lib/udev/rules.d/70-qvr-mouse.rules
    share/doc/qvr/copyright share/doc/qvr/changelog.gz
    share/lintian/overrides/qvr
    share/qvr/kwin/focus.js "$extension/metadata.json" "$extension/extension.js"
)
sizes=(16 22 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/qvr.png")
done
for file in "${expected[@]}"; do
    [ -f "$root/$file" ] || fail "not installed: $file"
done

desktop-file-validate "$root/share/applications/qvr.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --explain "$root/share/metainfo/$appstream_id.metainfo.xml" ||
    fail "appstreamcli validate"
grep -q '<launchable type="desktop-id">qvr.desktop</launchable>' \
    "$root/share/metainfo/$appstream_id.metainfo.xml" || fail "metainfo does not launch qvr.desktop"

# GNOME Shell loads an extension only from the folder of its uuid and for
# the versions it names; both scripts must at least parse (node, where it is
# there: the desktops' own engines are not).
/usr/bin/python3 - "$root/$extension" <<'PY' || fail "the GNOME Shell extension's metadata.json"
import json, os, sys
meta = json.load(open(os.path.join(sys.argv[1], "metadata.json")))
assert meta["uuid"] == os.path.basename(sys.argv[1]), meta["uuid"]
assert {"43", "44"} <= set(meta["shell-version"]), meta["shell-version"]
PY
if command -v node >/dev/null; then
    for script in share/qvr/kwin/focus.js "$extension/extension.js"; do
        node --check "$root/$script" || fail "$script does not parse"
    done
else
    echo "node is not installed: the scripts' syntax is not checked"
fi

# A PNG's width and height sit at bytes 16..23 of its header.
for size in "${sizes[@]}"; do
    png=$root/share/icons/hicolor/${size}x${size}/apps/qvr.png
    [ -f "$png" ] || continue
    read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
        awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
    [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "qvr.png in ${size}x${size} is ${width}x${height}"
done
grep -q 'viewBox="0 0 64 64"' "$root/share/icons/hicolor/scalable/apps/qvr.svg" || fail "SVG icon has no 64-unit view box"

grep -q 'TAG+="uaccess"' "$root/lib/udev/rules.d/70-qvr-mouse.rules" &&
    grep -q 'ATTRS{idVendor}=="04d9", ATTRS{idProduct}=="a0f4"' "$root/lib/udev/rules.d/70-qvr-mouse.rules" ||
    fail "udev rule lost its device match or uaccess tag"

# The programs' own help is the list of what the pages and the completion must know.
qvrctl=$root/bin/qvrctl
qvr=$root/bin/qvr
[ -x "$qvrctl" ] || qvrctl=$build/bin/qvrctl
[ -x "$qvr" ] || qvr=$build/bin/qvr
ctl_commands=$("$qvrctl" --help | awk '/^Commands:/ { on = 1; next } /^$/ { on = 0 } on && /^  [a-z]/ { print $1 }')
ctl_options=$("$qvrctl" --help | grep -oE -- '--[a-z-]+' | sort -u)
qvr_options=$(env -u DISPLAY -u WAYLAND_DISPLAY "$qvr" --help | grep -oE -- '(^| )--[a-z-]+' | tr -d ' ' | sort -u)
[ -n "$ctl_commands" ] && [ -n "$ctl_options" ] && [ -n "$qvr_options" ] || fail "cannot read the programs' help"

for page in qvr qvrctl; do
    file=$root/share/man/man1/$page.1.gz
    [ -f "$file" ] || continue
    warnings=$(zcat "$file" | LC_ALL=C.UTF-8 groff -man -ww -z -Tutf8 2>&1) || true
    [ -z "$warnings" ] || fail "$page.1: $warnings"
    text=$(zcat "$file" | LC_ALL=C.UTF-8 MANWIDTH=200 man -l - 2>/dev/null | col -b)
    for section in "EXIT STATUS" FILES "SEE ALSO"; do
        grep -q "^$section" <<<"$text" || fail "$page.1 has no $section section"
    done
    grep -q "rules.d/70-qvr-mouse.rules" <<<"$text" || fail "$page.1 does not name the udev rule"
    grep -q 'XDG_CONFIG_HOME:-$HOME/.config}/qvr/' <<<"$text" || fail "$page.1 does not name the user folder"
done
qvr_page=$(zcat "$root/share/man/man1/qvr.1.gz" 2>/dev/null | man -l - 2>/dev/null | col -b || true)
ctl_page=$(zcat "$root/share/man/man1/qvrctl.1.gz" 2>/dev/null | man -l - 2>/dev/null | col -b || true)
for option in $qvr_options; do
    grep -qe "$option" <<<"$qvr_page" || fail "qvr.1 does not describe $option"
done
for option in $ctl_options; do
    grep -qe "$option" <<<"$ctl_page" || fail "qvrctl.1 does not describe $option"
done
for command in $ctl_commands; do
    grep -qE "^ +$command( |$)" <<<"$ctl_page" || fail "qvrctl.1 does not describe the command $command"
done
# A .TP heading is one input line; a longer one spills into the body.
grep -qE '^ +listen \[--count N\]$' <<<"$ctl_page" || fail "qvrctl.1 breaks the heading of listen [--count N]"

# The completion, asked as bash asks it.
complete_words() {
    bash -c '. "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _qvrctl; printf "%s\n" "${COMPREPLY[@]}"' \
        _ "$root/share/bash-completion/completions/qvrctl" "$@" 2>/dev/null
}
offered=$(complete_words qvrctl "")
for command in $ctl_commands; do
    grep -qx "$command" <<<"$offered" || fail "completion does not offer the command $command"
done
offered=$(complete_words qvrctl --)
for option in $ctl_options; do
    [ "$option" = --count ] || [ "$option" = --wait ] && continue
    grep -qx -- "$option" <<<"$offered" || fail "completion does not offer $option"
done
[ "$(complete_words qvrctl --trace /tmp/t sh)" = show ] || fail "completion loses the command after --trace FILE"
grep -qx 3 <<<"$(complete_words qvrctl show "")" || fail "completion offers no profile numbers for show"
[ "$(complete_words qvrctl listen --c)" = --count ] || fail "completion does not offer listen --count"
[ "$(complete_words qvrctl profile sw)" = switch ] || fail "completion does not offer profile switch"
[ "$(complete_words qvrctl profile switch 0 --w)" = --wait ] || fail "completion does not offer profile --wait"
grep -qx -- --virtual-mouse <<<"$(complete_words qvrctl upload 0 --vi)" || fail "completion offers no options after the command"
grep -qx 3 <<<"$(complete_words qvrctl upload --virtual-mouse --trace /tmp/t "")" ||
    fail "completion loses upload's argument after options"
[ -z "$(complete_words qvrctl upload 0 "")" ] || fail "completion offers a second argument to upload"

# One version: the programs, the pages and the metainfo's newest release.
qvr_version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$qvr" --version)
ctl_version=$("$qvrctl" --version)
version=${ctl_version#qvrctl }
[ "$qvr_version" = "qvr $version" ] || fail "qvr says '$qvr_version', qvrctl says '$ctl_version'"
grep -q "<release version=\"$version\"" "$root/share/metainfo/$appstream_id.metainfo.xml" ||
    fail "metainfo has no release $version"
for page in qvr qvrctl; do
    zcat "$root/share/man/man1/$page.1.gz" | grep -q "^\.TH .*\"qvr $version\"" || fail "$page.1 is not of version $version"
done
zcat "$root/share/doc/qvr/changelog.gz" | head -n 1 | grep -q "^qvr ($version) " || fail "changelog.gz does not begin with version $version"

if [ "$package" = package ]; then
    cpack -G DEB -B "$dest/package" --config "$build/CPackConfig.cmake" >"$dest/cpack.log" 2>&1 ||
        { cat "$dest/cpack.log" >&2; fail "cpack"; }
    deb=$(ls "$dest"/package/qvr_*.deb 2>/dev/null | head -n 1)
    if [ -n "$deb" ]; then
        # Without the platform plugins (only recommended by libqt6gui6) the window cannot start.
        dpkg-deb -f "$deb" Depends | grep -qw qt6-qpa-plugins || fail "the package does not depend on qt6-qpa-plugins"
        # The pointer settings go through GIO in the process: its library, the
        # mouse schema, and no settings program.
        dpkg-deb -f "$deb" Depends | grep -qw libglib2.0-0 || fail "the package does not depend on libglib2.0-0"
        dpkg-deb -f "$deb" Recommends | grep -qw gsettings-desktop-schemas ||
            fail "the package does not recommend gsettings-desktop-schemas"
        ! dpkg-deb -f "$deb" Depends Recommends | grep -qw libglib2.0-bin || fail "the package asks for libglib2.0-bin"
        lintian --fail-on error,warning "$deb" 2> >(grep -v "running with root privileges" >&2) ||
            fail "lintian $(basename "$deb")"
    fi
fi

[ "$failures" -eq 0 ] || exit 1
echo "installed tree: ${#expected[@]} files, both validators, pages, completion, version $version${package:+, package and lintian}: ok"
