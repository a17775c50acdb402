#include "gui/window/session_end_watch.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace qvr {

namespace {

int signalPipe[2] = {-1, -1};
struct sigaction earlierAction {};

// Only what a signal handler may do: one write, errno kept for the code it
// interrupted.
void onTerminate(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

SessionEndWatch::SessionEndWatch(std::function<void()> commitData, std::function<void()> terminate)
    : commitData_(std::move(commitData)), terminate_(std::move(terminate)) {
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { commitData_(); });
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("qvr: the end of the session cannot be watched");
        return;
    }
    struct sigaction action {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGTERM, &action, &earlierAction) != 0) {
        std::perror("qvr: the end of the session cannot be watched");
        ::close(signalPipe[0]);
        ::close(signalPipe[1]);
        signalPipe[0] = signalPipe[1] = -1;
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SessionEndWatch::readSignal);
}

SessionEndWatch::~SessionEndWatch() {
    if (!notifier_)
        return;
    notifier_.reset();
    ::sigaction(SIGTERM, &earlierAction, nullptr);
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void SessionEndWatch::readSignal() {
    char bytes[16];
    while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    terminate_();
}

} // namespace qvr
