// The mouse view: a top ("front") and a side picture of the eight-button
// mouse, and for each button a normal and an over image placed over the
// picture. Every button image carries the button's shape, a leader line and
// a marker at the panel edge; "-over" lights all three in the accent colour.

#include "core/layout/skin_layout.h"
#include "paint_kit.h"
#include "skin_table.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QTransform>
#include <optional>

namespace qvr::skingen {
namespace {

using namespace palette;

// Geometry of one button, in the coordinates of its view's picture.
struct ButtonArt {
    QPainterPath shape;
    QPointF marker;
    std::optional<QPointF> elbow;
    QPointF target;
};

QPainterPath rounded(qreal x, qreal y, qreal w, qreal h, qreal r) {
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, w, h), r, r);
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    path.closeSubpath();
    return path;
}

// The callout circles sit where the window writes the buttons' numbers.
QPointF frontCallout(int button) {
    return QPointF(skin::kFrontCalloutAt[button].x - skin::kFrontPicture.x,
                   skin::kFrontCalloutAt[button].y - skin::kFrontPicture.y);
}

QPointF sideCallout(int button) {
    return QPointF(skin::kSideCalloutAt[button].x - skin::kSidePicture.x,
                   skin::kSideCalloutAt[button].y - skin::kSidePicture.y);
}

// ---- front (top) view; the picture's centre line is x = 182 (client 517)

constexpr qreal kCx = 182;

QPainterPath frontBody() {
    QPainterPath b;
    b.moveTo(kCx, 44);
    b.cubicTo(kCx + 50, 44, kCx + 74, 70, kCx + 76, 120);
    b.cubicTo(kCx + 78, 170, kCx + 68, 215, kCx + 72, 260);
    b.cubicTo(kCx + 78, 310, kCx + 90, 350, kCx + 72, 392);
    b.cubicTo(kCx + 58, 416, kCx + 22, 418, kCx, 418);
    b.cubicTo(kCx - 22, 418, kCx - 58, 416, kCx - 72, 392);
    b.cubicTo(kCx - 90, 350, kCx - 78, 310, kCx - 72, 260);
    b.cubicTo(kCx - 68, 215, kCx - 78, 170, kCx - 76, 120);
    b.cubicTo(kCx - 74, 70, kCx - 50, 44, kCx, 44);
    b.closeSubpath();
    return b;
}

QPainterPath frontWheelSlot() {
    return rounded(kCx - 10, 128, 20, 46, 8);
}

QPainterPath frontButtonShell(bool left) {
    const QPainterPath inner =
        QTransform().translate(kCx, 231).scale(0.955, 0.975).translate(-kCx, -231).map(frontBody());
    const QPainterPath half = left
                                  ? polygon({{0, 40}, {kCx - 2, 40}, {kCx - 2, 205}, {0, 185}})
                                  : polygon({{kCx + 2, 40}, {365, 40}, {365, 185}, {kCx + 2, 205}});
    return inner.intersected(half).subtracted(frontWheelSlot());
}

const ButtonArt& frontArt(int button) {
    static const ButtonArt art[8] = {
        {frontButtonShell(true), frontCallout(0), QPointF(70, 56), {140, 100}},
        {frontButtonShell(false), frontCallout(1), QPointF(294, 56), {224, 100}},
        {rounded(kCx - 7, 133, 14, 36, 6), frontCallout(2), std::nullopt, {kCx + 8, 151}},
        {rounded(97, 116, 11, 19, 5), frontCallout(3), std::nullopt, {97, 126}},
        {rounded(97, 142, 11, 30, 5), frontCallout(4), std::nullopt, {97, 157}},
        {rounded(kCx - 8, 213, 16, 20, 5), frontCallout(5), std::nullopt, {kCx + 9, 223}},
        {rounded(98, 181, 11, 26, 5), frontCallout(6), std::nullopt, {98, 194}},
        {rounded(98, 216, 11, 26, 5), frontCallout(7), std::nullopt, {98, 229}},
    };
    return art[button];
}

