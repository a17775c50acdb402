#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qvr {

enum class ByteOrder { LittleEndian, BigEndian };

// UTF-16 bytes to UTF-8. Unpaired surrogates are kept in the generalised
// three-byte form (WTF-8), so that encoding the result again gives back the
// same bytes; an odd last byte is dropped.
std::string utf16ToUtf8(std::span<const std::uint8_t> bytes, ByteOrder order);

// UTF-8 (or WTF-8) to UTF-16 bytes. Bytes that are not UTF-8 become U+FFFD.
std::vector<std::uint8_t> utf8ToUtf16(std::string_view text, ByteOrder order);

// Valid UTF-8 for display: every invalid byte and every surrogate becomes
// U+FFFD.
std::string sanitizeUtf8(std::string_view text);

// The length of text in UTF-16 code units, the unit of Windows text buffers.
std::size_t utf16Length(std::string_view text);

// The longest prefix of text, cut at a character boundary, that fits into
// maxUnits UTF-16 code units.
std::string_view truncateToUtf16Units(std::string_view text, std::size_t maxUnits);

} // namespace qvr
