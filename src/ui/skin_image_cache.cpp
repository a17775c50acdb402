#include "ui/skin_image_cache.h"

#include <QImageReader>
#include <QPainter>

namespace qvr {
namespace {

bool everyPixelOpaque(const QImage& premultiplied) {
    for (int y = 0; y < premultiplied.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(premultiplied.constScanLine(y));
        for (int x = 0; x < premultiplied.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}

// Premultiplied once here, so each draw is a plain blend; an image without a
// single transparent pixel (the skins store backgrounds with an alpha channel
// all the same) is drawn as a plain copy. The conversion is done in place:
// a background's decoded and converted forms are never held at once.
QImage prepared(QImage decoded) {
    decoded.convertTo(QImage::Format_ARGB32_Premultiplied);
    if (everyPixelOpaque(decoded))
        decoded.reinterpretAsFormat(QImage::Format_RGB32);
    return decoded;
}

} // namespace

SkinImageCache::SkinImageCache(QString skinFolder, MessageSink& messages)
    : folder_(std::move(skinFolder)), messages_(messages) {}

QSize SkinImageCache::prefetch(const QString& name) {
    const QString path = folder_ + name;
    const QSize size = QImageReader(path).size();
    if (size.isValid() && !images_.contains(name) && !pending_.contains(name))
        pending_.emplace(name, std::async(std::launch::async, [path] {
                             QImage decoded(path);
                             return decoded.isNull() ? decoded : prepared(std::move(decoded));
                         }));
    return size;
}

const QImage* SkinImageCache::image(const QString& name, OnMissing onMissing) {
    if (auto waiting = pending_.find(name); waiting != pending_.end()) {
        QImage decoded = waiting->second.get();
        pending_.erase(waiting);
        if (!decoded.isNull())
            images_.insert(name, std::move(decoded));
    }
    if (policy_ == CachePolicy::KeepDecoded) {
        if (auto found = images_.constFind(name); found != images_.cend())
            return &*found;
    }
    if (failed_.contains(name))
        return nullptr;
    QImage decoded(folder_ + name);
    if (decoded.isNull()) {
        images_.remove(name);
        failed_.insert(name);
        if (onMissing == OnMissing::Report)
            messages_.showMessage(std::string(kLoadImageFailed), std::string(kApplicationTitle));
        return nullptr;
    }
    return &*images_.insert(name, prepared(std::move(decoded)));
}

bool SkinImageCache::draw(QPainter& painter, const QString& name, QPoint at) {
    const QImage* picture = image(name);
    if (!picture)
        return false;
    painter.drawImage(at, *picture);
    return true;
}

} // namespace qvr
