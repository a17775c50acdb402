#pragma once

#include "core/device/hid_device.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qvr {

// One top-level collection of one HID interface, as the system lists it.
// Report lengths count the report ID byte, as Windows' HID capabilities do
// (the mouse's command collection: feature 9, input and output 65).
struct HidInterfaceInfo {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    std::uint16_t inputReportLength = 0;
    std::uint16_t outputReportLength = 0;
    std::uint16_t featureReportLength = 0;
    int interfaceNumber = -1;
};

enum class OpenMode { ReadWrite, ReadOnly };

// Why an open failed.
enum class HidOpenError {
    None,
    NotFound,             // the node is gone
    PermissionDenied,     // the node exists, but this user may not open it
    DescriptorUnreadable, // opened, but its report descriptor could not be read
    Failed,               // anything else
};

// Where HID interfaces come from: hidapi on a real system, the virtual mouse
// in tests and demonstrations.
class HidBackend {
  public:
    virtual ~HidBackend() = default;
    virtual std::vector<HidInterfaceInfo> enumerate() = 0;
    // nullptr when the interface cannot be opened (gone, no permission).
    virtual std::unique_ptr<HidDevice> open(const HidInterfaceInfo& info, OpenMode mode) = 0;
    // Why the last open() returned nullptr; meaningless after a success.
    virtual HidOpenError lastOpenError() const { return HidOpenError::Failed; }
};

inline constexpr std::uint16_t kMouseVendorId = 0x04D9;
inline constexpr std::uint16_t kMouseProductId = 0xA0F4;

} // namespace qvr
