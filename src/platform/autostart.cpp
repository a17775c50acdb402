#include "platform/autostart.h"

#include "core/files/file_system.h"
#include "core/files/ini_file.h"
#include "platform/app_folders.h"

#include <string_view>

namespace qvr {

namespace {

// Exec's quoting: an argument with a reserved character goes in double
// quotes with " ` $ \ escaped; then the string escaping of every value
// doubles each backslash, and a literal % is written %%.
std::string execArgument(const std::string& argument) {
    constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    std::string quoted;
    const bool needsQuotes = argument.find_first_of(kReserved) != std::string::npos;
    for (char c : argument) {
        if (needsQuotes && (c == '"' || c == '`' || c == '$' || c == '\\'))
            quoted += '\\';
        quoted += c;
    }
    if (needsQuotes)
        quoted = '"' + quoted + '"';
    std::string escaped;
    for (char c : quoted) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '%')
            escaped += "%%";
        else
            escaped += c;
    }
    return escaped;
}

} // namespace

std::filesystem::path autostartEntryPath() {
    return userFolder().parent_path() / "autostart" / "qvr.desktop";
}

bool startsAtLogin(const std::filesystem::path& entry) {
    const FileRead read = fileSystem().readFile(entry, kIniMaxFileSize);
    if (!read.ok())
        return false;
    const std::string_view text(reinterpret_cast<const char*>(read.bytes.data()),
                                read.bytes.size());
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line == "Hidden=true")
            return false;
        start = end + 1;
    }
    return true;
}

std::string autostartEntryText(const std::filesystem::path& program) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=QVR Mouse Settings\n"
           "Name[zh_CN]=QVR 鼠标设置\n"
           "Name[zh_TW]=QVR 滑鼠設定\n"
           "Comment=Puts the gaming mouse's profiles in the tray\n"
           "Exec=" +
           execArgument(program.string()) +
           " --minimized\n"
           "Icon=qvr\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

FileWriteResult setStartAtLogin(const std::filesystem::path& entry, bool on,
                                const std::filesystem::path& program) {
    if (!on) {
        if (const int error = fileSystem().removeEntry(entry))
            return {error, entry.string() + ": " + std::generic_category().message(error)};
        return {};
    }
    if (const int error = fileSystem().makePrivateFolder(entry.parent_path()))
        return {error,
                entry.parent_path().string() + ": " + std::generic_category().message(error)};
    const std::string text = autostartEntryText(program);
    return writeFileAtomically(entry,
                               {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

} // namespace qvr
