#pragma once

#include "app/focus_desktop.h"
#include "config/auto_switch.h"

#include <functional>
#include <memory>
#include <string>

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

// The source of that desktop; nullptr where there is none (the reason is
// focusUnavailableReason).
std::unique_ptr<FocusSource> makeFocusSource(FocusDesktop desktop,
                                             const SessionEnvironment& session);

std::unique_ptr<FocusSource> makeX11FocusSource(const std::string& display);
std::unique_ptr<FocusSource> makeWlrootsFocusSource(const std::string& waylandDisplay);

} // namespace qvr
