#pragma once

#include "core/files/atomic_file.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qvr {

// How the file's text was stored; a file is written back the way it was read.
enum class IniEncoding { Utf8, Utf8WithBom, Utf16LeWithBom, Utf16BeWithBom };

// Line break used for lines this program adds. Lines read from a file keep
// their own break, so a file with mixed breaks is rewritten unchanged.
enum class IniLineEnding { CrLf, Lf };

// Values are read like the Windows private-profile functions read them into a
// buffer of 1024 characters: at most 1023 UTF-16 code units, cut at a
// character boundary.
inline constexpr std::size_t kIniValueBufferSize = 1024;
inline constexpr std::size_t kIniMaxValueUnits = kIniValueBufferSize - 1;

// Files beyond this size are refused instead of being read into memory; every
// settings file of this program is a few kilobytes.
inline constexpr std::uintmax_t kIniMaxFileSize = 16u * 1024u * 1024u;

// An INI file with the rules of the Windows private-profile functions, kept as
// its lines so that comments, blank lines, unknown lines and the order of
// everything survive a rewrite.
//
// Reading:
// - A section header is "[name]" (leading blanks allowed, text after the
//   first "]" ignored); names are trimmed. A key line is "key=value"; key and
//   value are trimmed of blanks, and a value enclosed in a matching pair of
//   single or double quotes loses them. Lines starting with ";" are comments.
//   Lines before the first section belong to no section.
// - Section and key names are compared ignoring ASCII case; other bytes must
//   match exactly. A name is also found under the form the name lists give
//   it (see below), so every listed name can be read, changed and removed.
// - With duplicate sections the first one is the section (as on Windows: a
//   key only in a later duplicate is not found); with duplicate keys the first
//   one counts.
// - Returned texts are valid UTF-8 (bytes that are not become U+FFFD) and end
//   at a NUL character, as a C buffer would.
//
// Writing:
// - A new section is appended at the end of the file, after a blank line when
//   the file does not already end with one, so sections stay apart.
// - A new key goes right after the last key line of its section (before the
//   blank lines and comments that lead to the next section); an existing key
//   gets its value replaced in place, keeping its spelling.
// - Names or values holding line breaks or NUL, key names holding "=" or
//   starting with "[" or ";", and section names holding "]" are refused,
//   since they would change the file's structure.
class IniFile {
  public:
    // An empty new file: UTF-8 without byte-order mark, CRLF line breaks (the
    // files are shared with the Windows version of this program).
    IniFile() = default;

    // Decodes a file image: UTF-8 with or without BOM, UTF-16 with a BOM.
    // Never fails: anything else is read as UTF-8 text, and text without
    // sections simply has no keys.
    static IniFile fromBytes(std::span<const std::uint8_t> bytes);
    static IniFile fromText(std::string_view text);

    // The file image in the encoding and line breaks it was read with.
    std::vector<std::uint8_t> toBytes() const;

    // Reads a key. nullopt when the section or key is missing.
    std::optional<std::string> find(std::string_view section, std::string_view key) const;
    // The value's bytes as stored (trimmed, quotes and all), for values that
    // must be written back unchanged even when they are not UTF-8.
    std::optional<std::string> findRaw(std::string_view section, std::string_view key) const;
    // A missing key reads as empty text, or as defaultValue.
    std::string value(std::string_view section, std::string_view key,
                      std::string_view defaultValue = {}) const;

    bool hasSection(std::string_view section) const;

    // One section, found once and its keys indexed, for reading many of its
    // keys: each look-up then costs no search at all. Valid while the file is
    // neither changed nor destroyed. Reads like find() and value().
    class SectionView {
      public:
        std::optional<std::string> find(std::string_view key) const;
        std::string value(std::string_view key, std::string_view defaultValue = {}) const;

      private:
        friend class IniFile;
        explicit SectionView(const IniFile& file) : file_(&file) {}
        const IniFile* file_;
        // Key names folded to lower case (as stored and as listed) -> the
        // first line that holds the key.
        std::unordered_map<std::string, std::size_t> keyLines_;
    };
    SectionView section(std::string_view name) const;
    // Section names in file order, each name once (the first spelling).
    std::vector<std::string> sectionNames() const;
    // Key names of the section in file order, each name once.
    std::vector<std::string> keyNames(std::string_view section) const;

    // Writes a key, creating the section if needed. False when the names or
    // the value are refused (see above); the file is then unchanged.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);
    // Removes the key's lines from its section. False when there was none.
    bool removeKey(std::string_view section, std::string_view key);
    // Removes every section of that name with all its lines (up to the next
    // header). False when there was none.
    bool removeSection(std::string_view section);

    IniEncoding encoding() const { return encoding_; }
    IniLineEnding lineEnding() const { return lineEnding_; }

    bool operator==(const IniFile&) const = default;

  private:
    enum class LineKind { Blank, Comment, Section, Key, Other };

    struct Line {
        std::string text; // without the line break
        std::string eol;  // "\r\n", "\n" or "" for a last line without one
        LineKind kind = LineKind::Other;
        std::string name;      // trimmed section or key name
        bool plainName = true; // ASCII without NUL, so listed exactly as stored

        bool operator==(const Line&) const = default;
    };

    struct Range {
        std::size_t begin; // the header line
        std::size_t end;   // one past the section's last line
    };

    static Line classify(std::string text, std::string eol);
    std::optional<Range> firstSection(std::string_view section) const;
    std::optional<std::size_t> firstKey(Range range, std::string_view key) const;
    std::string valueOfLine(std::size_t index) const;
    std::string newLineBreak() const;
    void insertLine(std::size_t at, std::string text);

    std::vector<Line> lines_;
    IniEncoding encoding_ = IniEncoding::Utf8;
    IniLineEnding lineEnding_ = IniLineEnding::CrLf;
};

enum class IniLoadStatus { Loaded, Missing, Failed };

struct IniLoadResult {
    IniFile file; // empty unless Loaded
    IniLoadStatus status = IniLoadStatus::Missing;
    int errorCode = 0; // errno value when Failed
};

// Reads and decodes a file. A missing file is not an error.
IniLoadResult loadIniFile(const std::filesystem::path& path);

// Writes the file image atomically (see writeFileAtomically).
FileWriteResult saveIniFile(const std::filesystem::path& path, const IniFile& file,
                            const AtomicWriteFault& fault = {});

} // namespace qvr
