#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qvr {

// Everything the user sets, as one packed run of bytes. The layout is the
// profile file format and the memory layout at once, so every offset below is
// fixed by static_asserts and must never move.
struct ConfigRecord {
    std::uint8_t activeProfile;
    std::array<std::uint8_t, 4> reserved01;
    std::uint8_t reportRateCode;
    std::uint8_t reserved06;
    std::array<std::uint8_t, 6> dpiStage;
    std::array<std::uint8_t, 10> reserved0D;
    std::array<std::uint8_t, 18> stageColor; // red, blue, green per stage
    std::array<std::uint8_t, 6> reserved29;
    std::uint8_t lightingMode;
    std::uint8_t lightingParam1;
    std::uint8_t lightingParam2;
    std::uint8_t lightingParam3;
    std::uint8_t enhancePointerPrecision;
    std::uint8_t scrollOneScreen;
    std::uint8_t pointerSpeed;
    std::uint8_t wheelScrollLines;
    std::uint8_t doubleClickSpeed;
    std::uint8_t angleSnapLevel;
    std::uint8_t reserved39;
    std::uint8_t sensitivityX;
    std::uint8_t sensitivityY;
    std::array<std::uint8_t, 8> buttonFunction;
    std::array<std::uint8_t, 8> buttonWheelChoice;
    std::array<std::uint8_t, 8> buttonDpiAction;
    std::array<std::uint8_t, 8> reserved54;
    std::array<std::uint8_t, 8> buttonMediaCode;
    std::array<std::uint8_t, 8> buttonCommand;
    std::array<std::uint8_t, 24> reserved6C;
    std::array<std::uint8_t, 8> buttonHotKey;
    std::array<std::uint8_t, 8> buttonSingleKey;
    std::array<std::uint8_t, 8> buttonComboModifiers;
    std::array<std::uint8_t, 8> buttonComboKey1;
    std::array<std::uint8_t, 8> buttonComboKey2;
    std::array<std::uint8_t, 32> reservedAC;
    std::array<std::uint8_t, 8> buttonMacroNumber; // counted from 0
    std::array<std::uint8_t, 8> buttonMacroRepeat;
    std::array<std::uint8_t, 1536> macroData; // twelve 128-byte macro images

    bool operator==(const ConfigRecord&) const = default;
};

inline constexpr std::size_t kRecordSize = 1756;
inline constexpr std::size_t kSettingsPartSize = 220; // everything in front of macroData
inline constexpr std::size_t kMacroPartSize = 1536;
inline constexpr std::size_t kProfileFileSize = kRecordSize + 1; // firstRunFlag + record
inline constexpr int kButtonCount = 8;
inline constexpr int kDpiStagesUsed = 4;
inline constexpr int kMacroCount = 12;
inline constexpr std::size_t kMacroImageSize = 128;

static_assert(sizeof(ConfigRecord) == kRecordSize);
static_assert(offsetof(ConfigRecord, activeProfile) == 0x00);
static_assert(offsetof(ConfigRecord, reserved01) == 0x01);
static_assert(offsetof(ConfigRecord, reportRateCode) == 0x05);
static_assert(offsetof(ConfigRecord, reserved06) == 0x06);
static_assert(offsetof(ConfigRecord, dpiStage) == 0x07);
static_assert(offsetof(ConfigRecord, reserved0D) == 0x0D);
static_assert(offsetof(ConfigRecord, stageColor) == 0x17);
static_assert(offsetof(ConfigRecord, reserved29) == 0x29);
static_assert(offsetof(ConfigRecord, lightingMode) == 0x2F);
static_assert(offsetof(ConfigRecord, lightingParam1) == 0x30);
static_assert(offsetof(ConfigRecord, lightingParam2) == 0x31);
static_assert(offsetof(ConfigRecord, lightingParam3) == 0x32);
static_assert(offsetof(ConfigRecord, enhancePointerPrecision) == 0x33);
static_assert(offsetof(ConfigRecord, scrollOneScreen) == 0x34);
static_assert(offsetof(ConfigRecord, pointerSpeed) == 0x35);
static_assert(offsetof(ConfigRecord, wheelScrollLines) == 0x36);
static_assert(offsetof(ConfigRecord, doubleClickSpeed) == 0x37);
static_assert(offsetof(ConfigRecord, angleSnapLevel) == 0x38);
static_assert(offsetof(ConfigRecord, reserved39) == 0x39);
static_assert(offsetof(ConfigRecord, sensitivityX) == 0x3A);
static_assert(offsetof(ConfigRecord, sensitivityY) == 0x3B);
static_assert(offsetof(ConfigRecord, buttonFunction) == 0x3C);
static_assert(offsetof(ConfigRecord, buttonWheelChoice) == 0x44);
static_assert(offsetof(ConfigRecord, buttonDpiAction) == 0x4C);
static_assert(offsetof(ConfigRecord, reserved54) == 0x54);
static_assert(offsetof(ConfigRecord, buttonMediaCode) == 0x5C);
static_assert(offsetof(ConfigRecord, buttonCommand) == 0x64);
static_assert(offsetof(ConfigRecord, reserved6C) == 0x6C);
static_assert(offsetof(ConfigRecord, buttonHotKey) == 0x84);
static_assert(offsetof(ConfigRecord, buttonSingleKey) == 0x8C);
static_assert(offsetof(ConfigRecord, buttonComboModifiers) == 0x94);
static_assert(offsetof(ConfigRecord, buttonComboKey1) == 0x9C);
static_assert(offsetof(ConfigRecord, buttonComboKey2) == 0xA4);
static_assert(offsetof(ConfigRecord, reservedAC) == 0xAC);
static_assert(offsetof(ConfigRecord, buttonMacroNumber) == 0xCC);
static_assert(offsetof(ConfigRecord, buttonMacroRepeat) == 0xD4);
static_assert(offsetof(ConfigRecord, macroData) == 0xDC);
static_assert(offsetof(ConfigRecord, macroData) == kSettingsPartSize);

