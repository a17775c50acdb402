#include "gui/window/window_activation.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <cstring>
#include <xcb/xcb.h>

namespace qvr {

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const auto cookie = xcb_intern_atom(connection, 0, std::strlen(name), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return result;
}

// The launch time a startup id carries ("..._TIME1234"), or 0 (now).
std::uint32_t startupTime(const QString& id) {
    static const QRegularExpression time("_TIME(\\d+)$");
    const auto match = time.match(id);
    return match.hasMatch() ? match.captured(1).toUInt() : 0;
}

// Startup-notification messages travel to the root window in pieces of 20
// bytes, the first with its own type, the text ending with a zero byte.
void sendStartupMessage(xcb_connection_t* connection, xcb_window_t root, xcb_window_t from,
                        const QByteArray& message) {
    const xcb_atom_t begin = atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(connection, "_NET_STARTUP_INFO");
    QByteArray bytes = message;
    bytes.append('\0');
    for (qsizetype at = 0; at < bytes.size(); at += 20) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = from;
        event.type = at == 0 ? begin : more;
        std::memcpy(event.data.data8, bytes.constData() + at,
                    static_cast<std::size_t>(std::min<qsizetype>(20, bytes.size() - at)));
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&event));
    }
}

QByteArray quoted(const QString& value) {
    QByteArray bytes = value.toUtf8();
    bytes.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + bytes + '"';
}

// Ends the launcher's startup sequence (its busy cursor) and activates the
// window with the time of the launch, which window managers that prevent
// focus stealing compare with the user's last action.
bool activateOnX11(QWidget& window, const QString& startupId) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return false;
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return false;
    if (!startupId.isEmpty()) {
        const QByteArray bytes = startupId.toUtf8();
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id,
                            atom(connection, "_NET_STARTUP_ID"), atom(connection, "UTF8_STRING"), 8,
                            static_cast<std::uint32_t>(bytes.size()), bytes.constData());
        sendStartupMessage(connection, screen->root, id, "remove: ID=" + quoted(startupId));
    }
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = id;
    event.type = atom(connection, "_NET_ACTIVE_WINDOW");
    event.data.data32[0] = 1; // from an application
    event.data.data32[1] = startupTime(startupId);
    xcb_send_event(connection, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
    return true;
}

} // namespace

void activateForRequest(QWidget& window, const ActivationRequest& request) {
    window.raise();
    if (QGuiApplication::platformName() == QLatin1String("xcb") &&
        activateOnX11(window, request.startupId))
        return;
    // The Wayland integration hands this variable to the compositor with its
    // next activation request, and clears it.
    if (!request.activationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", request.activationToken.toUtf8());
    window.activateWindow();
}

} // namespace qvr
