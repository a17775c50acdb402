#pragma once

#include "core/files/message_sink.h"

#include <QHash>
#include <QImage>
#include <QPoint>
#include <QSet>
#include <QSize>
#include <QString>
#include <future>
#include <map>

class QPainter;

namespace qvr {

// The decoded images of one skin folder. Images are decoded on their first
// draw and kept, premultiplied, for as long as the skin is in use; a repaint
// then costs no file access. Names are relative paths that start with "/",
// appended to the folder as they stand.
//
// A skin may hold each image twice: "name.png" for one device pixel per
// face pixel and "name@2x.png" for two. Only the set nearest the scale the
// window paints at is decoded; a skin without "@2x" files falls back to its
// plain ones. Images carry their set's device pixel ratio, so they draw at
// their face size either way.
class SkinImageCache {
  public:
    SkinImageCache(QString skinFolder, MessageSink& messages);

    const QString& folder() const { return folder_; }

    enum class OnMissing { Report, Silent };
    // nullptr when the file is missing or cannot be decoded. A missing image
    // is reported once, not at every paint.
    const QImage* image(const QString& name, OnMissing onMissing = OnMissing::Report);

    // Starts decoding the image on a thread of its own, so that it is ready
    // (or nearly) when first drawn, and returns its size from the file's
    // header: a window can take its size without waiting for the pixels.
    // An empty size when the file cannot be read as an image.
    QSize prefetch(const QString& name);

    // Draws the image unscaled with its top-left corner at `at`, blending by
    // its own per-pixel alpha. Returns whether it was drawn.
    bool draw(QPainter& painter, const QString& name, QPoint at);

    int decodedCount() const { return static_cast<int>(images_.size()); }

    // Device pixels per face pixel the images will be drawn at: the screen's
    // ratio times the window's face scale. Choosing another set drops the
    // decoded images of the old one.
    void setPaintScale(qreal devicePixelsPerFacePixel);
    // 1 or 2: the file set images are decoded from.
    int imageSet() const { return imageSet_; }
    static int imageSetFor(qreal devicePixelsPerFacePixel);
    // The file an image of the current set is read from ("@2x" form when the
    // set is 2 and the skin has it); tests check which files were opened.
    QString fileFor(const QString& name) const;

    // Whether a decoded image is kept. The program always keeps them;
    // decoding at every draw exists so the repaint benchmark can measure
    // what the cache saves on the same window.
    enum class CachePolicy { KeepDecoded, DecodeEveryDraw };
    void setCachePolicy(CachePolicy policy) { policy_ = policy; }

  private:
    QString folder_;
    int imageSet_ = 1;
    CachePolicy policy_ = CachePolicy::KeepDecoded;
    MessageSink& messages_;
    QHash<QString, QImage> images_;
    QSet<QString> failed_;
    std::map<QString, std::future<QImage>> pending_;
};

inline constexpr std::string_view kLoadImageFailed = "LoadPng---Load image failed.";

} // namespace qvr
