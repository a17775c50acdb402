// The INI engine on arbitrary file images: every image reads, writes back
// unchanged, and survives look-ups and edits.
#include "core/files/ini_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    qvr::IniFile ini = qvr::IniFile::fromBytes(bytes);
    // UTF-16 images drop an odd last byte; every other image is kept whole.
    const bool wholeUnits = ini.encoding() == qvr::IniEncoding::Utf8 ||
                            ini.encoding() == qvr::IniEncoding::Utf8WithBom || size % 2 == 0;
    if (wholeUnits && ini.toBytes() != std::vector<std::uint8_t>(bytes.begin(), bytes.end()))
        std::abort();
    for (const auto& section : ini.sectionNames()) {
        const auto view = ini.section(section);
        for (const auto& key : ini.keyNames(section)) {
            const auto value = ini.find(section, key);
            if (!value || view.find(key) != value)
                std::abort();
        }
    }
    const auto names = ini.sectionNames();
    if (!names.empty()) {
        const std::string& first = names.front();
        if (ini.setValue(first, "fuzz", "value") && ini.value(first, "FUZZ") != "value")
            std::abort();
        ini.removeKey(first, "fuzz");
        ini.removeSection(first);
    }
    if (!ini.setValue("fuzz", "key", "value") || ini.value("FUZZ", "KEY") != "value")
        std::abort();
    // What was written must read back the same after a trip through bytes.
    if (qvr::IniFile::fromBytes(ini.toBytes()).value("fuzz", "key") != "value")
        std::abort();
    return 0;
}
