#include "ui/skin_image_cache.h"

#include <QFileInfo>
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
    const QString file = fileFor(name);
    QImage decoded(file);
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
    prepared.setDevicePixelRatio(file.endsWith(QLatin1String("@2x.png")) ? 2.0 : 1.0);
    return &*images_.insert(name, std::move(prepared));
}

int SkinImageCache::imageSetFor(qreal devicePixelsPerFacePixel) {
    // Nearest set; halfway and above takes the sharper one, whose smooth
    // reduction loses less than an enlargement of the plain set would.
    return devicePixelsPerFacePixel >= 1.5 ? 2 : 1;
}

void SkinImageCache::setPaintScale(qreal devicePixelsPerFacePixel) {
    const int set = imageSetFor(devicePixelsPerFacePixel);
    if (set == imageSet_)
        return;
    imageSet_ = set;
    images_.clear();
    failed_.clear();
}

QString SkinImageCache::fileFor(const QString& name) const {
    if (imageSet_ == 2 && name.endsWith(QLatin1String(".png"))) {
        QString sharp = folder_ + name;
        sharp.insert(sharp.size() - 4, QLatin1String("@2x"));
        if (QFileInfo::exists(sharp))
            return sharp;
    }
    return folder_ + name;
}

bool SkinImageCache::draw(QPainter& painter, const QString& name, QPoint at) {
    const QImage* picture = image(name);
    if (!picture)
        return false;
    painter.drawImage(at, *picture);
    return true;
}

} // namespace qvr
