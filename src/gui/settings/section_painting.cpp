#include "gui/settings/section_painting.h"

#include "core/layout/control_arithmetic.h"
#include "gui/widgets/label_text.h"
#include "gui/widgets/skin_image_cache.h"
#include "gui/widgets/skinned_window.h"

#include <QPainter>

namespace qvr {

namespace {

constexpr int kHeaderTitleIndent = 12;

} // namespace

void paintSectionHeader(QPainter& painter, SkinnedWindow& face, QRect rect, const QString& title) {
    face.skin().draw(painter, "/ItemBK.png", rect.topLeft());
    painter.setFont(face.textFont());
    painter.setPen(face.textColor());
    drawLabel(painter, rect.adjusted(kHeaderTitleIndent, 0, 0, 0),
              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title);
}

void paintStepSlider(QPainter& painter, SkinnedWindow& face, const QFont& labelFont, QRect hit,
                     QRect labels, int value) {
    face.skin().draw(painter, QString::asprintf("/StageSlider/%d.png", frameFor(value, 1, 11)),
                     hit.topLeft() - QPoint(skin::kStepFrameInset, skin::kStepFrameInset));
    painter.setFont(labelFont);
    painter.setPen(face.textColor());
    for (int stop = 1; stop <= 10; ++stop) {
        const int centre = hit.left() + skin::stepSliderStop(stop);
        drawLabel(painter, QRect(centre - 12, labels.top(), 25, labels.height()),
                  Qt::AlignCenter | Qt::TextSingleLine, QString::number(stop));
    }
}

void drawFitted(QPainter& painter, QRect rect, int flags, const QString& text, QFont font) {
    painter.setFont(fittedFont(font, text, rect.width()));
    drawLabel(painter, rect, flags | Qt::TextSingleLine, text);
}

} // namespace qvr
