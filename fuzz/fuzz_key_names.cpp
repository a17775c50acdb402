// Key-name look-ups with any text or code: names from files, event items
// and key events.
#include "core/buttons/button_labels.h"
#include "core/buttons/evdev_key_names.h"
#include "core/buttons/key_tables.h"
#include "core/macros/macro_model.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::uint8_t code = qvr::keyNameToCode(text);
    // A name that maps to a code names that code (the first row wins both ways).
    if (code != 0 && qvr::keyNameToCode(qvr::keyNameForCode(code)) != code)
        std::abort();
    const std::uint8_t bit = qvr::modifierNameToBit(text);
    if (bit != 0 && qvr::modifierNameForBit(bit) != text)
        std::abort();
    qvr::macroKeyCode(text);
    qvr::parseMacroItem(text);
    qvr::delayTextMs(text);
    qvr::singleKeyLabel(text);
    qvr::comboKeyLabel(text, text, text);

    int number = 0;
    std::memcpy(&number, data, std::min(size, sizeof number));
    qvr::keyNameFromEvdevCode(number);
    qvr::keyNameFromX11Keycode(number);
    if (size > 0) {
        qvr::keyNameForCode(data[0]);
        qvr::modifierNameForBit(data[0]);
    }
    return 0;
}
