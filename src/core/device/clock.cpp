#include "core/device/clock.h"

#include <thread>

namespace qvr {

void SteadyClock::sleepFor(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

} // namespace qvr
