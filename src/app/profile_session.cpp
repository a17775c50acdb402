#include "app/profile_session.h"

#include "config/private_profile.h"

#include <charconv>
#include <fstream>

namespace qvr {

namespace {

constexpr std::string_view kProfileSection = "Profile";
constexpr std::string_view kSkinsSection = "Skins";
constexpr std::string_view kPointSection = "Point";
constexpr int kMaxProfiles = 6;
constexpr std::array<std::string_view, 4> kPointKeys = {"SensitivityX_Y", "SensitivityY_Y",
                                                        "Sensitivity_Y", "MouseSpeed_Y"};

int decimal(std::string_view text) {
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string numbered(std::string_view stem, int n, std::string_view suffix) {
    return std::string(stem) + std::to_string(n) + std::string(suffix);
}

} // namespace

IniProfileSession::IniProfileSession(std::filesystem::path programDir, UserMessages& messages)
    : programDir_(std::move(programDir)), messages_(messages) {}

std::filesystem::path IniProfileSession::settingsPath() const {
    return programDir_ / numbered("str", currentProfile_, ".ini");
}

void IniProfileSession::loadProfileFiles(RecordState& state) {
    const auto global = programDir_ / "str.ini";
    const std::string current = readProfileString(global, kProfileSection, "CurProfileName");
    const int count = decimal(readProfileString(global, kProfileSection, "ItemCount"));
    if (count <= 0 || count > kMaxProfiles)
        return;
    for (int i = 0; i < count; ++i) {
        if (readProfileString(global, kProfileSection, numbered("Item", i, "")) == current)
            currentProfile_ = i;
    }
    const auto recordPath = programDir_ / numbered("config", currentProfile_, ".bin");
    std::error_code error;
    if (!std::filesystem::exists(recordPath, error)) {
        messages_.show("Config file is not exist.", kApplicationTitle);
        return;
    }
    std::ifstream file(recordPath, std::ios::binary);
    if (!file || std::filesystem::file_size(recordPath, error) != kProfileFileSize || error)
        return;
    std::array<char, kProfileFileSize> bytes{};
    if (!file.read(bytes.data(), bytes.size()))
        return;
    state.firstRunFlag = static_cast<std::uint8_t>(bytes[0]);
    auto record = recordBytes(state.record);
    std::copy(bytes.begin() + 1, bytes.end(), reinterpret_cast<char*>(record.data()));
}

std::string IniProfileSession::readLanguageCode() {
    return readProfileString(settingsPath(), kSkinsSection, "Lan");
}

void IniProfileSession::readProfileSettings(std::string_view labelSection) {
    const auto path = settingsPath();
    for (int i = 0; i < kButtonCount; ++i)
        settings_.labels[i] = readProfileString(path, labelSection, numbered("Item", i + 1, ""));
    settings_.redColor = readProfileString(path, kSkinsSection, "RColor");
    settings_.greenColor = readProfileString(path, kSkinsSection, "GColor");
    settings_.blueColor = readProfileString(path, kSkinsSection, "BColor");
    settings_.skinName = readProfileString(path, kSkinsSection, "Path");
    for (std::size_t i = 0; i < kPointKeys.size(); ++i)
        settings_.point[i] = readProfileString(path, kPointSection, kPointKeys[i]);
}

std::uint8_t colorComponent(std::string_view text) {
    return static_cast<std::uint8_t>(decimal(text));
}

} // namespace qvr
