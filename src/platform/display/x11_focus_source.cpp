// The focused window of an X11 session: the window manager names it in the
// root window's _NET_ACTIVE_WINDOW, whose changes arrive as PropertyNotify.

#include "platform/display/focus_source.h"

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace qvr {

namespace {

class X11FocusSource final : public FocusSource {
  public:
    explicit X11FocusSource(std::string display) : display_(std::move(display)) {}
    ~X11FocusSource() override {
        thread_.stop();
        if (connection_)
            xcb_disconnect(connection_);
    }

    bool start(Sink sink) override {
        int screenNumber = 0;
        connection_ = xcb_connect(display_.empty() ? nullptr : display_.c_str(), &screenNumber);
        if (xcb_connection_has_error(connection_)) {
            problem_ = "the X11 display " + display_ + " cannot be reached.";
            return false;
        }
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
        for (int i = 0; i < screenNumber && screens.rem; ++i)
            xcb_screen_next(&screens);
        if (!screens.rem) {
            problem_ = "the X11 display " + display_ + " has no such screen.";
            return false;
        }
        root_ = screens.data->root;
        activeWindow_ = atom("_NET_ACTIVE_WINDOW");
        windowPid_ = atom("_NET_WM_PID");
        const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection_);
        if (activeWindow_ == XCB_ATOM_NONE) {
            problem_ = "the X11 display " + display_ + " does not answer.";
            return false;
        }
        sink_ = std::move(sink);
        return thread_.start([this] { run(); }, problem_);
    }

    const std::string& problem() const override { return problem_; }

  private:
    xcb_atom_t atom(const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, std::strlen(name), name), nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return value;
    }

    // The property's bytes, at most a page of them.
    std::string property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, window, name, type, 0, 1024), nullptr);
        std::string bytes;
        if (reply && reply->type != XCB_ATOM_NONE)
            // The length is in bytes already, whatever the item size.
            bytes.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                         static_cast<std::size_t>(xcb_get_property_value_length(reply)));
        std::free(reply);
        return bytes;
    }

    std::uint32_t cardinal(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) {
        const std::string bytes = property(window, name, type);
        std::uint32_t value = 0;
        if (bytes.size() >= sizeof value)
            std::memcpy(&value, bytes.data(), sizeof value);
        return value;
    }

    void reportActiveWindow() {
        const xcb_window_t window = cardinal(root_, activeWindow_, XCB_ATOM_WINDOW);
        // None while the focus is on the desktop or changing hands.
        if (window == XCB_WINDOW_NONE)
            return;
        // WM_CLASS: the instance, then the class, each ending in a NUL.
        const std::string wmClass = property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
        const std::string instance = wmClass.substr(0, wmClass.find('\0'));
        std::string windowClass;
        if (instance.size() < wmClass.size()) {
            windowClass = wmClass.substr(instance.size() + 1);
            windowClass = windowClass.substr(0, windowClass.find('\0'));
        }
        sink_(windowNamed(windowClass, instance, cardinal(window, windowPid_, XCB_ATOM_CARDINAL)));
    }

    void run() {
        reportActiveWindow();
        while (!xcb_connection_has_error(connection_)) {
            bool changed = false;
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
                    reinterpret_cast<xcb_property_notify_event_t*>(event)->atom == activeWindow_)
                    changed = true;
                std::free(event);
            }
            // A burst of notifications asks for one look.
            if (changed)
                reportActiveWindow();
            if (!thread_.wait(xcb_get_file_descriptor(connection_)))
                return;
        }
    }

    std::string display_;
    std::string problem_;
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = XCB_WINDOW_NONE;
    xcb_atom_t activeWindow_ = XCB_ATOM_NONE;
    xcb_atom_t windowPid_ = XCB_ATOM_NONE;
    Sink sink_;
    FocusThread thread_;
};

} // namespace

std::unique_ptr<FocusSource> makeX11FocusSource(const std::string& display) {
    return std::make_unique<X11FocusSource>(display);
}

} // namespace qvr
