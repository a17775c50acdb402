#include "platform/session_bus.h"

#include "platform/focus_desktop.h"
#include "platform/gio_library.h"

#include <cstdlib>
#include <glib-unix.h>
#include <sys/stat.h>

namespace qvr {

// GDBus and the few GLib calls around it. qvrctl links no GLib, so these
// come from libgio's handle too, which reaches GLib and GObject.
struct SessionBus::Calls {
    decltype(&g_dbus_connection_new_for_address_sync) connectionNew;
    decltype(&g_dbus_connection_call_sync) callSync;
    decltype(&g_dbus_connection_close_sync) closeSync;
    decltype(&g_dbus_connection_signal_subscribe) signalSubscribe;
    decltype(&g_dbus_connection_signal_unsubscribe) signalUnsubscribe;
    decltype(&g_dbus_connection_register_object) registerObject;
    decltype(&g_dbus_connection_unregister_object) unregisterObject;
    decltype(&g_dbus_node_info_new_for_xml) nodeInfoNew;
    decltype(&g_dbus_node_info_unref) nodeInfoUnref;
    decltype(&g_dbus_method_invocation_return_value) returnValue;
    decltype(&g_object_unref) objectUnref;
    decltype(&g_error_free) errorFree;
    decltype(&g_variant_new) variantNew;
    decltype(&g_variant_get) variantGet;
    decltype(&g_variant_unref) variantUnref;
    decltype(&g_variant_type_checked_) variantType;
    decltype(&g_main_context_new) contextNew;
    decltype(&g_main_context_unref) contextUnref;
    decltype(&g_main_context_push_thread_default) pushContext;
    decltype(&g_main_context_pop_thread_default) popContext;
    decltype(&g_main_context_iteration) iteration;
    decltype(&g_unix_fd_source_new) fdSourceNew;
    decltype(&g_source_set_callback) sourceSetCallback;
    decltype(&g_source_attach) sourceAttach;
    decltype(&g_source_destroy) sourceDestroy;
    decltype(&g_source_unref) sourceUnref;
};

namespace {

// nullptr when the library or one of its calls is not there.
const SessionBus::Calls* loadCalls() {
    static const SessionBus::Calls* const calls = []() -> const SessionBus::Calls* {
        if (!gioLibrary())
            return nullptr;
        static SessionBus::Calls c{};
        const bool all = findGioCall("g_dbus_connection_new_for_address_sync", c.connectionNew) &&
                         findGioCall("g_dbus_connection_call_sync", c.callSync) &&
                         findGioCall("g_dbus_connection_close_sync", c.closeSync) &&
                         findGioCall("g_dbus_connection_signal_subscribe", c.signalSubscribe) &&
                         findGioCall("g_dbus_connection_signal_unsubscribe", c.signalUnsubscribe) &&
                         findGioCall("g_dbus_connection_register_object", c.registerObject) &&
                         findGioCall("g_dbus_connection_unregister_object", c.unregisterObject) &&
                         findGioCall("g_dbus_node_info_new_for_xml", c.nodeInfoNew) &&
                         findGioCall("g_dbus_node_info_unref", c.nodeInfoUnref) &&
                         findGioCall("g_dbus_method_invocation_return_value", c.returnValue) &&
                         findGioCall("g_object_unref", c.objectUnref) &&
                         findGioCall("g_error_free", c.errorFree) &&
                         findGioCall("g_variant_new", c.variantNew) &&
                         findGioCall("g_variant_get", c.variantGet) &&
                         findGioCall("g_variant_unref", c.variantUnref) &&
                         findGioCall("g_variant_type_checked_", c.variantType) &&
                         findGioCall("g_main_context_new", c.contextNew) &&
                         findGioCall("g_main_context_unref", c.contextUnref) &&
                         findGioCall("g_main_context_push_thread_default", c.pushContext) &&
                         findGioCall("g_main_context_pop_thread_default", c.popContext) &&
                         findGioCall("g_main_context_iteration", c.iteration) &&
                         findGioCall("g_unix_fd_source_new", c.fdSourceNew) &&
                         findGioCall("g_source_set_callback", c.sourceSetCallback) &&
                         findGioCall("g_source_attach", c.sourceAttach) &&
                         findGioCall("g_source_destroy", c.sourceDestroy) &&
                         findGioCall("g_source_unref", c.sourceUnref);
        return all ? &c : nullptr;
    }();
    return calls;
}

// A D-Bus address value: bytes other than these are written %XX.
std::string escapedAddressValue(const std::string& value) {
    static const char hex[] = "0123456789abcdef";
    std::string escaped;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
            (byte >= 'A' && byte <= 'Z') || c == '-' || c == '_' || c == '/' || c == '.' ||
            c == '\\' || c == '*') {
            escaped += c;
        } else {
            escaped += '%';
            escaped += hex[byte >> 4];
            escaped += hex[byte & 15];
        }
    }
    return escaped;
}

// GIO on its own would start a bus through dbus-launch when it finds none,
// and leave it running after we end.
std::string sessionBusAddress() {
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
        return address;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime)
        return {};
    const std::string socket = std::string(runtime) + "/bus";
    struct stat status {};
    if (::stat(socket.c_str(), &status) != 0 || !S_ISSOCK(status.st_mode))
        return {};
    return "unix:path=" + escapedAddressValue(socket);
}

} // namespace

void SessionBus::VariantUnref::operator()(GVariant* value) const {
    if (value)
        loadCalls()->variantUnref(value);
}

SessionBus::SessionBus() = default;

