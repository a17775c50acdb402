#pragma once

#include "core/device/clock.h"
#include "core/device/hid_backend.h"
#include "core/device/trace.h"

#include <memory>
#include <string>

namespace qvr {

class VirtualHidBackend;
class VirtualMouse;

// The device side of a program: the hardware through hidapi or the virtual
// mouse, the clock the protocol paces with, and the trace of every report and
// wait. Both programs build it here, so their traces read alike.
class DeviceSetup {
  public:
    enum class Source { Hardware, VirtualMouse };

    // With a trace path, every report and wait also goes to that file, which
    // is emptied first. The virtual mouse keeps its trace in memory anyway.
    explicit DeviceSetup(Source source, const std::string& tracePath = {});
    ~DeviceSetup();
    DeviceSetup(const DeviceSetup&) = delete;
    DeviceSetup& operator=(const DeviceSetup&) = delete;

    // Empty, or the sentence saying why the trace file cannot be written.
    const std::string& traceError() const { return traceError_; }

    HidBackend& backend() { return *backend_; }
    Clock& clock() { return *clock_; }
    // Both null on the hardware.
    VirtualHidBackend* virtualBackend() { return virtualBackend_; }
    const std::shared_ptr<VirtualMouse>& virtualMouse() const { return virtualMouse_; }
    // Null on the hardware when no trace file was asked for.
    const std::shared_ptr<Trace>& trace() const { return trace_; }

  private:
    std::unique_ptr<HidBackend> source_;
    std::unique_ptr<HidBackend> tracing_;
    HidBackend* backend_ = nullptr;
    VirtualHidBackend* virtualBackend_ = nullptr;
    std::shared_ptr<VirtualMouse> virtualMouse_;
    std::shared_ptr<Trace> trace_;
    SteadyClock steady_;
    std::unique_ptr<Clock> tracingClock_;
    Clock* clock_ = &steady_;
    std::string traceError_;
};

} // namespace qvr
