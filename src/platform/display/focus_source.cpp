#include "platform/display/focus_source.h"

#include "platform/app_folders.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace qvr {

bool FocusThread::start(std::function<void()> body, std::string& problem) {
    stop_ = ::eventfd(0, EFD_CLOEXEC);
    if (stop_ < 0) {
        problem = std::string("no event file: ") + std::strerror(errno) + ".";
        return false;
    }
    thread_ = std::thread(std::move(body));
    return true;
}

void FocusThread::stop() {
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(stop_, &one, sizeof one);
        thread_.join();
    }
    if (stop_ >= 0)
        ::close(stop_);
    stop_ = -1;
}

std::optional<short> FocusThread::wait(int fd) const {
    std::array<pollfd, 2> waits{pollfd{fd, POLLIN, 0}, pollfd{stop_, POLLIN, 0}};
    while (::poll(waits.data(), waits.size(), -1) < 0)
        if (errno != EINTR)
            return std::nullopt;
    if (waits[1].revents)
        return std::nullopt;
    return waits[0].revents;
}

FocusedWindow windowNamed(std::string_view windowClass, std::string_view instance,
                          std::uint32_t pid) {
    FocusedWindow focused;
    const auto add = [&focused](std::string_view name) {
        const auto stored = storableApplicationName(name);
        if (!stored)
            return;
        for (const std::string& known : focused.names)
            if (sameApplication(known, *stored))
                return;
        focused.names.push_back(*stored);
    };
    add(windowClass);
    add(instance);
    if (pid) {
        focused.own = pid == static_cast<std::uint32_t>(::getpid());
        std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
        std::string name;
        if (std::getline(comm, name))
            add(name);
    }
    return focused;
}

std::unique_ptr<FocusSource> makeFocusSource(FocusDesktop desktop,
                                             const SessionEnvironment& session) {
    switch (desktop) {
    case FocusDesktop::X11:
        return makeX11FocusSource(session.display);
    case FocusDesktop::Wlroots:
        return makeWlrootsFocusSource(session.waylandDisplay);
    case FocusDesktop::KdeWayland:
        return makeKwinFocusSource(factoryFolder() / kKwinScriptPath);
    case FocusDesktop::GnomeWayland:
        return makeGnomeFocusSource();
    case FocusDesktop::None:
        break;
    }
    return nullptr;
}

} // namespace qvr
