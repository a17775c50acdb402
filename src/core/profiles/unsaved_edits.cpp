#include "core/profiles/unsaved_edits.h"

#include "core/files/file_system.h"
#include "core/files/ini_file.h"

#include <algorithm>
#include <charconv>

namespace qvr {

namespace {

constexpr std::string_view kSection = "Unsaved";
constexpr std::string_view kProfileKey = "Profile";
constexpr std::string_view kNameKey = "Name";
constexpr std::string_view kRecordKey = "Record";
constexpr std::string_view kImportedKey = "Imported";
constexpr std::string_view kTableCountKey = "MacroTableCount";
std::string tableKey(std::size_t position) {
    return "MacroTable" + std::to_string(position);
}

// Names and labels may hold any bytes, and INI values lose their outer
// blanks: everything of the user's goes as hex.
std::string toHex(std::span<const std::uint8_t> bytes) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const std::uint8_t byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

std::string toHex(std::string_view text) {
    return toHex(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::optional<std::string> fromHex(std::string_view text) {
    if (text.size() % 2 != 0)
        return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        unsigned value = 0;
        const auto [end, error] = std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
        if (error != std::errc() || end != text.data() + i + 2)
            return std::nullopt;
        bytes += static_cast<char>(value);
    }
    return bytes;
}

} // namespace

FileWriteResult writeUnsavedEdits(const std::filesystem::path& path, const UnsavedEdits& edits) {
    IniFile file;
    file.setValue(kSection, kProfileKey, std::to_string(edits.profile));
    file.setValue(kSection, kNameKey, toHex(edits.profileName));
    file.setValue(kSection, kRecordKey, toHex(recordBytes(edits.record)));
    file.setValue(kSection, kImportedKey, edits.imported ? "1" : "0");
    for (int i = 0; i < kButtonCount; ++i)
        file.setValue(kSection, settings_keys::itemKey(i + 1),
                      toHex(edits.labels[static_cast<std::size_t>(i)]));
    putPointerChanges(file, edits.pointerChanges);
    if (edits.macroTableNames) {
        const std::size_t count =
            std::min(edits.macroTableNames->size(), static_cast<std::size_t>(kMacroCount));
        file.setValue(kSection, kTableCountKey, std::to_string(count));
        for (std::size_t i = 0; i < count; ++i)
            file.setValue(kSection, tableKey(i), toHex((*edits.macroTableNames)[i]));
    }
    return saveIniFile(path, file);
}

std::optional<UnsavedEdits> readUnsavedEdits(const std::filesystem::path& path) {
    const IniLoadResult loaded = loadIniFile(path);
    if (loaded.status != IniLoadStatus::Loaded)
        return std::nullopt;
    const IniFile& file = loaded.file;
    // Raw: a value read as the private-profile functions read it is cut at
    // 1023 characters, and the record alone is 3512.
    const auto raw = [&](std::string_view key) {
        return file.findRaw(kSection, key).value_or(std::string());
    };
    UnsavedEdits edits;
    const std::string profile = raw(kProfileKey);
    const auto [end, error] =
        std::from_chars(profile.data(), profile.data() + profile.size(), edits.profile);
    if (error != std::errc() || end != profile.data() + profile.size() || edits.profile < 0 ||
        edits.profile >= kProfileCount)
        return std::nullopt;
    const auto name = fromHex(raw(kNameKey));
    const auto record = fromHex(raw(kRecordKey));
    if (!name || !record || record->size() != kRecordSize)
        return std::nullopt;
    edits.profileName = *name;
    std::copy(record->begin(), record->end(), recordBytes(edits.record).begin());
    for (int i = 0; i < kButtonCount; ++i) {
        const auto label = fromHex(raw(settings_keys::itemKey(i + 1)));
        if (!label)
            return std::nullopt;
        edits.labels[static_cast<std::size_t>(i)] = *label;
    }
    edits.imported = raw(kImportedKey) == "1";
    edits.pointerChanges = readPointerChanges(file);
    // Names that cannot be read cost only the names: the table is then
    // guessed, as for a file that never had them.
    if (const auto count = file.findRaw(kSection, kTableCountKey)) {
        std::size_t wanted = 0;
        const auto [countEnd, countError] =
            std::from_chars(count->data(), count->data() + count->size(), wanted);
        if (countError == std::errc() && countEnd == count->data() + count->size() &&
            wanted <= static_cast<std::size_t>(kMacroCount)) {
            MacroTableNames names;
            for (std::size_t i = 0; i < wanted; ++i) {
                const auto hex = file.findRaw(kSection, tableKey(i));
                const auto name = hex ? fromHex(*hex) : std::nullopt;
                if (!name)
                    break;
                names.push_back(*name);
            }
            if (names.size() == wanted)
                edits.macroTableNames = std::move(names);
        }
    }
    return edits;
}

bool removeUnsavedEdits(const std::filesystem::path& path) {
    fileSystem().removeEntry(path);
    return fileSystem().entryKind(path) == EntryKind::Missing;
}

} // namespace qvr
