#include "app/first_paint_exit.h"

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

class FirstPaintWatch final : public QObject {
  public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued, so it runs once the paint has been drawn and flushed.
            QTimer::singleShot(0, this, [] {
                std::printf("first paint: %.2f ms\n", millisecondsSinceLaunch());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }
};

} // namespace

void exitAfterFirstPaintWhenAsked(QWidget& window) {
    if (qEnvironmentVariableIsSet("QVR_EXIT_AFTER_FIRST_PAINT"))
        window.installEventFilter(new FirstPaintWatch(&window));
}

} // namespace qvr
