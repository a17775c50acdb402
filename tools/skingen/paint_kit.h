#pragma once

// Shared colours and drawing helpers of the Carbon skin: every image is built
// from these, so the whole skin keeps one palette and one accent colour.

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

namespace qvr::skingen {

namespace palette {
inline const QColor kAccent{0x19, 0xc3, 0xff};
inline const QColor kAccentDeep{0x0b, 0x7f, 0xb0};
inline const QColor kAccentInk{0x06, 0x2a, 0x3a}; // dark ink on accent fills
inline const QColor kBase{0x12, 0x14, 0x19};
inline const QColor kPanelTop{0x23, 0x26, 0x2e};
inline const QColor kPanelBottom{0x1a, 0x1c, 0x22};
inline const QColor kWell{0x15, 0x17, 0x1c};
inline const QColor kBorder{0x30, 0x34, 0x3e};
inline const QColor kBorderLight{0x3c, 0x41, 0x4d};
inline const QColor kIdle{0x2b, 0x2f, 0x38};  // unlit segments, grooves
inline const QColor kIcon{0x8e, 0x95, 0xa3};  // icons at rest
inline const QColor kThumb{0xe8, 0xf7, 0xff}; // slider thumb core
} // namespace palette

QColor withAlpha(QColor c, int alpha);
QColor mix(const QColor& a, const QColor& b, qreal t);

// A rounded card with a vertical gradient and a 1 px border inside the rectangle.
void card(QPainter& p, const QRectF& r, qreal radius, const QColor& top, const QColor& bottom,
          const QColor& border);
// The same with the standard panel colours.
void panelCard(QPainter& p, const QRectF& r, qreal radius);
// A recessed field: darker fill, dark top edge, faint light bottom edge.
void well(QPainter& p, const QRectF& r, qreal radius);
// A soft halo: the path stroked several times, wide and faint to narrow.
void glow(QPainter& p, const QPainterPath& path, const QColor& c, qreal width, int layers = 5);
// A 1 px highlight along the top inside edge of a rounded rectangle.
void topSheen(QPainter& p, const QRectF& r, qreal radius, int alpha);
// A faint woven pattern, the skin's namesake, clipped to the rectangle.
void carbonWeave(QPainter& p, const QRectF& r, int alpha);

// Vector icons, centred in r.
void iconCross(QPainter& p, const QRectF& r, const QColor& c, qreal width);
void iconBar(QPainter& p, const QRectF& r, const QColor& c, qreal width);
void iconQuestion(QPainter& p, const QRectF& r, const QColor& c, qreal width);
void iconTick(QPainter& p, const QRectF& r, const QColor& c, qreal width);
void iconChevron(QPainter& p, const QRectF& r, const QColor& c, qreal width, bool down);
void iconTriangle(QPainter& p, const QRectF& r, const QColor& c, bool up);
void iconPlus(QPainter& p, const QRectF& r, const QColor& c, qreal width);
void iconLayers(QPainter& p, const QRectF& r, const QColor& c, qreal width);

// A slider thumb: light core, accent rim, soft accent halo.
void thumbDot(QPainter& p, const QPointF& centre, qreal radius);
// A radio: ring, and an accent dot with halo when on.
void radio(QPainter& p, const QRectF& r, bool on);
// A tick box: rounded square, accent fill and dark check mark when ticked.
void tickBox(QPainter& p, const QRectF& r, bool ticked);

enum class ButtonLook { Neutral, Primary };
// A push button filling r; "over" is brighter and takes an accent rim.
void pushButton(QPainter& p, const QRectF& r, ButtonLook look, bool over);

} // namespace qvr::skingen
