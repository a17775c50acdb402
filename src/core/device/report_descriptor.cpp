#include "core/device/report_descriptor.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

namespace qvr {

namespace {

enum class ItemType : std::uint8_t { Main = 0, Global = 1, Local = 2, Reserved = 3 };
enum class ReportKind : std::uint8_t { Input, Output, Feature };

// Tags of the short items we act on (HID 1.11, 6.2.2.4, 6.2.2.7, 6.2.2.8).
namespace main_tag {
constexpr std::uint8_t kInput = 0x8;
constexpr std::uint8_t kOutput = 0x9;
constexpr std::uint8_t kCollection = 0xA;
constexpr std::uint8_t kFeature = 0xB;
constexpr std::uint8_t kEndCollection = 0xC;
} // namespace main_tag

namespace global_tag {
constexpr std::uint8_t kUsagePage = 0x0;
constexpr std::uint8_t kReportSize = 0x7;
constexpr std::uint8_t kReportId = 0x8;
constexpr std::uint8_t kReportCount = 0x9;
constexpr std::uint8_t kPush = 0xA;
constexpr std::uint8_t kPop = 0xB;
} // namespace global_tag

namespace local_tag {
constexpr std::uint8_t kUsage = 0x0;
} // namespace local_tag

// HID 1.11, 6.2.2.3: the prefix 0xFE opens a long item.
constexpr std::uint8_t kLongItemPrefix = 0xFE;

// HID 1.11, 6.2.2.2: bSize 3 means four data bytes.
constexpr std::array<std::size_t, 4> kShortItemDataSize = {0, 1, 2, 4};

struct GlobalState {
    std::uint16_t usagePage = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint8_t reportId = 0;
};

struct LocalState {
    // HID 1.11, 6.2.2.8: a four-byte Usage carries its own page in the high
    // half; shorter ones take the Usage Page in force at the main item.
    std::optional<std::uint32_t> firstUsage;
    bool firstUsageExtended = false;
};

struct ReportTally {
    ReportKind kind;
    std::uint8_t reportId;
    std::uint64_t bits;
};

struct CollectionBuilder {
    TopLevelCollection caps;
    std::vector<ReportTally> reports;
};

std::uint64_t saturatingAdd(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
    return a > max - b ? max : a + b;
}

// Report ID byte included, as HidP_GetCaps counts it.
std::uint16_t reportBytes(std::uint64_t bits) {
    const std::uint64_t bytes = bits / 8 + (bits % 8 != 0 ? 1 : 0);
    const std::uint64_t max = std::numeric_limits<std::uint16_t>::max();
    return static_cast<std::uint16_t>(bytes >= max ? max : bytes + 1);
}

void addReportBits(CollectionBuilder& collection, ReportKind kind, std::uint8_t reportId,
                   std::uint64_t bits) {
    for (ReportTally& tally : collection.reports) {
        if (tally.kind == kind && tally.reportId == reportId) {
            tally.bits = saturatingAdd(tally.bits, bits);
            return;
        }
    }
    collection.reports.push_back({kind, reportId, bits});
}

TopLevelCollection finish(const CollectionBuilder& builder) {
    TopLevelCollection caps = builder.caps;
    for (const ReportTally& tally : builder.reports) {
        std::uint16_t& length = tally.kind == ReportKind::Input    ? caps.inputReportLength
                                : tally.kind == ReportKind::Output ? caps.outputReportLength
                                                                   : caps.featureReportLength;
        length = std::max(length, reportBytes(tally.bits));
    }
    return caps;
}

std::uint32_t littleEndian(std::span<const std::uint8_t> data) {
    std::uint32_t value = 0;
    for (std::size_t i = data.size(); i > 0; --i) {
        value = (value << 8) | data[i - 1];
    }
    return value;
}

} // namespace

std::string_view describe(DescriptorError error) {
    switch (error) {
    case DescriptorError::TruncatedItem:
        return "an item runs past the end of the descriptor";
    case DescriptorError::CollectionTooDeep:
        return "collections are nested too deeply";
    case DescriptorError::UnbalancedEndCollection:
        return "End Collection without an open collection";
    case DescriptorError::UnclosedCollection:
        return "the descriptor ends inside a collection";
    case DescriptorError::GlobalStackOverflow:
        return "too many Push items";
    case DescriptorError::GlobalStackUnderflow:
        return "Pop without a matching Push";
    case DescriptorError::InvalidReportId:
        return "invalid Report ID";
    }
    return "unknown descriptor error";
}

DescriptorResult parseReportDescriptor(std::span<const std::uint8_t> descriptor) {
    ParsedReportDescriptor result;
    GlobalState global;
    LocalState local;
    std::vector<GlobalState> globalStack;
    std::size_t depth = 0;
    std::optional<CollectionBuilder> current; // the open top-level collection

    std::size_t pos = 0;
    while (pos < descriptor.size()) {
        const std::size_t itemStart = pos;
        const std::uint8_t prefix = descriptor[pos];
        const std::size_t remaining = descriptor.size() - pos - 1;

        if (prefix == kLongItemPrefix) {
            // HID 1.11, 6.2.2.3: bDataSize and bLongItemTag follow the prefix;
            // no long item tags are defined, so the item is skipped whole.
            if (remaining < 2) {
                return DescriptorFault{DescriptorError::TruncatedItem, itemStart};
            }
            const std::size_t dataSize = descriptor[pos + 1];
            if (remaining - 2 < dataSize) {
                return DescriptorFault{DescriptorError::TruncatedItem, itemStart};
            }
            pos += 3 + dataSize;
            continue;
        }

        // HID 1.11, 6.2.2.2: short item prefix = bTag(4) bType(2) bSize(2).
        const std::size_t dataSize = kShortItemDataSize[prefix & 0x3];
        if (remaining < dataSize) {
            return DescriptorFault{DescriptorError::TruncatedItem, itemStart};
        }
        const auto type = static_cast<ItemType>((prefix >> 2) & 0x3);
        const std::uint8_t tag = prefix >> 4;
        const std::uint32_t data = littleEndian(descriptor.subspan(pos + 1, dataSize));
        pos += 1 + dataSize;

        if (type == ItemType::Global) {
            switch (tag) {
            case global_tag::kUsagePage:
                global.usagePage = static_cast<std::uint16_t>(data);
                break;
            case global_tag::kReportSize:
                global.reportSize = data;
                break;
            case global_tag::kReportCount:
                global.reportCount = data;
                break;
            case global_tag::kReportId:
                // HID 1.11, 6.2.2.7: Report ID 0 is reserved, and the ID
                // travels as one byte in front of the report.
                if (data == 0 || data > 0xFF) {
                    return DescriptorFault{DescriptorError::InvalidReportId, itemStart};
                }
                global.reportId = static_cast<std::uint8_t>(data);
                result.usesReportIds = true;
                break;
            case global_tag::kPush:
                // HID 1.11, 6.2.2.7 leaves the depth of the global item stack
                // open; we bound it.
                if (globalStack.size() >= kMaxGlobalStackDepth) {
                    return DescriptorFault{DescriptorError::GlobalStackOverflow, itemStart};
                }
                globalStack.push_back(global);
                break;
            case global_tag::kPop:
                // HID 1.11, 6.2.2.7: Pop replaces the state with the last Push.
                if (globalStack.empty()) {
                    return DescriptorFault{DescriptorError::GlobalStackUnderflow, itemStart};
                }
                global = globalStack.back();
                globalStack.pop_back();
                break;
            default:
                break; // logical and physical ranges, units: not needed here
            }
            continue;
        }

        if (type == ItemType::Local) {
            if (tag == local_tag::kUsage && !local.firstUsage) {
                local.firstUsage = data;
                local.firstUsageExtended = dataSize == 4;
            }
            continue;
        }

        if (type != ItemType::Main) {
            continue; // HID 1.11, 6.2.2.2: reserved item type, skipped
        }

        switch (tag) {
        case main_tag::kCollection:
            // HID 1.11, 6.2.2.6 does not bound nesting; we do, so hostile
            // descriptors cannot make us work without end.
            if (depth >= kMaxCollectionDepth) {
                return DescriptorFault{DescriptorError::CollectionTooDeep, itemStart};
            }
            if (depth == 0) {
                CollectionBuilder builder;
                const std::uint32_t usage = local.firstUsage.value_or(0);
                builder.caps.usagePage = local.firstUsageExtended
                                             ? static_cast<std::uint16_t>(usage >> 16)
                                             : global.usagePage;
                builder.caps.usage = static_cast<std::uint16_t>(usage & 0xFFFF);
                current = std::move(builder);
            }
            ++depth;
            break;
        case main_tag::kEndCollection:
            // HID 1.11, 6.2.2.4: every End Collection closes a Collection.
            if (depth == 0) {
                return DescriptorFault{DescriptorError::UnbalancedEndCollection, itemStart};
            }
            --depth;
            if (depth == 0 && current) {
                result.collections.push_back(finish(*current));
                current.reset();
            }
            break;
        case main_tag::kInput:
        case main_tag::kOutput:
        case main_tag::kFeature:
            // Data outside any collection belongs to no top-level collection
            // (HID 1.11, 6.2.2.6) and so to no report length.
            if (current) {
                const ReportKind kind = tag == main_tag::kInput    ? ReportKind::Input
                                        : tag == main_tag::kOutput ? ReportKind::Output
                                                                   : ReportKind::Feature;
                // Both factors are below 2^32, so the product fits 64 bits.
                const std::uint64_t bits =
                    std::uint64_t{global.reportSize} * std::uint64_t{global.reportCount};
                addReportBits(*current, kind, global.reportId, bits);
            }
            break;
        default:
            break;
        }
        // HID 1.11, 6.2.2.8: local items end at each main item.
        local = LocalState{};
    }

    if (depth != 0) {
        return DescriptorFault{DescriptorError::UnclosedCollection, descriptor.size()};
    }
    return result;
}

} // namespace qvr
