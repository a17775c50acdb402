"""Stand-ins on the session bus for the desktops that tell the focus only
to their own code, which cannot run here.

  kwin LOG [--stale]   org.kde.KWin's scripting as KWin 5.27 has it: scripts
                       loaded by plugin name (a name loaded already gives -1),
                       run at /ID, unloaded by name; every call goes to LOG.
                       --stale: a script named qvr-focus is loaded already,
                       as a run that crashed leaves it. /Test's Activate
                       (class, name, pid) calls back as the running script
                       does for an activated window.
  shell CLASS INSTANCE PID
                       the GNOME Shell extension: owns its name, answers
                       GetFocus with the window given, and /Test's Focus
                       (class, instance, pid) makes it the focus and signals.
"""
import sys

from gi.repository import Gio, GLib

bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)


def interface(xml):
    return Gio.DBusNodeInfo.new_for_xml(xml).interfaces[0]


def own(name):
    reply = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus",
                          "org.freedesktop.DBus", "RequestName",
                          GLib.Variant("(su)", (name, 4)), GLib.VariantType("(u)"),
                          Gio.DBusCallFlags.NONE, -1, None)
    assert reply.unpack()[0] == 1, name


SCRIPTING = interface("""<node><interface name="org.kde.kwin.Scripting">
  <method name="loadScript"><arg type="s" direction="in"/><arg type="s" direction="in"/>
    <arg type="i" direction="out"/></method>
  <method name="unloadScript"><arg type="s" direction="in"/><arg type="b" direction="out"/></method>
</interface></node>""")
SCRIPT = interface("""<node><interface name="org.kde.kwin.Script">
  <method name="run"/><method name="stop"/>
</interface></node>""")
KWIN_TEST = interface("""<node><interface name="org.kde.kwin.Test">
  <method name="Activate"><arg type="s" direction="in"/><arg type="s" direction="in"/>
    <arg type="s" direction="in"/></method>
</interface></node>""")


def kwin(log_path, stale):
    log = open(log_path, "a", buffering=1)
    scripts = {}  # plugin name -> [id, file, registration, running]
    next_id = [0]

    def script_call(connection, sender, path, iface, method, args, invocation):
        for plugin, script in scripts.items():
            if "/%d" % script[0] == path:
                log.write("%s %s\n" % (method, path))
                if method == "run":
                    # KWin reads the file when the script runs.
                    try:
                        open(script[1]).read()
                    except OSError:
                        invocation.return_dbus_error("org.kde.kwin.Scripting.FileError",
                                                     "Could not open " + script[1])
                        return
                    script[3] = True
                invocation.return_value(None)
                return

    def load(path, plugin):
        if plugin in scripts:
            return -1
        number = next_id[0]
        next_id[0] += 1
        registration = bus.register_object("/%d" % number, SCRIPT, script_call, None, None)
        scripts[plugin] = [number, path, registration, False]
        return number

    def scripting_call(connection, sender, path, iface, method, args, invocation):
        if method == "loadScript":
            number = load(*args.unpack())
            log.write("loadScript %s %s -> %d\n" % (args[0], args[1], number))
            invocation.return_value(GLib.Variant("(i)", (number,)))
        else:
            script = scripts.pop(args[0], None)
            if script:
                bus.unregister_object(script[2])
            log.write("unloadScript %s -> %s\n" % (args[0], bool(script)))
            invocation.return_value(GLib.Variant("(b)", (bool(script),)))

    def test_call(connection, sender, path, iface, method, args, invocation):
        if any(script[3] for script in scripts.values()):
            # What the script's callDBus sends: text of all three.
            bus.call_sync("io.github.qvr.FocusReceiver", "/io/github/qvr/FocusReceiver",
                          "io.github.qvr.FocusReceiver", "WindowActivated", args, None,
                          Gio.DBusCallFlags.NONE, -1, None)
        invocation.return_value(None)

    if stale:
        load("/nowhere/left-by-a-crash.js", "qvr-focus")
    bus.register_object("/Scripting", SCRIPTING, scripting_call, None, None)
    bus.register_object("/Test", KWIN_TEST, test_call, None, None)
    own("org.kde.KWin")


SHELL_XML = """<node><interface name="io.github.qvr.ShellFocus">
  <method name="GetFocus"><arg type="s" direction="out"/><arg type="s" direction="out"/>
    <arg type="u" direction="out"/></method>
  <signal name="FocusChanged"><arg type="s"/><arg type="s"/><arg type="u"/></signal>
</interface></node>"""
SHELL_TEST = interface("""<node><interface name="io.github.qvr.Test">
  <method name="Focus"><arg type="s" direction="in"/><arg type="s" direction="in"/>
    <arg type="u" direction="in"/></method>
</interface></node>""")


def shell(window_class, instance, pid):
    focus = [(window_class, instance, int(pid))]

    def extension_call(connection, sender, path, iface, method, args, invocation):
        invocation.return_value(GLib.Variant("(ssu)", focus[0]))

    def test_call(connection, sender, path, iface, method, args, invocation):
        focus[0] = args.unpack()
        bus.emit_signal(None, "/io/github/qvr/ShellFocus", "io.github.qvr.ShellFocus",
                        "FocusChanged", GLib.Variant("(ssu)", focus[0]))
        invocation.return_value(None)

    bus.register_object("/io/github/qvr/ShellFocus", interface(SHELL_XML), extension_call,
                        None, None)
    bus.register_object("/Test", SHELL_TEST, test_call, None, None)
    own("io.github.qvr.ShellFocus")


if sys.argv[1] == "kwin":
    kwin(sys.argv[2], "--stale" in sys.argv[3:])
else:
    shell(*sys.argv[2:5])
loop = GLib.MainLoop()
GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, 15, loop.quit)
loop.run()
