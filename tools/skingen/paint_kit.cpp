#include "paint_kit.h"

#include <QLinearGradient>
#include <QPen>
#include <algorithm>

namespace qvr::skingen {

QColor withAlpha(QColor c, int alpha) {
    c.setAlpha(std::clamp(alpha, 0, 255));
    return c;
}

QColor mix(const QColor& a, const QColor& b, qreal t) {
    auto lerp = [t](int x, int y) { return static_cast<int>(x + (y - x) * t + 0.5); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                  lerp(a.alpha(), b.alpha()));
}

void card(QPainter& p, const QRectF& r, qreal radius, const QColor& top, const QColor& bottom,
          const QColor& border) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    // The border is stroked on the half-pixel line so it stays one crisp pixel.
    const QRectF edge = r.adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(border, 1));
    p.setBrush(g);
    p.drawRoundedRect(edge, radius, radius);
    p.restore();
}

void panelCard(QPainter& p, const QRectF& r, qreal radius) {
    card(p, r, radius, palette::kPanelTop, palette::kPanelBottom, palette::kBorder);
}

void well(QPainter& p, const QRectF& r, qreal radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(0x0f, 0x11, 0x15));
    g.setColorAt(1, palette::kWell);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
    const QRectF edge = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient rim(r.topLeft(), r.bottomLeft());
    rim.setColorAt(0, QColor(0, 0, 0, 160));
    rim.setColorAt(1, QColor(255, 255, 255, 28));
    p.setPen(QPen(QBrush(rim), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(edge, radius, radius);
    p.restore();
}

void glow(QPainter& p, const QPainterPath& path, const QColor& c, qreal width, int layers) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    for (int i = layers; i >= 1; --i) {
        const qreal w = width * i / layers;
        p.setPen(
            QPen(withAlpha(c, c.alpha() * 0.22), w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
    }
    p.restore();
}

void topSheen(QPainter& p, const QRectF& r, qreal radius, int alpha) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(r.adjusted(1, 1, -1, -1), radius, radius);
    p.setClipPath(clip);
    QLinearGradient g(r.topLeft(), QPointF(r.left(), r.top() + r.height() * 0.5));
    g.setColorAt(0, QColor(255, 255, 255, alpha));
    g.setColorAt(0.15, QColor(255, 255, 255, alpha / 3));
    g.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(r, g);
    p.restore();
}

void carbonWeave(QPainter& p, const QRectF& r, int alpha) {
    p.save();
    p.setClipRect(r);
    p.setPen(Qt::NoPen);
    // A 4 x 4 twill: two offset strands per cell, lit from the top left.
    const QColor light(255, 255, 255, alpha);
    const QColor dark(0, 0, 0, alpha);
    for (int y = static_cast<int>(r.top()); y < r.bottom(); y += 4) {
        for (int x = static_cast<int>(r.left()); x < r.right(); x += 4) {
            const bool odd = ((x / 4) + (y / 4)) % 2;
            p.fillRect(QRectF(x, y, odd ? 4 : 2, odd ? 2 : 4), odd ? light : dark);
        }
    }
    p.restore();
}

static QPen roundPen(const QColor& c, qreal width) {
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void iconCross(QPainter& p, const QRectF& r, const QColor& c, qreal width) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(roundPen(c, width));
    const qreal s = std::min(r.width(), r.height()) * 0.5;
    const QPointF m = r.center();
    p.drawLine(m + QPointF(-s, -s), m + QPointF(s, s));
    p.drawLine(m + QPointF(-s, s), m + QPointF(s, -s));
    p.restore();
}

void iconBar(QPainter& p, const QRectF& r, const QColor& c, qreal width) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(roundPen(c, width));
    const qreal y = r.bottom() - width;
    p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    p.restore();
}

void iconQuestion(QPainter& p, const QRectF& r, const QColor& c, qreal width) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(roundPen(c, width));
    const qreal w = r.width(), h = r.height();
    QPainterPath hook;
    // Upper bowl of the question mark, then the stem down to the middle.
    hook.moveTo(r.left() + w * 0.18, r.top() + h * 0.30);
    hook.cubicTo(r.left() + w * 0.18, r.top() - h * 0.05, r.left() + w * 0.88, r.top() - h * 0.02,
                 r.left() + w * 0.84, r.top() + h * 0.30);
    hook.cubicTo(r.left() + w * 0.80, r.top() + h * 0.52, r.left() + w * 0.50, r.top() + h * 0.50,
                 r.left() + w * 0.50, r.top() + h * 0.68);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(r.left() + w * 0.5, r.bottom() - width * 0.4), width * 0.75,
                  width * 0.75);
    p.restore();
}

void iconTick(QPainter& p, const QRectF& r, const QColor& c, qreal width) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(roundPen(c, width));
    QPainterPath tick;
    tick.moveTo(r.left(), r.top() + r.height() * 0.55);
    tick.lineTo(r.left() + r.width() * 0.38, r.bottom());
    tick.lineTo(r.right(), r.top());
    p.drawPath(tick);
    p.restore();
}

void iconChevron(QPainter& p, const QRectF& r, const QColor& c, qreal width, bool down) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(roundPen(c, width));
    QPainterPath v;
    if (down) {
        v.moveTo(r.left(), r.top());
        v.lineTo(r.center().x(), r.bottom());
        v.lineTo(r.right(), r.top());
    } else {
        v.moveTo(r.left(), r.top());
        v.lineTo(r.right(), r.center().y());
        v.lineTo(r.left(), r.bottom());
    }
    p.drawPath(v);
    p.restore();
}

