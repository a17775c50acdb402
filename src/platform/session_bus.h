#pragma once

#include <functional>
#include <gio/gio.h>
#include <list>
#include <memory>
#include <string>
#include <vector>

namespace qvr {

// A connection of our own to the user's session bus, through GIO's GDBus,
// which is looked up in libgio at the first use: a session that never needs
// the bus loads no GIO. Signals and calls to exported objects are handled on
// the connection's own main context, turned by run() on a focus source's
// thread; the rest may be called from one thread at a time.
class SessionBus {
  public:
    SessionBus();
    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;
    // GIO's calls, found at the first connect.
    struct Calls;

    // DBUS_SESSION_BUS_ADDRESS, else $XDG_RUNTIME_DIR/bus; a bus is never
    // started for us. False with the reason in problem.
    bool connect(std::string& problem);

    struct VariantUnref {
        void operator()(GVariant* value) const;
    };
    using Variant = std::unique_ptr<GVariant, VariantUnref>;

    // The reply, of replyType when one is given; nullptr with the error's
    // name and message in error. Takes a floating arguments.
    Variant call(const char* service, const char* path, const char* interface, const char* method,
                 GVariant* arguments, const char* replyType, int timeoutMs,
                 std::string* error = nullptr);
    // The unique name that owns name; empty when none does.
    std::string nameOwner(const char* name);
    // True once this connection is name's only owner.
    bool ownName(const char* name);

    // Handlers run on run()'s thread.
    using SignalHandler = std::function<void(const char* sender, GVariant* parameters)>;
    void subscribe(const char* sender, const char* interface, const char* member, const char* path,
                   const char* arg0, SignalHandler handler);
    // The single interface of introspectionXml at path. The reply is a
    // floating tuple, or nullptr for none; calls whose arguments do not
    // match the interface are refused before they get here.
    using MethodHandler =
        std::function<GVariant*(const char* sender, const char* method, GVariant* parameters)>;
    bool exportObject(const char* path, const char* introspectionXml, MethodHandler handler);

    // Dispatches signals and calls until stopDescriptor becomes readable.
    void run(int stopDescriptor);

  private:
    const Calls* calls_ = nullptr;
    GMainContext* context_ = nullptr;
    GDBusConnection* connection_ = nullptr;
    // Lists: the bus holds pointers to their elements.
    std::list<SignalHandler> signalHandlers_;
    std::list<MethodHandler> methodHandlers_;
    std::vector<guint> subscriptions_, registrations_;
};

} // namespace qvr