// ---- side view, nose up, the back of the mouse to the right

QPainterPath sideBody() {
    QPainterPath b;
    b.moveTo(118, 34);
    b.cubicTo(122, 14, 150, 10, 168, 24);
    b.cubicTo(190, 44, 200, 100, 208, 150);
    b.cubicTo(216, 200, 242, 240, 252, 300);
    b.cubicTo(262, 362, 240, 422, 192, 440);
    b.cubicTo(160, 452, 128, 450, 116, 440);
    b.cubicTo(108, 380, 108, 120, 118, 34);
    b.closeSubpath();
    return b;
}

QPainterPath sideWheel() {
    QPainterPath w;
    w.addEllipse(QRectF(194, 122, 22, 36));
    return w;
}

const ButtonArt& sideArt(int button) {
    static const QPainterPath body = sideBody();
    static const ButtonArt art[8] = {
        {body.intersected(polygon({{100, 21}, {181, 21}, {181, 98}, {100, 136}})),
         sideCallout(0),
         QPointF(70, 27),
         {150, 80}},
        {body.intersected(rounded(185, 31, 60, 84, 0)).subtracted(sideWheel()),
         sideCallout(1),
         QPointF(260, 38),
         {196, 70}},
        {sideWheel(), sideCallout(2), std::nullopt, {216, 140}},
        {rounded(138, 104, 24, 22, 8), sideCallout(3), std::nullopt, {138, 115}},
        {rounded(138, 131, 24, 26, 8), sideCallout(4), std::nullopt, {138, 144}},
        {rounded(214, 198, 14, 22, 5), sideCallout(5), std::nullopt, {228, 209}},
        {rounded(136, 164, 24, 36, 8), sideCallout(6), std::nullopt, {136, 182}},
        {rounded(136, 209, 24, 32, 8), sideCallout(7), std::nullopt, {136, 225}},
    };
    return art[button];
}

// ---- painting

void shellFill(QPainter& p, const QPainterPath& shape, const QRectF& light) {
    QLinearGradient g(light.topLeft(), light.topRight());
    g.setColorAt(0, QColor(0x1a, 0x1d, 0x23));
    g.setColorAt(0.45, QColor(0x33, 0x38, 0x43));
    g.setColorAt(1, QColor(0x17, 0x19, 0x1e));
    p.fillPath(shape, g);
}

void drawFloorShadow(QPainter& p, const QPointF& c, qreal rx, qreal ry) {
    QRadialGradient g(c, rx);
    g.setColorAt(0, QColor(0, 0, 0, 170));
    g.setColorAt(1, QColor(0, 0, 0, 0));
    p.save();
    p.translate(c);
    p.scale(1, ry / rx);
    p.translate(-c);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, rx, rx);
    p.restore();
}

void gripDots(QPainter& p, const QPainterPath& clip, const QRectF& area) {
    p.save();
    p.setClipPath(clip);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 80));
    for (qreal y = area.top(); y < area.bottom(); y += 5) {
        for (qreal x = area.left() + (static_cast<int>(y) / 5 % 2) * 2.5; x < area.right();
             x += 5) {
            p.drawEllipse(QPointF(x, y), 1, 1);
        }
    }
    p.restore();
}