void iconTriangle(QPainter& p, const QRectF& r, const QColor& c, bool up) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    QPainterPath t;
    if (up) {
        t.moveTo(r.left(), r.bottom());
        t.lineTo(r.center().x(), r.top());
        t.lineTo(r.right(), r.bottom());
    } else {
        t.moveTo(r.left(), r.top());
        t.lineTo(r.center().x(), r.bottom());
        t.lineTo(r.right(), r.top());
    }
    t.closeSubpath();
    p.drawPath(t);
    p.restore();
}

void iconPlus(QPainter& p, const QRectF& r, const QColor& c, qreal width) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(roundPen(c, width));
    const QPointF m = r.center();
    p.drawLine(QPointF(r.left(), m.y()), QPointF(r.right(), m.y()));
    p.drawLine(QPointF(m.x(), r.top()), QPointF(m.x(), r.bottom()));
    p.restore();
}

void iconLayers(QPainter& p, const QRectF& r, const QColor& c, qreal width) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(roundPen(c, width));
    const qreal w = r.width(), h = r.height();
    // Three stacked plates: the profile stack.
    for (int i = 2; i >= 0; --i) {
        const qreal y = r.top() + h * (0.2 + 0.3 * i);
        QPainterPath plate;
        plate.moveTo(r.left(), y + h * 0.12);
        plate.lineTo(r.left() + w * 0.5, y - h * 0.12);
        plate.lineTo(r.right(), y + h * 0.12);
        plate.lineTo(r.left() + w * 0.5, y + h * 0.36);
        plate.closeSubpath();
        p.setBrush(i == 0 ? withAlpha(c, 90) : Qt::NoBrush);
        if (i > 0) {
            QPainterPath open;
            open.moveTo(r.left(), y + h * 0.12);
            open.lineTo(r.left() + w * 0.5, y + h * 0.36);
            open.lineTo(r.right(), y + h * 0.12);
            p.drawPath(open);
        } else {
            p.drawPath(plate);
        }
    }
    p.restore();
}

void thumbDot(QPainter& p, const QPointF& centre, qreal radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath ring;
    ring.addEllipse(centre, radius - 1, radius - 1);
    glow(p, ring, withAlpha(palette::kAccent, 200), 3, 3);
    QRadialGradient g(centre - QPointF(radius * 0.3, radius * 0.35), radius * 1.3);
    g.setColorAt(0, QColor(255, 255, 255));
    g.setColorAt(1, palette::kThumb.darker(112));
    p.setBrush(g);
    p.setPen(QPen(palette::kAccent, 1.6));
    p.drawEllipse(centre, radius - 0.8, radius - 0.8);
    p.restore();
}

void radio(QPainter& p, const QRectF& r, bool on) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF m = r.center();
    const qreal rad = std::min(r.width(), r.height()) * 0.5 - 0.8;
    p.setBrush(palette::kWell);
    p.setPen(QPen(on ? palette::kAccent : palette::kBorderLight, 1.4));
    p.drawEllipse(m, rad, rad);
    if (on) {
        QRadialGradient g(m, rad * 0.55);
        g.setColorAt(0, palette::kAccent.lighter(135));
        g.setColorAt(1, palette::kAccent);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(m, rad * 0.5, rad * 0.5);
    }
    p.restore();
}

void tickBox(QPainter& p, const QRectF& r, bool ticked) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = r.adjusted(0.75, 0.75, -0.75, -0.75);
    if (ticked) {
        QLinearGradient g(box.topLeft(), box.bottomLeft());
        g.setColorAt(0, palette::kAccent.lighter(115));
        g.setColorAt(1, palette::kAccentDeep);
        p.setBrush(g);
        p.setPen(QPen(palette::kAccent, 1.2));
    } else {
        p.setBrush(palette::kWell);
        p.setPen(QPen(palette::kBorderLight, 1.2));
    }
    p.drawRoundedRect(box, 3, 3);
    if (ticked) {
        const qreal m = r.width() * 0.26;
        iconTick(p, r.adjusted(m, m + 0.5, -m, -m), palette::kAccentInk, r.width() / 7.5);
    }
    p.restore();
}

void pushButton(QPainter& p, const QRectF& r, ButtonLook look, bool over) {
    const qreal radius = std::min(6.0, r.height() * 0.3);
    if (look == ButtonLook::Primary) {
        const QColor top = over ? QColor(0x4a, 0xd6, 0xff) : QColor(0x17, 0xaa, 0xe0);
        const QColor bottom = over ? QColor(0x16, 0xa4, 0xdc) : QColor(0x0b, 0x72, 0x9c);
        card(p, r, radius, top, bottom, over ? QColor(0xa8, 0xea, 0xff) : palette::kAccent);
        topSheen(p, r, radius, over ? 120 : 70);
    } else {
        const QColor top = over ? QColor(0x34, 0x3a, 0x47) : QColor(0x2b, 0x2f, 0x38);
        const QColor bottom = over ? QColor(0x25, 0x2b, 0x35) : QColor(0x1f, 0x22, 0x29);
        card(p, r, radius, top, bottom, over ? palette::kAccent : palette::kBorderLight);
        topSheen(p, r, radius, over ? 60 : 35);
        if (over) {
            // An inner accent wash from the bottom edge: the hover glow kept
            // inside the button's own rectangle.
            p.save();
            p.setRenderHint(QPainter::Antialiasing);
            QPainterPath clip;
            clip.addRoundedRect(r.adjusted(1, 1, -1, -1), radius, radius);
            p.setClipPath(clip);
            QLinearGradient g(r.bottomLeft(), QPointF(r.left(), r.top() + r.height() * 0.4));
            g.setColorAt(0, withAlpha(palette::kAccent, 70));
            g.setColorAt(1, withAlpha(palette::kAccent, 0));
            p.fillRect(r, g);
            p.restore();
        }
    }
}

} // namespace qvr::skingen
