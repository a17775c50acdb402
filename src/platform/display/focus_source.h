#pragma once

#include "core/profiles/auto_switch.h"
#include "platform/focus_desktop.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace qvr {

// One desktop's way of telling which window has the focus. A source runs on
// a thread of its own, with its own connection to the display, and knows
// nothing of Qt; its owner moves each report to the thread it needs.
class FocusSource {
  public:
    // Called on the source's thread with each newly focused window.
    using Sink = std::function<void(const FocusedWindow&)>;

    virtual ~FocusSource() = default;
    // Connects and starts watching. False, with problem() saying why in one
    // sentence, when the desktop cannot tell.
    virtual bool start(Sink sink) = 0;
    virtual const std::string& problem() const = 0;
};

// The thread a source reads on, and the descriptor that tells it to stop.
class FocusThread {
  public:
    FocusThread() = default;
    FocusThread(const FocusThread&) = delete;
    FocusThread& operator=(const FocusThread&) = delete;
    ~FocusThread() { stop(); }

    // Runs body on a new thread; false, with the reason in problem, when no
    // stop descriptor can be made.
    bool start(std::function<void()> body, std::string& problem);
    // Tells the body to return and waits for it. A source calls it before it
    // takes apart anything the body reads.
    void stop();
    // Readable once stop() is called, for a body that waits on more.
    int stopDescriptor() const { return stop_; }
    // Waits for fd to be ready: its revents, or nullopt once stop() is
    // called or the wait fails.
    std::optional<short> wait(int fd) const;

  private:
    int stop_ = -1;
    std::thread thread_;
};

// The names a window goes by: its class, its instance, then the name of its
// process (/proc/PID/comm), each storable name once; own when the process is
// this one.
FocusedWindow windowNamed(std::string_view windowClass, std::string_view instance,
                          std::uint32_t pid);

// The source of that desktop; nullptr where there is none (the reason is
// focusUnavailableReason).
std::unique_ptr<FocusSource> makeFocusSource(FocusDesktop desktop,
                                             const SessionEnvironment& session);

std::unique_ptr<FocusSource> makeX11FocusSource(const std::string& display);
std::unique_ptr<FocusSource> makeWlrootsFocusSource(const std::string& waylandDisplay);
// KWin runs the script (see resources/kwin) and calls back over the session
// bus; scriptFile must be readable by KWin.
std::unique_ptr<FocusSource> makeKwinFocusSource(const std::filesystem::path& scriptFile);
// The GNOME Shell extension of kGnomeExtensionUuid publishes the focus.
std::unique_ptr<FocusSource> makeGnomeFocusSource();

} // namespace qvr
