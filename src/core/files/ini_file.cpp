#include "core/files/ini_file.h"

#include "core/files/file_system.h"
#include "core/files/text_codec.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>

namespace qvr {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char foldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string foldedName(std::string_view name) {
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), foldAscii);
    return folded;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return foldAscii(x) == foldAscii(y);
           });
}

// What a caller of a C-style buffer sees: the text up to a NUL, as UTF-8.
std::string forCaller(std::string_view text) {
    const auto nul = text.find('\0');
    if (nul != std::string_view::npos) {
        text = text.substr(0, nul);
    }
    return sanitizeUtf8(text);
}

// A stored name matches in its own spelling or in the form the name lists
// hand out (cut at a NUL, invalid bytes as U+FFFD, trimmed), so that every
// listed section or key can be read, changed and removed. Without this a
// hand-edited name with a stray byte would be listed yet never found, and a
// macro of that name could not even be deleted.
bool matchesName(std::string_view stored, bool storedIsAscii, std::string_view wanted) {
    if (sameName(stored, wanted)) {
        return true;
    }
    return !storedIsAscii && sameName(trim(forCaller(stored)), wanted);
}

// Plain ASCII without NUL: listed exactly as stored.
bool isPlainAscii(std::string_view name) {
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return c == '\0' || static_cast<unsigned char>(c) >= 0x80; });
}

std::string_view stripMatchingQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool holdsLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool acceptableSection(std::string_view section) {
    return !trim(section).empty() && !holdsLineBreakOrNul(section) &&
           section.find(']') == std::string_view::npos;
}

bool acceptableKey(std::string_view key) {
    const auto trimmed = trim(key);
    return !trimmed.empty() && !holdsLineBreakOrNul(key) &&
           key.find('=') == std::string_view::npos && trimmed.front() != '[' &&
           trimmed.front() != ';';
}

} // namespace

IniFile::Line IniFile::classify(std::string text, std::string eol) {
    Line line{std::move(text), std::move(eol), LineKind::Other, {}};
    const std::string_view body = trim(line.text);
    if (body.empty()) {
        line.kind = LineKind::Blank;
    } else if (body.front() == ';') {
        line.kind = LineKind::Comment;
    } else if (body.front() == '[') {
        const auto close = body.find(']');
        if (close != std::string_view::npos) {
            line.kind = LineKind::Section;
            line.name = std::string(trim(body.substr(1, close - 1)));
        }
    } else if (const auto equals = body.find('='); equals != std::string_view::npos) {
        const auto key = trim(body.substr(0, equals));
        if (!key.empty()) {
            line.kind = LineKind::Key;
            line.name = std::string(key);
        }
    }
    line.plainName = isPlainAscii(line.name);
    return line;
}

IniFile IniFile::fromBytes(std::span<const std::uint8_t> bytes) {
    IniFile file;
    std::string text;
    auto startsWith = [&](std::initializer_list<std::uint8_t> prefix) {
        return bytes.size() >= prefix.size() &&
               std::equal(prefix.begin(), prefix.end(), bytes.begin());
    };
    if (startsWith({0xFF, 0xFE})) {
        file.encoding_ = IniEncoding::Utf16LeWithBom;
        text = utf16ToUtf8(bytes.subspan(2), ByteOrder::LittleEndian);
    } else if (startsWith({0xFE, 0xFF})) {
        file.encoding_ = IniEncoding::Utf16BeWithBom;
        text = utf16ToUtf8(bytes.subspan(2), ByteOrder::BigEndian);
    } else if (startsWith({0xEF, 0xBB, 0xBF})) {
        file.encoding_ = IniEncoding::Utf8WithBom;
        text.assign(bytes.begin() + 3, bytes.end());
    } else {
        text.assign(bytes.begin(), bytes.end());
    }

    const std::string_view all = text;
    bool sawBreak = false;
    std::size_t start = 0;
    while (start < all.size()) {
        const auto newline = all.find('\n', start);
        if (newline == std::string_view::npos) {
            file.lines_.push_back(classify(std::string(all.substr(start)), ""));
            break;
        }
        const bool crlf = newline > start && all[newline - 1] == '\r';
        const std::size_t textEnd = crlf ? newline - 1 : newline;
        if (!sawBreak) {
            // The first break decides how added lines end.
            file.lineEnding_ = crlf ? IniLineEnding::CrLf : IniLineEnding::Lf;
            sawBreak = true;
        }
        file.lines_.push_back(
            classify(std::string(all.substr(start, textEnd - start)), crlf ? "\r\n" : "\n"));
        start = newline + 1;
    }
    return file;
}