// Byte views, for files and snapshots.
std::span<std::uint8_t, kRecordSize> recordBytes(ConfigRecord& record);
std::span<const std::uint8_t, kRecordSize> recordBytes(const ConfigRecord& record);

// The desktop pointer settings the user changed in this program for a
// profile. Only these are put on the desktop: the others are the desktop's
// own and stay as the user set them there.
struct PointerChanges {
    bool speed = false;
    bool doubleClick = false;
    bool scrollLines = false;
    // No control edits it; a profile file may still ask for it.
    bool precision = false;

    bool any() const { return speed || doubleClick || scrollLines || precision; }
    bool operator==(const PointerChanges&) const = default;
};

// The record being edited and its copy as last loaded or uploaded.
struct RecordState {
    ConfigRecord record{};
    ConfigRecord appliedRecord{};
    std::uint8_t firstRunFlag = 0; // as last read from a profile file
    PointerChanges pointerChanges{};
    PointerChanges appliedPointerChanges{};
    // Whether the record came whole from a file; one that did not is never
    // saved or sent to the mouse.
    bool loaded = false;
    // The macro names behind record.macroData, by table position, and those
    // of appliedRecord. nullopt: the profile's files did not say.
    std::optional<std::vector<std::string>> macroTableNames;
    std::optional<std::vector<std::string>> appliedMacroTableNames;

    void takeSnapshot() {
        appliedRecord = record;
        appliedPointerChanges = pointerChanges;
        appliedMacroTableNames = macroTableNames;
    }
    void restoreSnapshot() {
        record = appliedRecord;
        pointerChanges = appliedPointerChanges;
        macroTableNames = appliedMacroTableNames;
    }
};

// Angle-snap slider level -> byte the mouse understands.
inline constexpr std::array<std::uint8_t, 12> kAngleSnapTable = {
    0x00, 0x00, 0x82, 0x84, 0x85, 0x86, 0x87, 0x89, 0x8B, 0x8D, 0x8F, 0x00};

// Levels above the table can only come from a hand-made file; they send "off".
std::uint8_t angleSnapByte(std::uint8_t level);

// The constant bytes every device configuration block starts from.
extern const std::array<std::uint8_t, 128> kBlockTemplate;

// Writers' range rules.
inline constexpr int kMinDpi = 100;
inline constexpr int kMaxDpi = 5000;
inline constexpr int kDpiUnit = 50;

// A typed DPI clamped to 100..5000 and stored in units of 50 (remainder dropped).
std::uint8_t dpiToStageValue(int typedDpi);
int stageValueToDpi(std::uint8_t stageValue);

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

// Stage colours are stored red, blue, green. stage is 0-based.
void setStageColor(ConfigRecord& record, int stage, Rgb color);
Rgb stageColor(const ConfigRecord& record, int stage);

inline constexpr std::array<std::uint8_t, 4> kReportRateCodes = {1, 2, 4, 8};
bool isReportRateCode(std::uint8_t code);

} // namespace qvr
