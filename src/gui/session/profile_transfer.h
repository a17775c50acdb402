#pragma once

#include "core/profiles/profile_files.h"
#include "core/record/config_record.h"

#include <filesystem>
#include <optional>

class QWidget;

namespace qvr {

inline constexpr const char* kProfileFileFilter = "Gaming Mouse Profile(*.bin)";

// The file dialogs of import and export, so that tests can answer them.
class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    // The chosen file, or nullopt when the user cancelled.
    virtual std::optional<std::filesystem::path> open(QWidget* owner,
                                                      const std::filesystem::path& initial) = 0;
    virtual std::optional<std::filesystem::path> save(QWidget* owner,
                                                      const std::filesystem::path& initial) = 0;
    // Asks whether an existing file the save dialog did not ask about may be
    // replaced.
    virtual bool confirmReplace(QWidget* owner, const std::filesystem::path& path) = 0;
};

// The desktop's own open and save dialogs, filtered to profile files. The
// open dialog takes existing files only; the save dialog asks before it
// overwrites one.
class QtFileDialogs final : public FileDialogs {
  public:
    std::optional<std::filesystem::path> open(QWidget* owner,
                                              const std::filesystem::path& initial) override;
    std::optional<std::filesystem::path> save(QWidget* owner,
                                              const std::filesystem::path& initial) override;
    bool confirmReplace(QWidget* owner, const std::filesystem::path& path) override;
};

// Asks for a ".bin" profile to import. Both dialogs start in the folder used
// last, at first the home folder, never inside the user folder.
std::optional<std::filesystem::path> chooseImport(FileDialogs& dialogs, QWidget* owner,
                                                  const ProfileFiles& files);

// Asks for the file name of an export; the files written beside the chosen
// one get the save dialog's question about replacing them too.
std::optional<std::filesystem::path> chooseExport(FileDialogs& dialogs, QWidget* owner,
                                                  const ProfileFiles& files);

} // namespace qvr
