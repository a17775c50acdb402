#pragma once

#include "app/user_messages.h"
#include "config/config_record.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace qvr {

// The settings strings of the profile now in use, as read from its INI file.
struct ProfileSettings {
    std::array<std::string, kButtonCount> labels;
    std::string redColor, greenColor, blueColor;
    std::string skinName;
    std::array<std::string, 4> point; // read and kept; nothing depends on them
};

// What the main window needs of the profile files: load the current profile
// into the record, and read the settings file that belongs to it.
class ProfileSession {
  public:
    virtual ~ProfileSession() = default;
    virtual void loadProfileFiles(RecordState& state) = 0;
    // "Lan" of section "Skins" of the settings file now in use.
    virtual std::string readLanguageCode() = 0;
    virtual void readProfileSettings(std::string_view labelSection) = 0;
    virtual const ProfileSettings& settings() const = 0;
};

// The profile files of a program directory: "str.ini" names the current
// profile, whose record is "config%d.bin" and whose settings are "str%d.ini".
class IniProfileSession final : public ProfileSession {
  public:
    IniProfileSession(std::filesystem::path programDir, UserMessages& messages);

    void loadProfileFiles(RecordState& state) override;
    std::string readLanguageCode() override;
    void readProfileSettings(std::string_view labelSection) override;
    const ProfileSettings& settings() const override { return settings_; }

    int currentProfile() const { return currentProfile_; }
    std::filesystem::path settingsPath() const;

  private:
    std::filesystem::path programDir_;
    UserMessages& messages_;
    int currentProfile_ = 0;
    ProfileSettings settings_;
};

// Converts a colour setting: a decimal number kept as one byte; missing or
// unreadable text gives 0.
std::uint8_t colorComponent(std::string_view text);

} // namespace qvr
