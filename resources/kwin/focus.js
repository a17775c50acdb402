// KWin tells only its scripts which window has the focus. qvr loads this one
// over D-Bus and receives, for each window that KWin activates, its class,
// name and process id, as text: KWin 5 gives the names as byte arrays, whose
// String() is their text, and KWin 6 as strings.

function text(value) {
    return value === undefined || value === null ? "" : String(value);
}

function report(window) {
    if (!window)
        return;
    callDBus("io.github.qvr.FocusReceiver", "/io/github/qvr/FocusReceiver",
             "io.github.qvr.FocusReceiver", "WindowActivated", text(window.resourceClass),
             text(window.resourceName), text(window.pid));
}

// clientActivated and activeClient in KWin 5, windowActivated and
// activeWindow in KWin 6.
(workspace.windowActivated || workspace.clientActivated).connect(report);
report(workspace.activeWindow || workspace.activeClient);
