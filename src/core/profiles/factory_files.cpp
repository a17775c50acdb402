#include "core/profiles/factory_files.h"

#include "core/buttons/button_labels.h"
#include "core/files/atomic_file.h"
#include "core/files/ini_file.h"
#include "core/profiles/profile_files.h"
#include "core/profiles/profile_record_file.h"
#include "core/text/language_tables.h"

#include <array>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>

namespace qvr {

namespace fs = std::filesystem;

namespace {

// Stage colours of the four used stages, and of the two carried ones.
constexpr std::array<Rgb, 6> kStageColors = {{
    {255, 0, 0},   // red
    {0, 255, 0},   // green
    {0, 0, 255},   // blue
    {255, 255, 0}, // yellow
    {255, 0, 255}, // magenta
    {0, 255, 255}, // cyan
}};

// Light text that reads on the dark skin.
constexpr std::string_view kTextRed = "225";
constexpr std::string_view kTextGreen = "230";
constexpr std::string_view kTextBlue = "235";

// "Point" values: the middle sensitivity steps and the pointer speed.
constexpr std::array<std::string_view, 4> kPointValues = {"6", "6", "6", "10"};

constexpr std::array<Language, 3> kLanguages = {Language::English, Language::SimplifiedChinese,
                                                Language::TraditionalChinese};

std::vector<std::uint8_t> recordFile(const ConfigRecord& record) {
    const auto image = recordFileImage(record, 0); // labels not generated yet
    return {image.begin(), image.end()};
}

void addSkinsAndLabels(IniFile& file) {
    using namespace settings_keys;
    file.setValue(kSkinsSection, kPath, kFactorySkin);
    file.setValue(kSkinsSection, kRColor, kTextRed);
    file.setValue(kSkinsSection, kGColor, kTextGreen);
    file.setValue(kSkinsSection, kBColor, kTextBlue);
    file.setValue(kSkinsSection, kLan, ""); // English
    for (std::size_t i = 0; i < kPointKeys.size(); ++i) {
        file.setValue(kPointSection, kPointKeys[i], kPointValues[i]);
    }
    for (Language language : kLanguages) {
        const auto labels = defaultButtonLabels(language);
        for (int i = 0; i < kButtonCount; ++i) {
            file.setValue(labelSectionName(language), itemKey(i + 1),
                          labels[static_cast<std::size_t>(i)]);
        }
    }
}

std::vector<std::uint8_t> globalSettingsFile() {
    using namespace settings_keys;
    const std::string firstProfile =
        std::string(profileManagerTexts(Language::English).profileBaseName) + "_0";
    IniFile file;
    file.setValue(kProfileSection, kCurProfileName, firstProfile);
    file.setValue(kProfileSection, kItemCount, "1");
    file.setValue(kProfileSection, itemKey(0), firstProfile);
    addSkinsAndLabels(file);
    return file.toBytes();
}

std::vector<std::uint8_t> profileSettingsFile() {
    IniFile file;
    addSkinsAndLabels(file);
    return file.toBytes();
}

bool holdsBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec) || fs::file_size(path, ec) != bytes.size() || ec) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    const std::vector<std::uint8_t> current{std::istreambuf_iterator<char>(in),
                                            std::istreambuf_iterator<char>()};
    return current == bytes;
}

} // namespace

ConfigRecord factoryRecord() {
    ConfigRecord record{};
    record.reportRateCode = 1; // 1000 Hz
    record.dpiStage = {dpiToStageValue(800),  dpiToStageValue(1600), dpiToStageValue(2400),
                       dpiToStageValue(3200), dpiToStageValue(4000), dpiToStageValue(5000)};
    for (int stage = 0; stage < static_cast<int>(kStageColors.size()); ++stage) {
        setStageColor(record, stage, kStageColors[static_cast<std::size_t>(stage)]);
    }
    record.lightingMode = 1;
    record.lightingParam1 = 3;
    record.lightingParam2 = 3;
    record.lightingParam3 = 3;
    record.enhancePointerPrecision = 1;
    record.scrollOneScreen = 0;
    record.pointerSpeed = 10;
    record.wheelScrollLines = 3;
    record.doubleClickSpeed = 5; // 620 ms
    record.angleSnapLevel = 1;   // off
    record.sensitivityX = 6;
    record.sensitivityY = 6;
    applyDefaultButtons(record);
    return record;
}

std::vector<FactoryFile> factoryFiles() {
    const ConfigRecord record = factoryRecord();
    std::vector<FactoryFile> files;
    files.push_back({std::string(kDefaultRecordFileName), recordFile(record)});
    for (int index = 0; index < kProfileCount; ++index) {
        files.push_back({profileRecordFileName(index), recordFile(record)});
    }
    files.push_back({std::string(kGlobalSettingsFileName), globalSettingsFile()});
    for (int index = 0; index < kProfileCount; ++index) {
        files.push_back({profileSettingsFileName(index), profileSettingsFile()});
    }
    files.push_back({std::string(kMacroStoreFileName), {}});
    return files;
}

FactoryWriteReport writeFactoryFiles(const fs::path& folder) {
    FactoryWriteReport report;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        report.errors.push_back("cannot create " + folder.string() + ": " + ec.message());
        return report;
    }
    for (const FactoryFile& file : factoryFiles()) {
        const fs::path path = folder / file.name;
        if (holdsBytes(path, file.bytes)) {
            report.unchanged.push_back(file.name);
            continue;
        }
        const FileWriteResult result = writeFileAtomically(path, file.bytes);
        if (result.ok()) {
            report.written.push_back(file.name);
        } else {
            report.errors.push_back(result.message);
        }
    }
    return report;
}

} // namespace qvr
