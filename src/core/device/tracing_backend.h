#pragma once

#include "core/device/hid_backend.h"
#include "core/device/trace.h"

#include <memory>

namespace qvr {

// Puts every device a backend opens into a trace (the real mouse's
// counterpart of the virtual mouse's own trace).
class TracingBackend final : public HidBackend {
  public:
    TracingBackend(HidBackend& inner, std::shared_ptr<Trace> trace)
        : inner_(inner), trace_(std::move(trace)) {}
    std::vector<HidInterfaceInfo> enumerate() override { return inner_.enumerate(); }
    std::unique_ptr<HidDevice> open(const HidInterfaceInfo& info, OpenMode mode) override {
        auto device = inner_.open(info, mode);
        if (!device)
            return nullptr;
        return std::make_unique<TracingDevice>(std::move(device), trace_);
    }
    HidOpenError lastOpenError() const override { return inner_.lastOpenError(); }

  private:
    HidBackend& inner_;
    std::shared_ptr<Trace> trace_;
};

} // namespace qvr
