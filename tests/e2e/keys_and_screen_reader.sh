#!/usr/bin/env bash
# Without a pointer: a screen reader finds every control of the main window
# and of each dialog by role and name over AT-SPI, and Save pressed through
# its action uploads. Then, with keys alone (xdotool), a key combination is
# assigned to button 5 through the combination dialog, DPI stage 1 is raised
# and Save is pressed: the upload and the profile file hold both.
#
# Runs in a private session bus with the accessibility bus started at once,
# as a desktop with a screen reader has them.
if [ -z "${QVR_E2E_IN_SESSION:-}" ]; then
    command -v dbus-run-session >/dev/null && [ -x /usr/libexec/at-spi-bus-launcher ] &&
        /usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
        { echo "SKIP: dbus-run-session, at-spi2-core or gir1.2-atspi-2.0 missing"; exit 77; }
    QVR_E2E_IN_SESSION=1 exec dbus-run-session -- bash "$0" "$@"
fi
. "$(dirname "$0")/e2e_lib.sh"

# Save applies pointer settings; keep them away from the desktop running the test.
export GSETTINGS_BACKEND=memory
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_DIR/atspi.log" 2>&1 &
ATSPI_PID=$!
trap 'kill "$ATSPI_PID" 2>/dev/null || true; e2e_cleanup' EXIT

# atspi COMMAND WINDOW [ROLE NAME]...: asks the program's accessible tree.
#   has WINDOW (ROLE NAME)...  every control is there and shown
#   press WINDOW ROLE NAME     its press action
#   checked WINDOW ROLE NAME   the control is checked
#   focused                    prints the name of the control the keyboard is on
# WINDOW is a top-level window's accessible name (its title). The system's
# python, since another python3 may come first on the PATH.
atspi() {
    /usr/bin/python3 - "$@" <<'PY'
import sys
import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi

def program():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == "QVR 2.7":
            return app
    sys.exit(2)

def shown(node):
    return node.get_state_set().contains(Atspi.StateType.VISIBLE)

def walk(node, depth=0):
    yield node
    if depth < 12:
        for i in range(node.get_child_count()):
            child = node.get_child_at_index(i)
            if child is not None:
                yield from walk(child, depth + 1)

def window(title):
    app = program()
    for i in range(app.get_child_count()):
        top = app.get_child_at_index(i)
        if top is not None and top.get_name() == title and shown(top):
            return top
    sys.exit(3)

def control(title, role, name):
    for node in walk(window(title)):
        if node.get_role_name() == role and node.get_name() == name and shown(node):
            return node
    return None

command, args = sys.argv[1], sys.argv[2:]
if command == "has":
    missing = [f"{r}:{n}" for r, n in zip(args[1::2], args[2::2]) if control(args[0], r, n) is None]
    if missing:
        print("missing: " + ", ".join(missing), file=sys.stderr)
        sys.exit(1)
elif command == "press":
    node = control(*args)
    sys.exit(0 if node is not None and Atspi.Action.do_action(node, 0) else 1)
elif command == "checked":
    node = control(*args)
    sys.exit(0 if node is not None and node.get_state_set().contains(Atspi.StateType.CHECKED) else 1)
elif command == "focused":
    # In the active window: another window keeps its place for when it is back.
    app = program()
    tops = [app.get_child_at_index(i) for i in range(app.get_child_count())]
    tops = [top for top in tops if top is not None and shown(top)]
    tops.sort(key=lambda top: not top.get_state_set().contains(Atspi.StateType.ACTIVE))
    for top in tops:
        for node in walk(top):
            states = node.get_state_set()
            if states.contains(Atspi.StateType.FOCUSED) and node.get_child_count() == 0:
                print(node.get_name())
                sys.exit(0)
PY
}

# e2e_wait_controls WINDOW (ROLE NAME)...: waits until a screen reader finds them.
e2e_wait_controls() {
    e2e_wait_for "controls of '$1': $*" atspi has "$@"
}

# tab_to WINDOW_ID NAME: Tab until the keyboard is on NAME, as a screen
# reader hears it; each Tab waited for.
tab_to() {
    local window=$1 name=$2 n
    for n in $(seq 80); do
        [ "$(atspi focused)" = "$name" ] && return 0
        e2e_key_in "$window" Tab
    done
    e2e_fail "Tab never reached '$name'"
}

# key WINDOW_ID KEY...: keys that change what WINDOW shows, each waited for.
key() {
    e2e_key_in "$@"
}

e2e_start
main="QVR 2.7"

# --- The screen reader's part --------------------------------------------------

e2e_wait_controls "$main" "push button" Save "push button" Cancel "push button" Reset \
    "push button" Help "push button" Minimise "push button" Close "push button" Config \
    "page tab" Front "page tab" Side "push button" "Button Assignment" \
    "push button" "Macro Manager" "push button" "X/Y Sensitivity Setting" \
    "push button" "DPI Setting" "push button" Lighting "push button" "USB Report Rate"
atspi press "$main" "push button" "Button Assignment"
e2e_wait_controls "$main" "combo box" "Button 1" "combo box" "Button 5" "combo box" "Button 8"
atspi press "$main" "push button" "DPI Setting"
atspi press "$main" "push button" "X/Y Sensitivity Setting"
e2e_wait_controls "$main" slider "DPI Setting 1" slider "DPI Setting 4" \
    "push button" "Colour of DPI stage 2" text "DPI Setting 3" slider "X axis" slider "Y axis"
