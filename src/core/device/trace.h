#pragma once

#include "core/device/clock.h"
#include "core/device/hid_device.h"

#include <cstdint>
#include <fstream>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace qvr {

// A readable log of every report and wait, one line per operation:
//   set-feature 00 82 00 ... 7d     get-feature <answer>
//   write <65 bytes>                read <bytes read>
//   wait 20
// Failed calls say so at the end of the line ("failed"). Bytes are two-digit
// lowercase hex with the report ID byte first. Safe to use from two threads.
class Trace {
  public:
    void add(std::string line);
    void addBytes(const char* operation, std::span<const std::uint8_t> bytes, bool ok = true);
    std::vector<std::string> lines() const;
    void clear();
    // Also append every line to a file, flushed at once so a crash keeps it.
    bool writeTo(const std::string& path);

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    std::ofstream file_;
};

std::string hexBytes(std::span<const std::uint8_t> bytes, const char* separator = " ");

// Wraps a device so that every call lands in the trace.
class TracingDevice final : public HidDevice {
  public:
    TracingDevice(std::unique_ptr<HidDevice> inner, std::shared_ptr<Trace> trace);
    bool setFeature(std::span<const std::uint8_t> report) override;
    int getFeature(std::span<std::uint8_t> buffer) override;
    int write(std::span<const std::uint8_t> report) override;
    int read(std::span<std::uint8_t> buffer, int timeoutMs) override;

  private:
    std::unique_ptr<HidDevice> inner_;
    std::shared_ptr<Trace> trace_;
};

// Wraps a clock so that every wait lands in the trace.
class TracingClock final : public Clock {
  public:
    TracingClock(Clock& inner, std::shared_ptr<Trace> trace)
        : inner_(inner), trace_(std::move(trace)) {}
    void sleepFor(std::chrono::milliseconds duration) override;

  private:
    Clock& inner_;
    std::shared_ptr<Trace> trace_;
};

} // namespace qvr
