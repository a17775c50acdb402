#include "ui/skin_image_cache.h"

#include <QPainter>

namespace qvr {

SkinImageCache::SkinImageCache(QString skinFolder, MessageSink& messages)
    : folder_(std::move(skinFolder)), messages_(messages) {}

const QImage* SkinImageCache::image(const QString& name, OnMissing onMissing) {
    if (auto found = images_.constFind(name); found != images_.cend())
        return &*found;
    if (failed_.contains(name))
        return nullptr;
    QImage decoded(folder_ + name);
    if (decoded.isNull()) {
        failed_.insert(name);
        if (onMissing == OnMissing::Report)
            messages_.showMessage(std::string(kLoadImageFailed), std::string(kApplicationTitle));
        return nullptr;
    }
    // Premultiplied once here, so each draw is a plain blend.
    return &*images_.insert(name, decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

bool SkinImageCache::draw(QPainter& painter, const QString& name, QPoint at) {
    const QImage* picture = image(name);
    if (!picture)
        return false;
    painter.drawImage(at, *picture);
    return true;
}

} // namespace qvr
