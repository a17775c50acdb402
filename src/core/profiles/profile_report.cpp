#include "core/profiles/profile_report.h"

#include "core/buttons/button_catalogue.h"
#include "core/buttons/button_encoding.h"
#include "core/buttons/button_labels.h"
#include "core/buttons/key_tables.h"
#include "core/device/config_block.h"
#include "core/device/trace.h"
#include "core/macros/macro_decoder.h"
#include "core/macros/macro_editing.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace qvr {
namespace {

std::string hexRun(std::span<const std::uint8_t> bytes) {
    return hexBytes(bytes, "");
}

std::string colorText(Rgb color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", color.red, color.green, color.blue);
    return text;
}

std::string reportRateText(std::uint8_t code) {
    if (code == 0)
        return "unset (code 0)";
    std::string text = std::to_string(1000 / code) + " Hz";
    if (!isReportRateCode(code))
        text += " (unusual code " + std::to_string(code) + ")";
    return text;
}

std::string modifierNames(std::uint8_t bits) {
    std::string names;
    for (int bit = 0; bit < 8; ++bit) {
        const auto mask = static_cast<std::uint8_t>(1u << bit);
        if (bits & mask) {
            if (!names.empty())
                names += '+';
            names += modifierNameForBit(mask);
        }
    }
    return names.empty() ? "none" : names;
}

std::string keyText(std::uint8_t code) {
    if (code == 0)
        return "none";
    const std::string name = keyNameForCode(code);
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", code);
    return name.empty() ? std::string("unknown ") + hex : name + " (" + hex + ")";
}

std::string macroText(std::span<const std::uint8_t> image) {
    const DecodedMacro macro = decodeMacroImage(image);
    if (macro.events.empty() && macro.loopCount == 0)
        return "empty";
    std::string text = "loop " + std::to_string(macro.loopCount) + ":";
    for (const auto& item : decodedMacroItems(macro))
        text += " [" + item + "]";
    if (macro.cutRecord)
        text += " (last record cut)";
    return text;
}

std::string functionName(std::uint8_t type) {
    return type < kButtonFunctionCount ? std::string(kFunctionTextsEnglish[type])
                                       : "invalid type " + std::to_string(type);
}

// The name behind a table position; empty when the profile does not say.
std::string macroName(const MacroNaming& naming, int position) {
    const auto at = static_cast<std::size_t>(position);
    return at < naming.tableNames.size() ? naming.tableNames[at] : std::string();
}

// "First (sent as macro 2)" for a named table position, else "macro 2".
std::string macroTitle(const MacroNaming& naming, int position) {
    const std::string number = "macro " + std::to_string(position + 1);
    const std::string name = macroName(naming, position);
    return name.empty() ? number : name + " (sent as " + number + ")";
}

std::string buttonDetail(const ConfigRecord& record, int i, const MacroNaming& naming) {
    const std::uint8_t type = record.buttonFunction[i];
    switch (static_cast<ButtonFunctionType>(type)) {
    case ButtonFunctionType::SingleKey:
        return "key " + keyText(record.buttonSingleKey[i]);
    case ButtonFunctionType::ComboKey:
        return "modifiers " + modifierNames(record.buttonComboModifiers[i]) + ", keys " +
               keyText(record.buttonComboKey1[i]) + " + " + keyText(record.buttonComboKey2[i]);
    case ButtonFunctionType::MacroKey: {
        const int number = record.buttonMacroNumber[i];
        return (macroName(naming, number).empty() ? "" : "macro ") + macroTitle(naming, number) +
               ", repeat mode " + std::to_string(record.buttonMacroRepeat[i]);
    }
    default:
        break;
    }
    if (type < kButtonFunctionCount) {
        if (const auto list = optionListOf(static_cast<ButtonFunctionType>(type))) {
            const std::uint8_t values[] = {record.buttonWheelChoice[i], record.buttonDpiAction[i],
                                           record.buttonMediaCode[i], record.buttonHotKey[i],
                                           record.buttonCommand[i]};
            const std::uint8_t value = values[static_cast<int>(*list)];
            const auto position = optionPosition(*list, value);
            return position ? std::string(optionText(*list, *position))
                            : "unknown option " + std::to_string(value);
        }
    }
    return {};
}

} // namespace