atspi press "$main" "push button" "DPI Setting"
atspi press "$main" "push button" Lighting
e2e_wait_controls "$main" "radio button" Standard "radio button" Respiration "radio button" Neon
atspi checked "$main" "radio button" Standard || e2e_fail "the lighting mode is not read as checked"
atspi press "$main" "push button" Lighting
atspi press "$main" "push button" "USB Report Rate"
e2e_wait_controls "$main" slider "USB Report Rate"
atspi press "$main" "push button" "USB Report Rate"
atspi press "$main" "push button" Help
e2e_wait_controls "$main" "radio button" English "radio button" "简体中文" "radio button" "繁體中文"
atspi press "$main" "push button" Help

atspi press "$main" "push button" "Macro Manager"
e2e_wait_controls "Macro Manager" "push button" "Start Recording" "push button" New \
    "push button" Delete "push button" OK "push button" Cancel "push button" Close \
    "check box" "Record delays between key commands" "check box" "Loop Times" list "" text ""
e2e_shot reader-macro-manager
manager=$(e2e_titled_window "Macro Manager")
atspi press "Macro Manager" "push button" Cancel
e2e_wait_window_gone "$manager"

atspi press "$main" "push button" Config
e2e_wait_controls "Configuration" "push button" New "push button" Close list ""
profiles=$(e2e_titled_window "Configuration")
atspi press "Configuration" "push button" Close
e2e_wait_window_gone "$profiles"

lines_before=$(e2e_trace_lines)
atspi press "$main" "push button" Save
e2e_wait_trace '^set-feature 00 0d' "$lines_before"
echo "screen reader: ok"

# --- The keyboard's part -------------------------------------------------------

# Without a window manager the keyboard follows the pointer; it rests on an
# empty part of the window and moves no more.
e2e_move "$E2E_WINDOW" 500 625
tab_to "$E2E_WINDOW" "Button 1"
for _ in 1 2 3 4; do key "$E2E_WINDOW" Down; done
[ "$(atspi focused)" = "Button 5" ] || e2e_fail "Down did not reach button 5"
key "$E2E_WINDOW" space                           # the function list
e2e_shot keys-function-list
for _ in $(seq 12); do key "$E2E_WINDOW" Down; done # Combo Key, the 12th entry
xdotool key Return
dialog=$(e2e_wait_dialog 'Combo Key') || e2e_fail "the combination dialog did not open"
e2e_move "$dialog" 200 120
e2e_wait_controls "Combo Key" "combo box" Modifier "push button" "Key 1" "push button" "Key 2" \
    "push button" OK "push button" Cancel "push button" Close
e2e_shot keys-combo-dialog
key "$dialog" space Down space                   # Left Ctrl from the modifier list
key "$dialog" Tab space                          # key 1 takes the next key
key "$dialog" Return                             # Enter, taken like any key
[ "$(atspi focused)" = "OK" ] || e2e_fail "the keyboard is not on OK after the capture"
e2e_shot keys-combo-captured
xdotool key space
e2e_wait_window_gone "$dialog"
e2e_move "$E2E_WINDOW" 500 625
[ "$(atspi focused)" = "Button 5" ] || e2e_fail "the keyboard did not come back to button 5"

tab_to "$E2E_WINDOW" "DPI Setting"
key "$E2E_WINDOW" space                          # opens the section
tab_to "$E2E_WINDOW" "DPI Setting 1"
e2e_shot keys-dpi-stage
# The profile file holds stage 1 at byte 0x07 of the record, after its flag.
byte_of_profile() {
    od -An -tu1 -j $((1 + $1)) -N1 "$E2E_PROGRAM/config0.bin" | tr -d ' '
}
stage_before=$(byte_of_profile 0x07)
key "$E2E_WINDOW" Up Up
tab_to "$E2E_WINDOW" Save
profile_before=$(e2e_file_state "$E2E_PROGRAM/config0.bin")
lines_before=$(e2e_trace_lines)
# The Save before may still hold its lock-out: Space again until it uploads.
saved() { e2e_trace_has '^set-feature 00 0d' "$lines_before"; }
for _ in $(seq 20); do
    xdotool key space
    deadline=$((SECONDS + 3))
    until saved || [ "$SECONDS" -ge "$deadline" ]; do sleep "$E2E_POLL"; done
    saved && break
done
e2e_wait_trace '^set-feature 00 0d' "$lines_before"
e2e_wait_file_change "$E2E_PROGRAM/config0.bin" "$profile_before"

upload=$(e2e_trace_since "$lines_before")
stage=$(awk '/^set-feature 00 0c/ { found = 1; writes = 0; next }
             found && /^write/ { if (++writes == 2) { print $23; exit } }' <<<"$upload")
[ "$((16#$stage))" -eq $((stage_before + 2)) ] ||
    e2e_fail "stage 1 went out as '$stage', not two steps above $stage_before"
# Button 5 is slot 15 of the button block (bytes 60..63): the keyboard
# kind, Left Ctrl, Enter, no second key.
slot=$(awk '/^set-feature 00 0d/ { found = 1; next } found && /^write 00/ { print $63, $64, $65, $66; exit }' \
    <<<"$upload")
[ "$slot" = "00 01 28 00" ] || e2e_fail "slot 15 holds '$slot', not Left Ctrl+Enter (00 01 28 00)"
[ "$(byte_of_profile 0x07)" -eq $((stage_before + 2)) ] ||
    e2e_fail "the profile holds stage 1 at $(byte_of_profile 0x07)"
[ "$(byte_of_profile $((0x94 + 4)))" -eq 1 ] && [ "$(byte_of_profile $((0x9c + 4)))" -eq 40 ] ||
    e2e_fail "the profile does not hold Left Ctrl+Enter for button 5"
echo "keys and screen reader: ok"
