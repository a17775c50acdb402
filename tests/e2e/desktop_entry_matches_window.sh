#!/usr/bin/env bash
# The desktop entry's StartupWMClass is the class the window really has, so
# docks and task lists group the window under the menu entry.
. "$(dirname "$0")/e2e_lib.sh"
entry="$(dirname "$0")/../../resources/qvr.desktop"

e2e_start
wm_class=$(xprop -id "$E2E_WINDOW" WM_CLASS) || e2e_fail "no WM_CLASS on the window"
class=$(sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\([^"]*\)"$/\1/p' <<<"$wm_class")
wanted=$(sed -n 's/^StartupWMClass=//p' "$entry")
[ -n "$class" ] && [ "$class" = "$wanted" ] || e2e_fail "window class '$wm_class', desktop entry '$wanted'"
grep -qx "StartupNotify=true" "$entry" || e2e_fail "the entry does not ask for startup notification"
echo "desktop entry matches the window: ok"
