// Input reports on the mouse's event collection, taken the way the listener
// takes them (through a 64-byte buffer) and turned into the balloon the
// window would show. The first byte picks the report length, the rest is the
// report and then the configuration block the mouse answered with.
#include "core/device/listener.h"
#include "core/device/virtual_mouse.h"
#include "core/text/notification_text.h"

#include <algorithm>
#include <array>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::span<const std::uint8_t> input(data + 1, size - 1);
    const std::size_t reportLength = std::min<std::size_t>(data[0], input.size());
    const auto report = input.first(reportLength);
    const auto block = input.subspan(reportLength);

    static qvr::VirtualMouse mouse;
    static auto handle = mouse.openEventCollection();
    mouse.emitInputReport({report.begin(), report.end()});
    std::array<std::uint8_t, qvr::Listener::kBufferSize> buffer{};
    const int got = handle->read(buffer, 0);
    if (got < 0 || static_cast<std::size_t>(got) > buffer.size())
        std::abort();
    const auto event =
        qvr::decodeEventReport(std::span(buffer).first(static_cast<std::size_t>(got)));
    if (!event)
        return 0;
    for (auto language : {qvr::Language::English, qvr::Language::SimplifiedChinese,
                          qvr::Language::TraditionalChinese}) {
        qvr::balloonForEvent(event->type, event->value, language, block);
    }
    return 0;
}