void ledStrip(QPainter& p, const QPainterPath& strip) {
    glow(p, strip, kAccent, 10, 4);
    p.setPen(QPen(kAccent.lighter(120), 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(strip);
}

void drawFrontPicture(QPainter& p, QSize) {
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath body = frontBody();
    drawFloorShadow(p, QPointF(kCx, 424), 104, 16);
    shellFill(p, body, QRectF(kCx - 90, 0, 180, 1));
    QRadialGradient sheen(QPointF(kCx - 25, 300), 90);
    sheen.setColorAt(0, QColor(255, 255, 255, 26));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillPath(body, sheen);
    gripDots(p, body, QRectF(kCx - 90, 290, 26, 90));
    gripDots(p, body, QRectF(kCx + 64, 290, 26, 90));
    p.setPen(QPen(QColor(0x45, 0x4a, 0x57), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);

    // Buttons: their own shell with a dark seam.
    for (const bool left : {true, false}) {
        const QPainterPath shell = frontButtonShell(left);
        QLinearGradient g(0, 48, 0, 205);
        g.setColorAt(0, QColor(0x36, 0x3b, 0x47));
        g.setColorAt(1, QColor(0x24, 0x27, 0x2e));
        p.fillPath(shell, g);
        p.setPen(QPen(QColor(0x0c, 0x0d, 0x10), 1.4));
        p.drawPath(shell);
    }
    p.fillPath(frontWheelSlot(), QColor(0x0b, 0x0c, 0x0f));
    const QRectF wheel(kCx - 7, 133, 14, 36);
    QLinearGradient rubber(wheel.topLeft(), wheel.topRight());
    rubber.setColorAt(0, QColor(0x1e, 0x21, 0x27));
    rubber.setColorAt(0.5, QColor(0x4a, 0x50, 0x5c));
    rubber.setColorAt(1, QColor(0x1e, 0x21, 0x27));
    p.setPen(Qt::NoPen);
    p.setBrush(rubber);
    p.drawRoundedRect(wheel, 6, 6);
    for (qreal y = wheel.top() + 4; y < wheel.bottom() - 3; y += 3.5) {
        p.fillRect(QRectF(wheel.left() + 2, y, wheel.width() - 4, 1), QColor(0, 0, 0, 90));
    }
    // DPI button and its stage light.
    p.setBrush(QColor(0x2a, 0x2e, 0x37));
    p.setPen(QPen(QColor(0x0c, 0x0d, 0x10), 1.2));
    p.drawRoundedRect(QRectF(kCx - 8, 213, 16, 20), 5, 5);
    QPainterPath dpiLed;
    dpiLed.addEllipse(QPointF(kCx, 242), 2, 2);
    glow(p, dpiLed, kAccent, 6, 3);
    p.fillPath(dpiLed, kAccent);
    // Side buttons on the left flank.
    for (const int b : {3, 4, 6, 7}) {
        const QPainterPath pill = frontArt(b).shape;
        QLinearGradient g(pill.boundingRect().topLeft(), pill.boundingRect().topRight());
        g.setColorAt(0, QColor(0x3a, 0x3f, 0x4b));
        g.setColorAt(1, QColor(0x1e, 0x21, 0x27));
        p.fillPath(pill, g);
        p.setPen(QPen(QColor(0x0c, 0x0d, 0x10), 1));
        p.drawPath(pill);
    }
    // The rear light bar and the maker's mark.
    QPainterPath strip;
    strip.moveTo(kCx - 40, 384);
    strip.quadTo(kCx, 404, kCx + 40, 384);
    ledStrip(p, strip);
    QPainterPath mark;
    mark.moveTo(kCx - 9, 322);
    mark.lineTo(kCx, 332);
    mark.lineTo(kCx + 9, 322);
    p.setPen(QPen(withAlpha(kAccent, 170), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(mark);
}

void drawSidePicture(QPainter& p, QSize) {
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath body = sideBody();
    // The floor is to the left: a long shadow along the base.
    p.save();
    p.translate(104, 240);
    p.rotate(90);
    p.translate(-104, -240);
    drawFloorShadow(p, QPointF(104, 240), 215, 14);
    p.restore();
    shellFill(p, body, QRectF(100, 0, 150, 1));
    QLinearGradient top(150, 0, 245, 0);
    top.setColorAt(0, QColor(255, 255, 255, 0));
    top.setColorAt(1, QColor(255, 255, 255, 22));
    p.fillPath(body, top);
    // Base plate with its glide feet.
    const QPainterPath plate = body.intersected(rounded(100, 0, 20, 460, 0));
    p.fillPath(plate, QColor(0x0f, 0x10, 0x13));
    gripDots(p, body, QRectF(130, 260, 70, 120));
    p.setPen(QPen(QColor(0x45, 0x4a, 0x57), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);

    for (const int b : {0, 1}) {
        const QPainterPath shell = sideArt(b).shape;
        QLinearGradient g(110, 0, 240, 0);
        g.setColorAt(0, QColor(0x2a, 0x2e, 0x37));
        g.setColorAt(1, QColor(0x3a, 0x3f, 0x4b));
        p.fillPath(shell, g);
        p.setPen(QPen(QColor(0x0c, 0x0d, 0x10), 1.4));
        p.drawPath(shell);
    }
    QLinearGradient rubber(194, 0, 216, 0);
    rubber.setColorAt(0, QColor(0x1e, 0x21, 0x27));
    rubber.setColorAt(0.6, QColor(0x4a, 0x50, 0x5c));
    rubber.setColorAt(1, QColor(0x26, 0x29, 0x30));
    p.setPen(QPen(QColor(0x0c, 0x0d, 0x10), 1));
    p.setBrush(rubber);
    p.drawPath(sideWheel());
    p.setBrush(QColor(0x2a, 0x2e, 0x37));
    p.drawPath(sideArt(5).shape);
    for (const int b : {3, 4, 6, 7}) {
        const QPainterPath pill = sideArt(b).shape;
        QLinearGradient g(pill.boundingRect().topLeft(), pill.boundingRect().bottomLeft());
        g.setColorAt(0, QColor(0x3c, 0x41, 0x4d));
        g.setColorAt(1, QColor(0x1f, 0x22, 0x28));
        p.fillPath(pill, g);
        p.setPen(QPen(QColor(0x0c, 0x0d, 0x10), 1));
        p.drawPath(pill);
    }
    QPainterPath strip;
    strip.moveTo(246, 362);
    strip.cubicTo(242, 402, 222, 426, 188, 436);
    ledStrip(p, strip);
}

void drawButton(QPainter& p, const QPoint& at, const ButtonArt& art, bool over) {
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(-at);
    QPainterPath leader;
    leader.moveTo(art.marker);
    if (art.elbow) {
        leader.lineTo(*art.elbow);
    }
    leader.lineTo(art.target);
    if (over) {
        glow(p, art.shape, kAccent, 10, 4);
        QLinearGradient g(art.shape.boundingRect().topLeft(),
                          art.shape.boundingRect().bottomLeft());
        g.setColorAt(0, withAlpha(kAccent.lighter(115), 215));
        g.setColorAt(1, withAlpha(kAccentDeep, 200));
        p.fillPath(art.shape, g);
        p.setPen(QPen(kAccent.lighter(140), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(art.shape);
        glow(p, leader, kAccent, 4, 2);
        p.setPen(QPen(kAccent, 1.3));
        p.drawPath(leader);
        QPainterPath dot;
        dot.addEllipse(art.marker, skin::kCalloutRadius - 0.5, skin::kCalloutRadius - 0.5);
        glow(p, dot, kAccent, 6, 2);
        p.fillPath(dot, kAccent);
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawEllipse(art.target, 2.5, 2.5);
    } else {
        p.setPen(QPen(QColor(255, 255, 255, 46), 1));
        p.setBrush(QColor(255, 255, 255, 8));
        p.drawPath(art.shape);
        p.setPen(QPen(QColor(255, 255, 255, 40), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(leader);
        p.setPen(QPen(kBorderLight.lighter(130), 1.3));
        p.setBrush(kBase);
        p.drawEllipse(art.marker, skin::kCalloutRadius - 1, skin::kCalloutRadius - 1);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 70));
        p.drawEllipse(art.target, 1.8, 1.8);
    }
}

// Rear view thumbnail with side button 4 (upper) or 5 (lower).
void drawBack(QPainter& p, QSize s, int button, bool over) {
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath dome;
    dome.moveTo(8, 42);
    dome.cubicTo(6, 12, 42, 12, 40, 42);
    dome.closeSubpath();
    shellFill(p, dome, QRectF(6, 0, 36, 1));
    p.setPen(QPen(QColor(0x45, 0x4a, 0x57), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(dome);
    p.fillRect(QRectF(10, 42, 28, 2), QColor(0x0f, 0x10, 0x13));
    const QPainterPath nub = rounded(3, button == 4 ? 20 : 29, 6, 8, 3);
    if (over) {
        glow(p, nub, kAccent, 8, 3);
        p.fillPath(nub, kAccent);
    } else {
        p.fillPath(nub, QColor(0x3a, 0x3f, 0x4b));
        p.setPen(QPen(QColor(0x0c, 0x0d, 0x10), 1));
        p.drawPath(nub);
    }
    (void)s;
}

// Row strips of the assignment list; n small pips at the right name the row.
void drawRowStrip(QPainter& p, QSize s, int row, bool over) {
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.5, 0.5, s.width() - 1, s.height() - 1);
    p.setPen(QPen(over ? kAccent : QColor(255, 255, 255, 20), 1));
    p.setBrush(over ? withAlpha(kAccent, 45) : QColor(255, 255, 255, 8));
    p.drawRoundedRect(r, 4, 4);
    if (over) {
        p.fillRect(QRectF(2, 4, 2, s.height() - 8), kAccent);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(over ? kAccent : kBorderLight);
    for (int i = 0; i < row; ++i) {
        p.drawEllipse(QPointF(s.width() - 8 - i * 5, s.height() / 2.0), 1.4, 1.4);
    }
}

} // namespace

void addMouseImages(SkinTable& t) {
    t.push_back({"/Mouse/Front/MouseFront.png",
                 QSize(skin::kFrontPictureSize.width, skin::kFrontPictureSize.height),
                 drawFrontPicture});
    t.push_back({"/Mouse/Side/MouseSide.png",
                 QSize(skin::kSidePictureSize.width, skin::kSidePictureSize.height),
                 drawSidePicture});
    for (int b = 0; b < 8; ++b) {
        for (const bool over : {false, true}) {
            const char* state = over ? "over" : "normal";
            const QPoint front(skin::kFrontButtonAt[b].x - skin::kFrontPicture.x,
                               skin::kFrontButtonAt[b].y - skin::kFrontPicture.y);
            t.push_back({QString::asprintf("/Mouse/Front/F-%d-%s.png", b + 1, state),
                         QSize(skin::kFrontButtonSize[b].width, skin::kFrontButtonSize[b].height),
                         [=](QPainter& p, QSize) { drawButton(p, front, frontArt(b), over); }});
            const QPoint side(skin::kSideButtonAt[b].x - skin::kSidePicture.x,
                              skin::kSideButtonAt[b].y - skin::kSidePicture.y);
            t.push_back({QString::asprintf("/Mouse/Side/S-%d-%s.png", b + 1, state),
                         QSize(skin::kSideButtonSize[b].width, skin::kSideButtonSize[b].height),
                         [=](QPainter& p, QSize) { drawButton(p, side, sideArt(b), over); }});
            t.push_back({QString::asprintf("/MouseSlider%d-%s.png", b + 1, state), QSize(242, 20),
                         [=](QPainter& p, QSize s) { drawRowStrip(p, s, b + 1, over); }});
        }
    }
    for (const int b : {4, 5}) {
        for (const bool over : {false, true}) {
            t.push_back({QString::asprintf("/Mouse/Back/B-%d-%s.png", b, over ? "over" : "normal"),
                         QSize(skin::kBackButtonSize.width, skin::kBackButtonSize.height),
                         [=](QPainter& p, QSize s) { drawBack(p, s, b, over); }});
        }
    }
}

} // namespace qvr::skingen
