#include "ui/skin_image_cache.h"

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

} // namespace

SkinImageCache::SkinImageCache(QString skinFolder, MessageSink& messages)
    : folder_(std::move(skinFolder)), messages_(messages) {}

const QImage* SkinImageCache::image(const QString& name, OnMissing onMissing) {
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
    // Premultiplied once here, so each draw is a plain blend; an image
    // without a single transparent pixel (the skins store backgrounds with
    // an alpha channel all the same) is drawn as a plain copy.
    QImage prepared = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (everyPixelOpaque(prepared))
        prepared.reinterpretAsFormat(QImage::Format_RGB32);
    return &*images_.insert(name, std::move(prepared));
}

bool SkinImageCache::draw(QPainter& painter, const QString& name, QPoint at) {
    const QImage* picture = image(name);
    if (!picture)
        return false;
    painter.drawImage(at, *picture);
    return true;
}

} // namespace qvr
