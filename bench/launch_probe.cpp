// Measures a window program from outside, as a user sees it: from the fork
// to the map of its first window of at least 600x400 (MapNotify on the root
// window; no window manager runs under the benchmark's Xvfb), and its peak
// resident memory (VmHWM) a given time after the fork. Then ends the program.
// Prints one line: "map_ms=<ms> peak_kb=<kB>".
//
// Usage: qvr_launch_probe HOLD_MS PROGRAM [ARGUMENTS...]
//   HOLD_MS 0 ends the program at the map; otherwise the peak is read
//   HOLD_MS after the fork.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long peakKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

bool bigEnough(xcb_connection_t* connection, xcb_window_t window) {
    const std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr),
        &std::free);
    return geometry && geometry->width >= 600 && geometry->height >= 400;
}

void end(pid_t pid) {
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 300; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "Usage: qvr_launch_probe HOLD_MS PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    const int holdMs = std::atoi(argv[1]);
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "qvr_launch_probe: no X display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    const Clock::time_point start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execvp(argv[2], argv + 2);
        std::fprintf(stderr, "qvr_launch_probe: cannot start %s: %s\n", argv[2],
                     std::strerror(errno));
        std::_Exit(127);
    }
    if (pid < 0)
        return 2;

    double mapMs = -1;
    pollfd events{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (mapMs < 0 && millisecondsSince(start) < 30000) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) {
            std::fprintf(stderr, "qvr_launch_probe: %s ended before its window showed\n", argv[2]);
            return 1;
        }
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && mapMs < 0) {
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                const double at = millisecondsSince(start);
                if (bigEnough(connection, map->window))
                    mapMs = at;
            }
            std::free(event);
        }
        if (mapMs < 0)
            ::poll(&events, 1, 20);
    }
    if (mapMs < 0) {
        end(pid);
        std::fprintf(stderr, "qvr_launch_probe: no window of 600x400 mapped in 30 s\n");
        return 1;
    }
    const auto remaining = holdMs - millisecondsSince(start);
    if (remaining > 0)
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(remaining));
    const long peak = peakKilobytes(pid);
    end(pid);
    xcb_disconnect(connection);
    std::printf("map_ms=%.2f peak_kb=%ld\n", mapMs, peak);
    return 0;
}
