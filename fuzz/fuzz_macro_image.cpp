// A macro image as a mouse or a hand-edited profile may hold it.
#include "core/macros/macro_decoder.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const qvr::DecodedMacro macro =
        qvr::decodeMacroImage(std::span<const std::uint8_t>(data, size));
    for (const auto& event : macro.events) {
        if (event.offset + event.size > size || event.offset + event.size > 128)
            std::abort();
    }
    qvr::decodedMacroItems(macro);
    return 0;
}
