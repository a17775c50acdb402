// The focused window of a wlroots compositor: every toplevel is announced as
// a zwlr_foreign_toplevel_handle_v1 whose state holds "activated" while it
// has the focus. The connection is the source's own, read on its own thread.

#include "platform/display/focus_source.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <cstring>
#include <list>
#include <poll.h>
#include <wayland-client.h>

namespace qvr {

namespace {

// Versions 1 to 3 send what is read here; 3 adds the parent event.
constexpr std::uint32_t kManagerVersion = 3;

class WlrootsFocusSource final : public FocusSource {
  public:
    explicit WlrootsFocusSource(std::string display) : display_(std::move(display)) {}
    ~WlrootsFocusSource() override {
        thread_.stop();
        for (Toplevel& toplevel : toplevels_)
            zwlr_foreign_toplevel_handle_v1_destroy(toplevel.handle);
        if (manager_)
            zwlr_foreign_toplevel_manager_v1_destroy(manager_);
        if (registry_)
            wl_registry_destroy(registry_);
        if (connection_)
            wl_display_disconnect(connection_);
    }

    bool start(Sink sink) override {
        // The first round trip already reports the focused toplevel.
        sink_ = std::move(sink);
        connection_ = wl_display_connect(display_.empty() ? nullptr : display_.c_str());
        if (!connection_) {
            problem_ = "the Wayland compositor " + display_ + " cannot be reached.";
            return false;
        }
        registry_ = wl_display_get_registry(connection_);
        static const wl_registry_listener registryListener{
            .global =
                [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                   std::uint32_t version) {
                    auto* self = static_cast<WlrootsFocusSource*>(data);
                    if (std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) ||
                        self->manager_)
                        return;
                    self->manager_ =
                        static_cast<zwlr_foreign_toplevel_manager_v1*>(wl_registry_bind(
                            registry, name, &zwlr_foreign_toplevel_manager_v1_interface,
                            std::min(version, kManagerVersion)));
                    // At once: the toplevels follow the bind in the same round trip.
                    zwlr_foreign_toplevel_manager_v1_add_listener(self->manager_,
                                                                  &managerListener(), self);
                },
            .global_remove = [](void*, wl_registry*, std::uint32_t) {},
        };
        wl_registry_add_listener(registry_, &registryListener, this);
        if (wl_display_roundtrip(connection_) < 0) {
            problem_ = "the Wayland compositor " + display_ + " does not answer.";
            return false;
        }
        if (!manager_) {
            problem_ = "the Wayland compositor does not offer zwlr_foreign_toplevel_manager_v1 "
                       "(wlroots compositors such as sway, Hyprland, river and labwc do).";
            return false;
        }
        return thread_.start([this] { run(); }, problem_);
    }

    const std::string& problem() const override { return problem_; }

  private:
    static const zwlr_foreign_toplevel_manager_v1_listener& managerListener() {
        static const zwlr_foreign_toplevel_manager_v1_listener listener{
            .toplevel =
                [](void* data, zwlr_foreign_toplevel_manager_v1*,
                   zwlr_foreign_toplevel_handle_v1* handle) {
                    static_cast<WlrootsFocusSource*>(data)->added(handle);
                },
            .finished = [](void*, zwlr_foreign_toplevel_manager_v1*) {},
        };
        return listener;
    }

    // What the compositor said of one toplevel; a change counts at "done".
    struct Toplevel {
        WlrootsFocusSource* source = nullptr;
        zwlr_foreign_toplevel_handle_v1* handle = nullptr;
        std::string appId, pendingAppId;
        bool activated = false, pendingActivated = false;
    };

    void added(zwlr_foreign_toplevel_handle_v1* handle) {
        Toplevel& toplevel = toplevels_.emplace_back();
        toplevel.source = this;
        toplevel.handle = handle;
        static const zwlr_foreign_toplevel_handle_v1_listener listener{
            .title = [](void*, zwlr_foreign_toplevel_handle_v1*, const char*) {},
            .app_id =
                [](void* data, zwlr_foreign_toplevel_handle_v1*, const char* appId) {
                    static_cast<Toplevel*>(data)->pendingAppId = appId ? appId : "";
                },
            .output_enter = [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},
            .output_leave = [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},
            .state =
                [](void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
                    auto* toplevel = static_cast<Toplevel*>(data);
                    toplevel->pendingActivated = false;
                    const auto* values = static_cast<const std::uint32_t*>(states->data);
                    for (std::size_t i = 0; i < states->size / sizeof *values; ++i)
                        if (values[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED)
                            toplevel->pendingActivated = true;
                },
            .done =
                [](void* data, zwlr_foreign_toplevel_handle_v1*) {
                    static_cast<Toplevel*>(data)->source->settle(*static_cast<Toplevel*>(data));
                },
            .closed =
                [](void* data, zwlr_foreign_toplevel_handle_v1*) {
                    static_cast<Toplevel*>(data)->source->closed(static_cast<Toplevel*>(data));
                },
            .parent = [](void*, zwlr_foreign_toplevel_handle_v1*,
                         zwlr_foreign_toplevel_handle_v1*) {},
        };
        zwlr_foreign_toplevel_handle_v1_add_listener(handle, &listener, &toplevel);
    }

    void settle(Toplevel& toplevel) {
        const bool news = toplevel.pendingActivated &&
                          (!toplevel.activated || toplevel.pendingAppId != toplevel.appId);
        toplevel.activated = toplevel.pendingActivated;
        toplevel.appId = toplevel.pendingAppId;
        if (!news)
            return;
        FocusedWindow focused;
        if (const auto name = storableApplicationName(toplevel.appId))
            focused.names.push_back(*name);
        sink_(focused);
    }

    void closed(Toplevel* toplevel) {
        zwlr_foreign_toplevel_handle_v1_destroy(toplevel->handle);
        toplevels_.remove_if([toplevel](const Toplevel& t) { return &t == toplevel; });
    }

    void run() {
        const int fd = wl_display_get_fd(connection_);
        for (;;) {
            while (wl_display_prepare_read(connection_) != 0)
                if (wl_display_dispatch_pending(connection_) < 0)
                    return;
            wl_display_flush(connection_);
            const std::optional<short> ready = thread_.wait(fd);
            if (!ready) {
                wl_display_cancel_read(connection_);
                return;
            }
            if (*ready & POLLIN) {
                if (wl_display_read_events(connection_) < 0)
                    return;
            } else {
                wl_display_cancel_read(connection_);
                // The compositor went away.
                if (*ready & (POLLHUP | POLLERR))
                    return;
            }
            if (wl_display_dispatch_pending(connection_) < 0)
                return;
        }
    }

    std::string display_;
    std::string problem_;
    wl_display* connection_ = nullptr;
    wl_registry* registry_ = nullptr;
    zwlr_foreign_toplevel_manager_v1* manager_ = nullptr;
    // A list: the handles' listeners hold pointers to its elements.
    std::list<Toplevel> toplevels_;
    Sink sink_;
    FocusThread thread_;
};

} // namespace

std::unique_ptr<FocusSource> makeWlrootsFocusSource(const std::string& waylandDisplay) {
    return std::make_unique<WlrootsFocusSource>(waylandDisplay);
}

} // namespace qvr
