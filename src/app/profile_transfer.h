#pragma once

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
};

} // namespace qvr
