#include "gui/widgets/skin_image_cache.h"

#include <QFileInfo>
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
QImage prepared(QImage decoded, qreal devicePixelRatio) {
    decoded.convertTo(QImage::Format_ARGB32_Premultiplied);
    if (everyPixelOpaque(decoded))
        decoded.reinterpretAsFormat(QImage::Format_RGB32);
    decoded.setDevicePixelRatio(devicePixelRatio);
    return decoded;
}

qreal ratioOfFile(const QString& file) {
    return file.endsWith(QLatin1String("@2x.png")) ? 2.0 : 1.0;
}

} // namespace

SkinImageCache::SkinImageCache(QString skinFolder, MessageSink& messages)
    : folder_(std::move(skinFolder)), messages_(messages) {}

QSize SkinImageCache::prefetch(const QString& name) {
    const QString path = fileFor(name);
    const qreal ratio = ratioOfFile(path);
    const QSize size = QImageReader(path).size();
    if (size.isValid() && !images_.contains(name) && !pending_.contains(name))
        pending_.emplace(name, std::async(std::launch::async, [path, ratio] {
                             QImage decoded(path);
                             return decoded.isNull() ? decoded
                                                     : prepared(std::move(decoded), ratio);
                         }));
    // In face pixels, as the image will be drawn.
    return size.isValid() ? size / ratio : size;
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
    const QString file = fileFor(name);
    QImage decoded(file);
    if (decoded.isNull()) {
        images_.remove(name);
        failed_.insert(name);
        if (onMissing == OnMissing::Report)
            messages_.showMessage(std::string(kLoadImageFailed), std::string(kApplicationTitle));
        return nullptr;
    }
    return &*images_.insert(name, prepared(std::move(decoded), ratioOfFile(file)));
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
    pending_.clear();
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
