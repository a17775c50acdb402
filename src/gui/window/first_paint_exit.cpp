#include "gui/window/first_paint_exit.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>

namespace qvr {
namespace {

double nowNs(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) * 1e9 + double(now.tv_nsec);
}

// Milliseconds since launch, or a negative number when the launch time is
// unknown.
double millisecondsSinceLaunch() {
    if (const char* launch = std::getenv("QVR_LAUNCH_MONOTONIC_NS"))
        return (nowNs(CLOCK_MONOTONIC) - std::strtod(launch, nullptr)) / 1e6;
    // Field 22 of /proc/self/stat, counted after the command name, which
    // may itself hold spaces and parentheses.
    std::ifstream statFile("/proc/self/stat");
    const std::string stat((std::istreambuf_iterator<char>(statFile)), {});
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
    }
    const double startNs = std::strtod(field.c_str(), nullptr) * 1e9 / double(sysconf(_SC_CLK_TCK));
    return (nowNs(CLOCK_BOOTTIME) - startNs) / 1e6;
}

// Resident and peak resident megabytes, from /proc/self/status.
std::pair<double, double> residentMegabytes() {
    std::ifstream status("/proc/self/status");
    double rss = 0, peak = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:"))
            rss = std::strtod(line.c_str() + 6, nullptr) / 1024;
        else if (line.starts_with("VmHWM:"))
            peak = std::strtod(line.c_str() + 6, nullptr) / 1024;
    }
    return {rss, peak};
}

class FirstPaintWatch final : public QObject {
  public:
    FirstPaintWatch(QObject* parent, bool exit) : QObject(parent), exit_(exit) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            markStartUpPhase("first paint");
            // Queued, so it runs once the paint has been drawn and flushed.
            QTimer::singleShot(0, this, [this] {
                markStartUpPhase("first paint flushed");
                if (!exit_)
                    return;
                std::printf("first paint: %.2f ms\n", millisecondsSinceLaunch());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

  private:
    bool exit_;
};

} // namespace

void markStartUpPhase(const char* name) {
    static const bool wanted = std::getenv("QVR_PHASES") != nullptr;
    if (!wanted)
        return;
    const auto [rss, peak] = residentMegabytes();
    std::fprintf(stderr, "phase %s: %.1f ms, RSS %.1f MB, peak %.1f MB\n", name,
                 millisecondsSinceLaunch(), rss, peak);
}

void exitAfterFirstPaintWhenAsked(QWidget& window) {
    const bool exit = qEnvironmentVariableIsSet("QVR_EXIT_AFTER_FIRST_PAINT");
    if (exit || qEnvironmentVariableIsSet("QVR_PHASES"))
        window.installEventFilter(new FirstPaintWatch(&window, exit));
}

} // namespace qvr
