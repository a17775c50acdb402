#include "core/buttons/button_labels.h"

#include "core/buttons/button_catalogue.h"
#include "core/buttons/key_tables.h"

namespace qvr {

const std::array<std::string_view, kButtonCount> kDefaultButtonLabelsEnglish = {
    "Click",    "Menu",       "Mouse M Button", "Mouse Scroll Up", "Mouse Scroll Down",
    "DPI loop", "IE Forward", "IE Backward",
};

namespace {

std::string prefixed(std::string_view prefix, std::string_view rest) {
    std::string label{prefix};
    label += kLabelSeparator;
    label += rest;
    return label;
}

void appendPart(std::string& joined, std::string_view part) {
    if (!joined.empty()) {
        joined += kComboJoiner;
    }
    joined += part;
}

std::string_view functionText(ButtonFunctionType type) {
    return kFunctionTextsEnglish[static_cast<std::size_t>(type)];
}

} // namespace

std::string singleKeyLabel(std::string_view keyName, std::string_view prefix) {
    return prefixed(prefix, keyName);
}

std::string comboKeyLabel(std::string_view modifierName, std::string_view key1Name,
                          std::string_view key2Name, std::string_view prefix) {
    std::string parts;
    if (modifierNameToBit(modifierName) != 0) {
        appendPart(parts, modifierName);
    }
    for (std::string_view key : {key1Name, key2Name}) {
        if (keyNameToCode(key) != 0) {
            appendPart(parts, key);
        }
    }
    return prefixed(prefix, parts);
}

std::string macroKeyLabel(std::string_view macroName, std::string_view prefix) {
    return prefixed(prefix, macroName);
}

std::string englishLabelFor(const ConfigRecord& record, int buttonIndex,
                            std::string_view macroName) {
    if (buttonIndex < 0 || buttonIndex >= kButtonCount) {
        return {};
    }
    const auto i = static_cast<std::size_t>(buttonIndex);
    const std::uint8_t rawType = record.buttonFunction[i];
    if (rawType >= kButtonFunctionCount) {
        return {};
    }
    const auto type = static_cast<ButtonFunctionType>(rawType);

    if (const auto list = optionListOf(type)) {
        // Each option list writes exactly one field; read it back.
        const std::uint8_t value = [&] {
            switch (*list) {
            case OptionList::Scroll:
                return record.buttonWheelChoice[i];
            case OptionList::Dpi:
                return record.buttonDpiAction[i];
            case OptionList::Media:
                return record.buttonMediaCode[i];
            case OptionList::HotKey:
                return record.buttonHotKey[i];
            case OptionList::Windows:
                return record.buttonCommand[i];
            }
            return std::uint8_t{0};
        }();
        const auto position = optionPosition(*list, value);
        return std::string{position ? optionText(*list, *position) : functionText(type)};
    }

    switch (type) {
    case ButtonFunctionType::SingleKey:
        return singleKeyLabel(keyNameForCode(record.buttonSingleKey[i]));
    case ButtonFunctionType::ComboKey: {
        // A file may hold several modifier bits; name each of them.
        std::string parts;
        for (const ModifierRow& row : kModifierNameTable) {
            if ((record.buttonComboModifiers[i] & row.bit) != 0) {
                appendPart(parts, row.name);
            }
        }
        for (std::uint8_t code : {record.buttonComboKey1[i], record.buttonComboKey2[i]}) {
            const std::string name = keyNameForCode(code);
            if (!name.empty()) {
                appendPart(parts, name);
            }
        }
        return prefixed(functionText(type), parts);
    }
    case ButtonFunctionType::MacroKey:
        return macroKeyLabel(macroName);
    default:
        return std::string{functionText(type)};
    }
}

void applyDefaultButtons(ConfigRecord& record) {
    constexpr std::array<ButtonFunctionType, kButtonCount> kTypes = {
        ButtonFunctionType::Click,        ButtonFunctionType::Menu,
        ButtonFunctionType::ScrollSelect, ButtonFunctionType::ScrollSelect,
        ButtonFunctionType::ScrollSelect, ButtonFunctionType::CpiCycle,
        ButtonFunctionType::IeForward,    ButtonFunctionType::IeBackward,
    };
    for (auto* field :
         {&record.buttonWheelChoice, &record.buttonDpiAction, &record.buttonMediaCode,
          &record.buttonCommand, &record.buttonHotKey, &record.buttonSingleKey,
          &record.buttonComboModifiers, &record.buttonComboKey1, &record.buttonComboKey2,
          &record.buttonMacroNumber, &record.buttonMacroRepeat}) {
        field->fill(0);
    }
    for (std::size_t i = 0; i < kTypes.size(); ++i) {
        record.buttonFunction[i] = static_cast<std::uint8_t>(kTypes[i]);
    }
    record.buttonWheelChoice[2] = 1; // Mouse M Button
    record.buttonWheelChoice[3] = 2; // Mouse Scroll Up
    record.buttonWheelChoice[4] = 3; // Mouse Scroll Down
    record.buttonDpiAction[5] = 3;   // DPI Loop
}

} // namespace qvr
