#include "gui/window/firmware_updater.h"

#include <QProcess>
#include <QString>
#include <QSysInfo>
#include <array>

namespace qvr {

std::string_view updaterRelativePath(std::string_view cpuArchitecture) {
    // The 64-bit architectures the system may name; everything else runs the
    // 32-bit updater.
    constexpr std::array<std::string_view, 5> k64Bit = {"x86_64", "amd64", "ia64", "arm64",
                                                        "aarch64"};
    for (std::string_view name : k64Bit) {
        if (cpuArchitecture == name)
            return "Update/X64/FwUpdate.exe";
    }
    return "Update/X86/FwUpdate.exe";
}

std::optional<std::filesystem::path>
firmwareUpdaterPath(const std::filesystem::path& factoryFolder) {
    // currentCpuArchitecture asks the kernel, so a 32-bit build on a 64-bit
    // system still gets the 64-bit updater.
    const QByteArray arch = QSysInfo::currentCpuArchitecture().toUtf8();
    auto path = factoryFolder / updaterRelativePath(std::string_view(arch.data(), arch.size()));
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    return path;
}

bool launchFirmwareUpdater(const std::filesystem::path& factoryFolder) {
    const auto path = firmwareUpdaterPath(factoryFolder);
    return path && QProcess::startDetached(QString::fromStdString(path->string()), {});
}

} // namespace qvr