SessionBus::~SessionBus() {
    if (!calls_)
        return;
    if (connection_) {
        for (const guint id : subscriptions_)
            calls_->signalUnsubscribe(connection_, id);
        for (const guint id : registrations_)
            calls_->unregisterObject(connection_, id);
        calls_->closeSync(connection_, nullptr, nullptr);
        calls_->objectUnref(connection_);
    }
    // Deliveries still queued on the context go with it, never called.
    if (context_)
        calls_->contextUnref(context_);
}

bool SessionBus::connect(std::string& problem) {
    calls_ = loadCalls();
    if (!calls_) {
        problem = "GIO (libgio-2.0.so.0) cannot be loaded.";
        return false;
    }
    const std::string address = sessionBusAddress();
    if (address.empty()) {
        problem = std::string(kSessionBusUnreachable) +
                  ": neither DBUS_SESSION_BUS_ADDRESS nor $XDG_RUNTIME_DIR/bus is there.";
        return false;
    }
    context_ = calls_->contextNew();
    GError* error = nullptr;
    // Not GIO's shared connection: ours closes with us, and a bus that goes
    // away does not end the program, as the shared one would.
    connection_ = calls_->connectionNew(
        address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, &error);
    if (!connection_) {
        problem = std::string(kSessionBusUnreachable) + ": " +
                  std::string(error ? error->message : "no reason given") + ".";
        if (error)
            calls_->errorFree(error);
        return false;
    }
    return true;
}

SessionBus::Variant SessionBus::call(const char* service, const char* path, const char* interface,
                                     const char* method, GVariant* arguments, const char* replyType,
                                     int timeoutMs, std::string* error) {
    GError* failure = nullptr;
    Variant reply(calls_->callSync(connection_, service, path, interface, method, arguments,
                                   replyType ? calls_->variantType(replyType) : nullptr,
                                   G_DBUS_CALL_FLAGS_NO_AUTO_START, timeoutMs, nullptr, &failure));
    if (failure) {
        if (error)
            *error = failure->message;
        calls_->errorFree(failure);
    }
    return reply;
}

std::string SessionBus::nameOwner(const char* name) {
    const Variant reply =
        call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
             "GetNameOwner", calls_->variantNew("(s)", name), "(s)", 2000);
    if (!reply)
        return {};
    const gchar* owner = nullptr;
    calls_->variantGet(reply.get(), "(&s)", &owner);
    return owner ? owner : "";
}

bool SessionBus::ownName(const char* name) {
    // DBUS_NAME_FLAG_DO_NOT_QUEUE; the answer 1 is DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER.
    const Variant reply =
        call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
             calls_->variantNew("(su)", name, 4u), "(u)", 2000);
    guint32 answer = 0;
    if (reply)
        calls_->variantGet(reply.get(), "(u)", &answer);
    return answer == 1;
}

void SessionBus::subscribe(const char* sender, const char* interface, const char* member,
                           const char* path, const char* arg0, SignalHandler handler) {
    SignalHandler& kept = signalHandlers_.emplace_back(std::move(handler));
    // Deliveries go to the main context that is the thread's own when
    // subscribing.
    calls_->pushContext(context_);
    subscriptions_.push_back(calls_->signalSubscribe(
        connection_, sender, interface, member, path, arg0, G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const gchar* from, const gchar*, const gchar*, const gchar*,
           GVariant* parameters,
           gpointer data) { (*static_cast<SignalHandler*>(data))(from, parameters); },
        &kept, nullptr));
    calls_->popContext(context_);
}

bool SessionBus::exportObject(const char* path, const char* introspectionXml,
                              MethodHandler handler) {
    GDBusNodeInfo* node = calls_->nodeInfoNew(introspectionXml, nullptr);
    if (!node || !node->interfaces || !node->interfaces[0]) {
        if (node)
            calls_->nodeInfoUnref(node);
        return false;
    }
    MethodHandler& kept = methodHandlers_.emplace_back(std::move(handler));
    static const GDBusInterfaceVTable vtable{
        .method_call =
            [](GDBusConnection*, const gchar* sender, const gchar*, const gchar*,
               const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation,
               gpointer data) {
                GVariant* reply = (*static_cast<MethodHandler*>(data))(sender, method, parameters);
                loadCalls()->returnValue(invocation, reply);
            },
        .get_property = nullptr,
        .set_property = nullptr,
        .padding = {},
    };
    calls_->pushContext(context_);
    const guint id = calls_->registerObject(connection_, path, node->interfaces[0], &vtable, &kept,
                                            nullptr, nullptr);
    calls_->popContext(context_);
    calls_->nodeInfoUnref(node);
    if (!id)
        return false;
    registrations_.push_back(id);
    return true;
}

void SessionBus::run(int stopDescriptor) {
    bool stopped = false;
    GSource* stop = calls_->fdSourceNew(stopDescriptor, G_IO_IN);
    calls_->sourceSetCallback(
        stop,
        // As G_SOURCE_FUNC casts: a fd source calls back with its own arguments.
        reinterpret_cast<GSourceFunc>(
            reinterpret_cast<void (*)()>(+[](gint, GIOCondition, gpointer data) -> gboolean {
                *static_cast<bool*>(data) = true;
                return G_SOURCE_REMOVE;
            })),
        &stopped, nullptr);
    calls_->sourceAttach(stop, context_);
    calls_->pushContext(context_);
    while (!stopped)
        calls_->iteration(context_, TRUE);
    calls_->popContext(context_);
    calls_->sourceDestroy(stop);
    calls_->sourceUnref(stop);
}

} // namespace qvr