std::string describeProfile(const ConfigRecord& record, std::uint8_t firstRunFlag,
                            const MacroNaming& naming) {
    std::ostringstream out;
    out << "first-run flag: " << int(firstRunFlag)
        << (firstRunFlag == 0 ? " (labels not generated yet)" : "") << '\n';
    out << "active profile slot: " << int(record.activeProfile) << '\n';
    out << "report rate: " << reportRateText(record.reportRateCode) << '\n';
    out << "DPI stages:\n";
    for (int stage = 0; stage < 6; ++stage) {
        out << "  stage " << stage + 1 << ": " << stageValueToDpi(record.dpiStage[stage])
            << " DPI, colour " << colorText(stageColor(record, stage))
            << (stage >= kDpiStagesUsed ? " (stored, not used by this mouse)" : "") << '\n';
    }
    out << "lighting: effect " << int(record.lightingMode) << ", sliders "
        << int(record.lightingParam1) << ' ' << int(record.lightingParam2) << ' '
        << int(record.lightingParam3) << '\n';
    out << "sensitivity: X " << int(record.sensitivityX) << ", Y " << int(record.sensitivityY)
        << '\n';
    char snap[8];
    std::snprintf(snap, sizeof snap, "0x%02X", angleSnapByte(record.angleSnapLevel));
    out << "angle snap: level " << int(record.angleSnapLevel) << " (sends " << snap << ")\n";
    out << "pointer: precision " << (record.enhancePointerPrecision == 1 ? "on" : "off")
        << ", speed " << int(record.pointerSpeed) << ", wheel lines "
        << int(record.wheelScrollLines) << (record.scrollOneScreen ? " (one screen per notch)" : "")
        << ", double-click speed " << int(record.doubleClickSpeed) << '\n';
    out << "buttons:\n";
    for (int i = 0; i < kButtonCount; ++i) {
        const ButtonEntry entry = encodeButtonEntry(record, i);
        out << "  button " << i + 1 << ": " << functionName(record.buttonFunction[i]);
        const std::string detail = buttonDetail(record, i, naming);
        if (!detail.empty())
            out << " - " << detail;
        out << "  [" << hexBytes(entry) << "]\n";
    }
    out << "macros:\n";
    // The macro manager's order first, then what the store does not list.
    std::vector<int> order = tablePositionsInStoreOrder(naming.tableNames, naming.storeNames);
    std::erase_if(order, [](int n) { return n >= kMacroCount; });
    for (int n = 0; n < kMacroCount; ++n) {
        if (std::ranges::find(order, n) == order.end())
            order.push_back(n);
    }
    for (const int n : order) {
        const auto image =
            std::span(record.macroData).subspan(n * kMacroImageSize, kMacroImageSize);
        out << "  " << macroTitle(naming, n) << ": " << macroText(image) << '\n';
    }
    return out.str();
}

std::string describeUpload(const ConfigRecord& record) {
    std::string text = "config-block: " + hexRun(buildConfigurationBlock(record)) + '\n';
    Block buttons{};
    buildButtonBlock(record, buttons);
    text += "button-block: " + hexRun(buttons) + '\n';
    return text + describeMacroTable(record.macroData);
}

std::string describeMacroTable(std::span<const std::uint8_t> table) {
    std::string text;
    for (int n = 0; n < kMacroCount; ++n) {
        const std::size_t start = static_cast<std::size_t>(n) * kMacroImageSize;
        std::span<const std::uint8_t> image;
        if (start + kMacroImageSize <= table.size())
            image = table.subspan(start, kMacroImageSize);
        const Block empty{};
        text += "macro-" + std::to_string(n + 1) + ": " +
                hexRun(image.empty() ? std::span<const std::uint8_t>(empty) : image) + '\n';
    }
    return text;
}

} // namespace qvr
