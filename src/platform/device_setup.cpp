#include "platform/device_setup.h"

#include "core/device/tracing_backend.h"
#include "core/device/virtual_hid_backend.h"
#include "platform/hidapi_backend.h"

namespace qvr {

DeviceSetup::DeviceSetup(Source source, const std::string& tracePath) {
    if (source == Source::VirtualMouse) {
        auto virtualBackend = std::make_unique<VirtualHidBackend>();
        virtualBackend_ = virtualBackend.get();
        virtualMouse_ = virtualBackend->addMouse();
        trace_ = virtualMouse_->trace(); // its collections trace themselves
        source_ = std::move(virtualBackend);
        backend_ = source_.get();
    } else {
        source_ = std::make_unique<HidapiBackend>();
        backend_ = source_.get();
        // Untraced, the hardware keeps no growing log in memory.
        if (!tracePath.empty()) {
            trace_ = std::make_shared<Trace>();
            tracing_ = std::make_unique<TracingBackend>(*source_, trace_);
            backend_ = tracing_.get();
        }
    }
    if (trace_) {
        tracingClock_ = std::make_unique<TracingClock>(steady_, trace_);
        clock_ = tracingClock_.get();
    }
    if (!tracePath.empty() && !trace_->writeTo(tracePath))
        traceError_ = "cannot write the trace to " + tracePath + ".";
}

DeviceSetup::~DeviceSetup() = default;

} // namespace qvr
