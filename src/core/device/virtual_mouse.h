#pragma once

#include "core/device/device_images.h"
#include "core/device/hid_device.h"
#include "core/device/trace.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace qvr {

// A model of the mouse's firmware, so the program can be tried and tested
// without the hardware. It keeps a slot number, stores what it is sent
// (configuration block, button block, one block per macro number), answers
// the read commands, emits event reports on its input collection, and can be
// unplugged or told to fail. Every report and wait is recorded in its trace.
class VirtualMouse {
  public:
    // What a command-collection call does when a fault is armed.
    enum class FaultKind { None, FailOnce, FailFromThenOn, VanishAt };

    VirtualMouse();
    ~VirtualMouse();
    VirtualMouse(const VirtualMouse&) = delete;
    VirtualMouse& operator=(const VirtualMouse&) = delete;

    // Handles on the two collections, traced. nullptr while unplugged.
    std::unique_ptr<HidDevice> openCommandCollection();
    std::unique_ptr<HidDevice> openEventCollection();

    std::shared_ptr<Trace> trace() const { return trace_; }

    // Plugging: unplugging makes every open handle fail from then on, as a
    // removed device does; plugging in again needs new handles.
    void unplug();
    void plug();
    bool plugged() const;

    // Events the mouse sends when its own buttons switch a DPI stage or a
    // macro key (report 06 07 type value), or any raw input report.
    void emitEvent(std::uint8_t type, std::uint8_t value);
    void emitInputReport(std::vector<std::uint8_t> report);
    // Input reports sent but not read yet.
    std::size_t eventsWaiting() const;

    // Switches a test turns. Call indices count every command-collection call
    // (set-feature, get-feature, write, read) since the last resetCallCount().
    void armFault(FaultKind kind, int atCall = 0);
    void resetCallCount();
    int callCount() const;
    // Length the mouse claims in its answer to 0x8C (128 by default).
    void setConfigAnswerLength(std::uint8_t length);
    void setSlot(std::uint8_t slot);
    // The DPI stage the mouse's own buttons are at, without an event (a DPI
    // event switches it too); the block read back with 0x8C reports it.
    void setDpiStage(std::uint8_t stage);

    // What the firmware holds now.
    std::uint8_t slot() const;
    std::uint8_t dpiStage() const;
    std::uint8_t openModeByte() const;
    std::uint8_t reportRateCode() const;
    Block configurationBlock() const;
    Block buttonBlock() const;
    Block macroBlock(int number) const; // 1..12
    int uploadsBegun() const;

    static constexpr std::size_t kEventReportLength = 8; // report ID 6 + 7 bytes

  private:
    class CommandCollection;
    class EventCollection;
    struct State;

    std::shared_ptr<State> state_;
    std::shared_ptr<Trace> trace_;
};

} // namespace qvr
