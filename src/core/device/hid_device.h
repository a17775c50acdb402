#pragma once

#include <cstdint>
#include <span>

namespace qvr {

// One open HID collection. Every buffer starts with the report ID byte
// (0 for this mouse); the caller owns the buffers. Results are always
// returned, never thrown: the protocol decides what a failure means.
class HidDevice {
  public:
    virtual ~HidDevice() = default;

    // Sends a feature report; true when the whole report went out.
    virtual bool setFeature(std::span<const std::uint8_t> report) = 0;
    // buffer[0] holds the report ID on entry; on success the answer fills the
    // buffer. Returns the number of bytes received, or -1.
    virtual int getFeature(std::span<std::uint8_t> buffer) = 0;
    // Writes an output (data) report; returns the bytes written, or -1.
    virtual int write(std::span<const std::uint8_t> report) = 0;
    // Reads one input report into buffer (never past its end). Returns the
    // bytes read, 0 when timeoutMs passed with nothing, or -1 on an error
    // (the device is gone, for example).
    virtual int read(std::span<std::uint8_t> buffer, int timeoutMs) = 0;
};

} // namespace qvr

namespace qvr {

// Stands in while no mouse is open: every call fails, nothing is touched.
class NullDevice final : public HidDevice {
  public:
    bool setFeature(std::span<const std::uint8_t>) override { return false; }
    int getFeature(std::span<std::uint8_t>) override { return -1; }
    int write(std::span<const std::uint8_t>) override { return -1; }
    int read(std::span<std::uint8_t>, int) override { return -1; }
};

} // namespace qvr
