#include "gui/session/profile_transfer.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace qvr {

namespace {

std::optional<std::filesystem::path> chosen(const QString& name) {
    if (name.isEmpty())
        return std::nullopt;
    return std::filesystem::path(name.toStdString());
}

// Where the last import or export went, for the next dialog.
std::filesystem::path lastFolder;

std::filesystem::path startFolder(const ProfileFiles& files) {
    const auto inside = lastFolder.lexically_relative(files.userFolder());
    const bool inUserFolder = !inside.empty() && *inside.begin() != "..";
    if (lastFolder.empty() || inUserFolder)
        return QDir::homePath().toStdString();
    return lastFolder;
}

} // namespace

std::optional<std::filesystem::path> QtFileDialogs::open(QWidget* owner,
                                                         const std::filesystem::path& initial) {
    return chosen(QFileDialog::getOpenFileName(
        owner, QString(), QString::fromStdString(initial.string()), kProfileFileFilter));
}

std::optional<std::filesystem::path> QtFileDialogs::save(QWidget* owner,
                                                         const std::filesystem::path& initial) {
    return chosen(QFileDialog::getSaveFileName(
        owner, QString(), QString::fromStdString(initial.string()), kProfileFileFilter));
}

bool QtFileDialogs::confirmReplace(QWidget* owner, const std::filesystem::path& path) {
    const QString name = QString::fromStdString(path.filename().string());
    return QMessageBox::question(
               owner, QString(),
               QFileDialog::tr("%1 already exists.\nDo you want to replace it?").arg(name)) ==
           QMessageBox::Yes;
}

std::optional<std::filesystem::path> chooseImport(FileDialogs& dialogs, QWidget* owner,
                                                  const ProfileFiles& files) {
    const auto path = dialogs.open(owner, startFolder(files));
    if (path)
        lastFolder = path->parent_path();
    return path;
}

std::optional<std::filesystem::path> chooseExport(FileDialogs& dialogs, QWidget* owner,
                                                  const ProfileFiles& files) {
    const auto path = dialogs.save(owner, startFolder(files));
    if (!path)
        return std::nullopt;
    lastFolder = path->parent_path();
    const ProfileFiles::ExportPaths targets = ProfileFiles::exportPaths(*path);
    for (const auto& target : {targets.record, targets.settings}) {
        std::error_code ec;
        if (target != *path && std::filesystem::symlink_status(target, ec).type() !=
                                   std::filesystem::file_type::not_found) {
            if (!dialogs.confirmReplace(owner, target))
                return std::nullopt;
        }
    }
    return path;
}

} // namespace qvr