IniFile IniFile::fromText(std::string_view text) {
    return fromBytes(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::vector<std::uint8_t> IniFile::toBytes() const {
    std::string text;
    if (encoding_ == IniEncoding::Utf8WithBom) {
        text = kUtf8Bom;
    }
    for (const Line& line : lines_) {
        text += line.text;
        text += line.eol;
    }
    switch (encoding_) {
    case IniEncoding::Utf16LeWithBom: {
        std::vector<std::uint8_t> bytes{0xFF, 0xFE};
        const auto body = utf8ToUtf16(text, ByteOrder::LittleEndian);
        bytes.insert(bytes.end(), body.begin(), body.end());
        return bytes;
    }
    case IniEncoding::Utf16BeWithBom: {
        std::vector<std::uint8_t> bytes{0xFE, 0xFF};
        const auto body = utf8ToUtf16(text, ByteOrder::BigEndian);
        bytes.insert(bytes.end(), body.begin(), body.end());
        return bytes;
    }
    case IniEncoding::Utf8:
    case IniEncoding::Utf8WithBom:
        break;
    }
    return {text.begin(), text.end()};
}

std::optional<IniFile::Range> IniFile::firstSection(std::string_view section) const {
    const auto wanted = trim(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Section &&
            matchesName(lines_[i].name, lines_[i].plainName, wanted)) {
            std::size_t end = i + 1;
            while (end < lines_.size() && lines_[end].kind != LineKind::Section) {
                ++end;
            }
            return Range{i, end};
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> IniFile::firstKey(Range range, std::string_view key) const {
    const auto wanted = trim(key);
    for (std::size_t i = range.begin + 1; i < range.end; ++i) {
        if (lines_[i].kind == LineKind::Key &&
            matchesName(lines_[i].name, lines_[i].plainName, wanted)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::find(std::string_view section, std::string_view key) const {
    const auto range = firstSection(section);
    if (!range) {
        return std::nullopt;
    }
    const auto index = firstKey(*range, key);
    if (!index) {
        return std::nullopt;
    }
    return valueOfLine(*index);
}

std::optional<std::string> IniFile::findRaw(std::string_view section, std::string_view key) const {
    const auto range = firstSection(section);
    const auto index = range ? firstKey(*range, key) : std::nullopt;
    if (!index) {
        return std::nullopt;
    }
    const std::string_view text = lines_[*index].text;
    return std::string(trim(text.substr(text.find('=') + 1)));
}

std::string IniFile::valueOfLine(std::size_t index) const {
    const std::string_view text = lines_[index].text;
    std::string_view value = trim(text.substr(text.find('=') + 1));
    value = stripMatchingQuotes(value);
    return forCaller(truncateToUtf16Units(value, kIniMaxValueUnits));
}

IniFile::SectionView IniFile::section(std::string_view name) const {
    SectionView view(*this);
    const auto range = firstSection(name);
    if (!range) {
        return view;
    }
    // Lines in file order and emplace keeping the first entry give the same
    // line firstKey would find, under either form of the name.
    for (std::size_t i = range->begin + 1; i < range->end; ++i) {
        if (lines_[i].kind != LineKind::Key) {
            continue;
        }
        view.keyLines_.emplace(foldedName(lines_[i].name), i);
        if (!lines_[i].plainName) {
            view.keyLines_.emplace(foldedName(trim(forCaller(lines_[i].name))), i);
        }
    }
    return view;
}

std::optional<std::string> IniFile::SectionView::find(std::string_view key) const {
    const auto found = keyLines_.find(foldedName(trim(key)));
    if (found == keyLines_.end()) {
        return std::nullopt;
    }
    return file_->valueOfLine(found->second);
}

std::string IniFile::SectionView::value(std::string_view key, std::string_view defaultValue) const {
    auto found = find(key);
    return found ? std::move(*found) : std::string(defaultValue);
}

std::string IniFile::value(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const {
    auto found = find(section, key);
    return found ? std::move(*found) : std::string(defaultValue);
}

bool IniFile::hasSection(std::string_view section) const {
    return firstSection(section).has_value();
}

std::vector<std::string> IniFile::sectionNames() const {
    std::vector<std::string> names;
    for (const Line& line : lines_) {
        if (line.kind != LineKind::Section) {
            continue;
        }
        const bool seen = std::any_of(names.begin(), names.end(), [&](const std::string& n) {
            return sameName(n, forCaller(line.name));
        });
        if (!seen) {
            names.push_back(forCaller(line.name));
        }
    }
    return names;
}

std::vector<std::string> IniFile::keyNames(std::string_view section) const {
    std::vector<std::string> names;
    const auto range = firstSection(section);
    if (!range) {
        return names;
    }
    for (std::size_t i = range->begin + 1; i < range->end; ++i) {
        if (lines_[i].kind != LineKind::Key) {
            continue;
        }
        std::string name = forCaller(lines_[i].name);
        const bool seen = std::any_of(names.begin(), names.end(),
                                      [&](const std::string& n) { return sameName(n, name); });
        if (!seen) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

std::string IniFile::newLineBreak() const {
    return lineEnding_ == IniLineEnding::CrLf ? "\r\n" : "\n";
}

void IniFile::insertLine(std::size_t at, std::string text) {
    // A last line without a break gets one before anything follows it.
    if (at == lines_.size() && !lines_.empty() && lines_.back().eol.empty()) {
        lines_.back().eol = newLineBreak();
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                  classify(std::move(text), newLineBreak()));
}

bool IniFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
    if (!acceptableSection(section) || !acceptableKey(key) || holdsLineBreakOrNul(value)) {
        return false;
    }
    const auto range = firstSection(section);
    if (!range) {
        if (!lines_.empty() && lines_.back().kind != LineKind::Blank) {
            insertLine(lines_.size(), "");
        }
        insertLine(lines_.size(), "[" + std::string(section) + "]");
        insertLine(lines_.size(), std::string(key) + "=" + std::string(value));
        return true;
    }
    if (const auto index = firstKey(*range, key)) {
        Line& line = lines_[*index];
        // Keep everything up to the value: indentation, spelling, blanks after "=".
        std::size_t valueStart = line.text.find('=') + 1;
        while (valueStart < line.text.size() && isBlank(line.text[valueStart])) {
            ++valueStart;
        }
        line.text = line.text.substr(0, valueStart) + std::string(value);
        return true;
    }
    std::size_t after = range->begin;
    for (std::size_t i = range->begin + 1; i < range->end; ++i) {
        if (lines_[i].kind == LineKind::Key) {
            after = i;
        }
    }
    insertLine(after + 1, std::string(key) + "=" + std::string(value));
    return true;
}

bool IniFile::removeKey(std::string_view section, std::string_view key) {
    const auto range = firstSection(section);
    if (!range) {
        return false;
    }
    const auto wanted = trim(key);
    const auto begin = lines_.begin() + static_cast<std::ptrdiff_t>(range->begin + 1);
    const auto end = lines_.begin() + static_cast<std::ptrdiff_t>(range->end);
    const auto kept = std::remove_if(begin, end, [&](const Line& line) {
        return line.kind == LineKind::Key && sameName(line.name, wanted);
    });
    if (kept == end) {
        return false;
    }
    lines_.erase(kept, end);
    return true;
}

bool IniFile::removeSection(std::string_view section) {
    bool removed = false;
    while (const auto range = firstSection(section)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->begin),
                     lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
        removed = true;
    }
    return removed;
}

IniLoadResult loadIniFile(const fs::path& path) {
    IniLoadResult result;
    FileRead read = fileSystem().readFile(path, kIniMaxFileSize);
    if (read.errorCode == ENOENT) {
        return result; // the ordinary "no such file"
    }
    if (!read.ok()) {
        result.status = IniLoadStatus::Failed;
        result.errorCode = read.errorCode;
        return result;
    }
    result.file = IniFile::fromBytes(read.bytes);
    result.status = IniLoadStatus::Loaded;
    return result;
}

FileWriteResult saveIniFile(const fs::path& path, const IniFile& file,
                            const AtomicWriteFault& fault) {
    const auto bytes = file.toBytes();
    return writeFileAtomically(path, bytes, fault);
}

} // namespace qvr
