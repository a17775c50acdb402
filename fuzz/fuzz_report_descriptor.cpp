// HID report descriptors as any device may present them.
#include "core/device/report_descriptor.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const qvr::DescriptorResult result =
        qvr::parseReportDescriptor(std::span<const std::uint8_t>(data, size));
    if (!result) {
        // An unclosed collection is reported at the end of the descriptor.
        if (result.fault().offset > size)
            std::abort();
        qvr::describe(result.fault().error);
    }
    return 0;
}
