#pragma once

#include <chrono>

namespace qvr {

// Every wait of the protocol goes through a clock, so tests check the exact
// pacing without sleeping and benchmarks measure the real one.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual void sleepFor(std::chrono::milliseconds duration) = 0;
};

class SteadyClock final : public Clock {
  public:
    void sleepFor(std::chrono::milliseconds duration) override;
};

// Records the waits and returns at once.
class ManualClock final : public Clock {
  public:
    void sleepFor(std::chrono::milliseconds duration) override { elapsed += duration; }
    std::chrono::milliseconds elapsed{0};
};

} // namespace qvr
