#include "app/profile_transfer.h"

#include <QFileDialog>

namespace qvr {

namespace {

std::optional<std::filesystem::path> chosen(const QString& name) {
    if (name.isEmpty())
        return std::nullopt;
    return std::filesystem::path(name.toStdString());
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

} // namespace qvr
