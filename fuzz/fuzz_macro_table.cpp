// "record.ini" as arbitrary bytes, turned into the macro table an upload
// sends, and each image read back.
#include "core/macros/macro_decoder.h"
#include "core/macros/macro_encoder.h"
#include "core/macros/macro_store.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const qvr::IniFile store = qvr::IniFile::fromBytes(std::span<const std::uint8_t>(data, size));
    const auto names = qvr::listMacroNames(store);
    for (const auto& name : names) {
        const qvr::MacroEncoding encoding = qvr::encodeMacroReport(qvr::loadMacro(store, name));
        if (encoding.eventsWritten < 0 || encoding.eventsDropped < 0)
            std::abort();
    }
    const qvr::MacroTable table = qvr::buildMacroTable(store);
    for (std::size_t n = 0; n < qvr::kMacroCount; ++n) {
        const auto image = std::span(table).subspan(n * qvr::kMacroImageSize, qvr::kMacroImageSize);
        qvr::decodedMacroItems(qvr::decodeMacroImage(image));
    }
    return 0;
}
