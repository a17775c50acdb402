#include "core/files/text_codec.h"

namespace qvr {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendUnit(std::vector<std::uint8_t>& out, std::uint16_t unit, ByteOrder order) {
    const auto low = static_cast<std::uint8_t>(unit & 0xFF);
    const auto high = static_cast<std::uint8_t>(unit >> 8);
    if (order == ByteOrder::LittleEndian) {
        out.push_back(low);
        out.push_back(high);
    } else {
        out.push_back(high);
        out.push_back(low);
    }
}

struct Decoded {
    char32_t codePoint;
    std::size_t length; // bytes consumed, at least 1
    bool valid;
};

// Decodes one UTF-8 sequence at text[pos]. Surrogates (WTF-8) count as
// decodable; the caller decides whether it accepts them.
Decoded decodeAt(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        return {lead, 1, true};
    }
    std::size_t length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        c = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        c = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        c = lead & 0x07;
        minimum = 0x10000;
    } else {
        return {kReplacement, 1, false};
    }
    if (pos + length > text.size()) {
        return {kReplacement, 1, false};
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            return {kReplacement, 1, false};
        }
        c = (c << 6) | (next & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF) {
        return {kReplacement, 1, false};
    }
    return {c, length, true};
}

bool isSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

} // namespace

std::string utf16ToUtf8(std::span<const std::uint8_t> bytes, ByteOrder order) {
    std::string out;
    out.reserve(bytes.size());
    const std::size_t units = bytes.size() / 2;
    auto unitAt = [&](std::size_t i) -> char32_t {
        const std::uint8_t first = bytes[2 * i];
        const std::uint8_t second = bytes[2 * i + 1];
        return order == ByteOrder::LittleEndian ? (first | (second << 8)) : ((first << 8) | second);
    };
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const char32_t next = unitAt(i + 1);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        appendUtf8(out, unit); // lone surrogates included
    }
    return out;
}

std::vector<std::uint8_t> utf8ToUtf16(std::string_view text, ByteOrder order) {
    std::vector<std::uint8_t> out;
    out.reserve(text.size() * 2);
    for (std::size_t pos = 0; pos < text.size();) {
        const Decoded d = decodeAt(text, pos);
        pos += d.length;
        if (d.codePoint >= 0x10000) {
            const char32_t v = d.codePoint - 0x10000;
            appendUnit(out, static_cast<std::uint16_t>(0xD800 + (v >> 10)), order);
            appendUnit(out, static_cast<std::uint16_t>(0xDC00 + (v & 0x3FF)), order);
        } else {
            appendUnit(out, static_cast<std::uint16_t>(d.codePoint), order);
        }
    }
    return out;
}

std::string sanitizeUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const Decoded d = decodeAt(text, pos);
        if (d.valid && !isSurrogate(d.codePoint)) {
            out.append(text.substr(pos, d.length));
        } else {
            appendUtf8(out, kReplacement);
        }
        pos += d.length;
    }
    return out;
}

std::size_t utf16Length(std::string_view text) {
    std::size_t units = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const Decoded d = decodeAt(text, pos);
        units += d.codePoint >= 0x10000 ? 2 : 1;
        pos += d.length;
    }
    return units;
}

std::string_view truncateToUtf16Units(std::string_view text, std::size_t maxUnits) {
    std::size_t units = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const Decoded d = decodeAt(text, pos);
        const std::size_t width = d.codePoint >= 0x10000 ? 2 : 1;
        if (units + width > maxUnits) {
            break;
        }
        units += width;
        pos += d.length;
    }
    return text.substr(0, pos);
}

} // namespace qvr
