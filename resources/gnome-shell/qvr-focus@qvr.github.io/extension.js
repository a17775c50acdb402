/* exported init */
// GNOME Shell on Wayland tells only its extensions which window has the
// focus. While enabled, this one owns io.github.qvr.ShellFocus on the session
// bus: qvr asks it for the focused window's class, instance and process id,
// and hears of every change by its signal.
'use strict';

const {Gio, GLib} = imports.gi;

const BUS_NAME = 'io.github.qvr.ShellFocus';
const OBJECT_PATH = '/io/github/qvr/ShellFocus';
const INTERFACE = `<node>
  <interface name="io.github.qvr.ShellFocus">
    <method name="GetFocus">
      <arg type="s" name="wmClass" direction="out"/>
      <arg type="s" name="wmClassInstance" direction="out"/>
      <arg type="u" name="pid" direction="out"/>
    </method>
    <signal name="FocusChanged">
      <arg type="s" name="wmClass"/>
      <arg type="s" name="wmClassInstance"/>
      <arg type="u" name="pid"/>
    </signal>
  </interface>
</node>`;

// Empty names and 0 while nothing has the focus; get_pid() is -1 when the
// process is not known.
function describe(window) {
    if (!window)
        return ['', '', 0];
    const pid = window.get_pid();
    return [window.get_wm_class() || '', window.get_wm_class_instance() || '', pid > 0 ? pid : 0];
}

class FocusPublisher {
    constructor() {
        this._object = null;
        this._nameId = 0;
        this._focusId = 0;
    }

    enable() {
        this._object = Gio.DBusExportedObject.wrapJSObject(INTERFACE, this);
        this._object.export(Gio.DBus.session, OBJECT_PATH);
        this._nameId = Gio.bus_own_name_on_connection(Gio.DBus.session, BUS_NAME,
            Gio.BusNameOwnerFlags.NONE, null, null);
        this._focusId = global.display.connect('notify::focus-window', () => {
            const window = global.display.focus_window;
            if (window)
                this._object.emit_signal('FocusChanged',
                    new GLib.Variant('(ssu)', describe(window)));
        });
    }

    disable() {
        if (this._focusId)
            global.display.disconnect(this._focusId);
        if (this._nameId)
            Gio.bus_unown_name(this._nameId);
        if (this._object)
            this._object.unexport();
        this._object = null;
        this._nameId = 0;
        this._focusId = 0;
    }

    GetFocus() {
        return describe(global.display.focus_window);
    }
}

function init() {
    return new FocusPublisher();
}
