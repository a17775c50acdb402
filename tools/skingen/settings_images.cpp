// Images of the settings sections: headers, section bodies, sliders, the DPI
// stages, the report-rate dial, the speed gauge, the angle-snap previews and
// the assignment drop-down boxes.

#include "core/layout/skin_layout.h"
#include "paint_kit.h"
#include "skin_table.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

namespace qvr::skingen {
namespace {

using namespace palette;

constexpr qreal kDegree = 3.14159265358979 / 180.0;

QSize qs(skin::Size s) {
    return QSize(s.width, s.height);
}

void body(QPainter& p, QSize s) {
    card(p, QRectF(0, 0, s.width(), s.height()), 6, QColor(0x1e, 0x21, 0x28),
         QColor(0x17, 0x19, 0x1f), kBorder);
}

void notches(QPainter& p, const skin::Rect& hit) {
    for (int v = 1; v <= 10; ++v) {
        p.fillRect(QRectF(hit.left + skin::stepSliderStop(v), hit.bottom + 1, 1, 2), kBorderLight);
    }
}

void drawHeader(QPainter& p, QSize s) {
    const QRectF r(0, 0, s.width(), s.height());
    card(p, r, 4, QColor(0x2a, 0x2e, 0x38), QColor(0x20, 0x23, 0x2a), kBorderLight);
    topSheen(p, r, 4, 30);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath stripe;
    stripe.addRoundedRect(QRectF(5, 5, 3, 10), 1.5, 1.5);
    glow(p, stripe, kAccent, 6, 3);
    p.fillPath(stripe, kAccent);
    iconChevron(p, QRectF(s.width() - 17, 8, 8, 4), kIcon, 1.5, true);
}

void drawMacroBar(QPainter& p, QSize s) {
    const QRectF r(0, 0, s.width(), s.height());
    card(p, r, 5, QColor(0x2a, 0x2e, 0x38), QColor(0x1d, 0x20, 0x27), kBorderLight);
    topSheen(p, r, 5, 35);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath stripe;
    stripe.addRoundedRect(QRectF(3, 9, 3, 20), 1.5, 1.5);
    glow(p, stripe, kAccent, 6, 3);
    p.fillPath(stripe, kAccent);
    // Three small key caps: the sequence a macro plays.
    for (int i = 0; i < 3; ++i) {
        card(p, QRectF(s.width() - 62 + i * 13, 13, 11, 11), 2.5, QColor(0x33, 0x38, 0x44),
             QColor(0x26, 0x2a, 0x33), i == 2 ? kAccent : kBorderLight);
    }
    iconChevron(p, QRectF(s.width() - 17, 14, 5, 10), kIcon, 1.6, false);
}

void drawAssignmentBody(QPainter& p, QSize s) {
    body(p, s);
    for (int n = 0; n < 8; ++n) {
        const qreal top = 25 + 20 * n;
        if (n % 2 == 0) {
            p.fillRect(QRectF(4, top, s.width() - 8, 20), QColor(255, 255, 255, 7));
        }
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(kBorderLight);
        p.drawEllipse(QPointF(8, top + 10), 1.6, 1.6);
    }
    // A hairline under the free heading strip of the section.
    QLinearGradient line(0, 0, s.width(), 0);
    line.setColorAt(0, withAlpha(kAccent, 0));
    line.setColorAt(0.5, withAlpha(kAccent, 90));
    line.setColorAt(1, withAlpha(kAccent, 0));
    p.fillRect(QRectF(10, 18, s.width() - 20, 1), line);
}

enum class BoxState { Normal, Over, Leave };

void drawDropdown(QPainter& p, QSize s, BoxState state) {
    const QRectF r(0, 0, s.width(), s.height());
    switch (state) {
    case BoxState::Normal:
        card(p, r, 3, QColor(0x1b, 0x1e, 0x24), QColor(0x15, 0x17, 0x1c), kBorderLight);
        break;
    case BoxState::Over:
        card(p, r, 3, QColor(0x26, 0x2c, 0x37), QColor(0x1c, 0x21, 0x2a), kAccent);
        topSheen(p, r, 3, 40);
        break;
    case BoxState::Leave:
        card(p, r, 3, mix(QColor(0x15, 0x17, 0x1c), kAccent, 0.32),
             mix(QColor(0x15, 0x17, 0x1c), kAccent, 0.16), kAccentDeep);
        p.fillRect(QRectF(2, 3, 2, s.height() - 6), kAccent);
        break;
    }
    p.fillRect(QRectF(s.width() - 18, 3, 1, s.height() - 6),
               state == BoxState::Normal ? kBorder : withAlpha(kAccent, 90));
    const QColor chevron = state == BoxState::Normal ? kIcon
                           : state == BoxState::Over ? kAccent
                                                     : kThumb;
    iconChevron(p, QRectF(s.width() - 12.5, 6, 7, 4), chevron, 1.5, true);
}

// Body-relative x of DPI stage i's slider centre, and the body's client origin.
constexpr int kDpiBodyLeft = skin::kRightHeaderLeft;
constexpr int kDpiBodyTop = skin::kRightHeaderTop + skin::kHeaderHeight;

void drawDpiBody(QPainter& p, QSize s) {
    body(p, s);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 4; ++i) {
        const qreal centre = skin::kDpiSliderLeft[i] + 5 - kDpiBodyLeft;
        const QRectF lane(centre - 24, 36, 48, 184);
        card(p, lane, 5, QColor(0x1a, 0x1d, 0x23), QColor(0x14, 0x16, 0x1b),
             QColor(0x26, 0x29, 0x31));
        // Ticks every 500 DPI beside the slider.
        for (int v = 10; v <= 100; v += 10) {
            const qreal y = skin::dpiThumbRow(v) - kDpiBodyTop;
            const qreal w = v % 50 == 0 ? 4 : 2;
            p.fillRect(QRectF(centre - 9 - w, y, w, 1), kBorderLight);
            p.fillRect(QRectF(centre + 10, y, w, 1), kBorderLight);
        }
        // Socket of the colour swatch (the program paints the colour inside).
        const QRectF swatch(skin::kDpiSliderLeft[i] - kDpiBodyLeft - 3, 255 - kDpiBodyTop - 3, 16,
                            16);
        well(p, swatch, 4);
        p.setPen(QPen(kBorderLight, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(swatch.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    }
    // Brackets under the two captions pair stages 1-2 and 3-4.
    for (const qreal left : {31.0, 141.0}) {
        QLinearGradient g(left, 0, left + 85, 0);
        g.setColorAt(0, withAlpha(kAccent, 160));
        g.setColorAt(1, withAlpha(kAccent, 20));
        p.fillRect(QRectF(left, 33, 85, 1), g);
    }
}

void drawDpiValueFrame(QPainter& p, QSize s) {
    card(p, QRectF(0, 0, s.width(), s.height()), 4, QColor(0x2c, 0x30, 0x3a),
         QColor(0x22, 0x25, 0x2d), kBorderLight);
    p.fillRect(QRectF(4, s.height() - 1.5, s.width() - 8, 1), withAlpha(kAccent, 120));
}

void drawDpiStage(QPainter& p, QSize, int value) {
    p.setRenderHint(QPainter::Antialiasing);
    const qreal grooveTop = skin::kDpiSliderTop - skin::kDpiFrameTop;
    const qreal grooveBottom = skin::kDpiSliderBottom - skin::kDpiFrameTop;
    const QRectF groove(8, grooveTop, 4, grooveBottom - grooveTop);
    p.setPen(Qt::NoPen);
    p.setBrush(kIdle);
    p.drawRoundedRect(groove, 2, 2);
    const qreal row = skin::dpiThumbRow(value) - skin::kDpiFrameTop;
    QLinearGradient fill(0, grooveBottom, 0, grooveTop);
    fill.setColorAt(0, kAccentDeep);
    fill.setColorAt(1, kAccent.lighter(120));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(8, row, 4, grooveBottom - row), 2, 2);
    // The thumb is centred on the pixel row a click selecting this value hits.
    const QRectF thumb(2, row - 3, 16, 7);
    QPainterPath shape;
    shape.addRoundedRect(thumb, 3.5, 3.5);
    glow(p, shape, kAccent, 3, 3);
    QLinearGradient core(thumb.topLeft(), thumb.bottomLeft());
    core.setColorAt(0, QColor(255, 255, 255));
    core.setColorAt(1, kThumb.darker(115));
    p.setBrush(core);
    p.setPen(QPen(kAccent, 1.2));
    p.drawPath(shape);
    p.fillRect(QRectF(6, row, 8, 1), withAlpha(kAccentDeep, 150));
}

// A horizontal slider frame: groove, accent fill up to the thumb, stop dots.
void drawHorizontalSlider(QPainter& p, QSize s, int inset, int hitWidth, qreal centreY,
                          qreal thumbX, qreal radius, int stops, int (*stopAt)(int)) {
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF groove(inset, centreY - 1.5, hitWidth, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(kIdle);
    p.drawRoundedRect(groove, 1.5, 1.5);
    QLinearGradient fill(inset, 0, inset + hitWidth, 0);
    fill.setColorAt(0, kAccentDeep);
    fill.setColorAt(1, kAccent.lighter(115));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(inset, centreY - 1.5, thumbX - inset, 3), 1.5, 1.5);
    for (int v = 1; v <= stops; ++v) {
        const qreal x = inset + stopAt(v) + 0.5;
        p.setBrush(x < thumbX ? kThumb : kBorderLight);
        p.drawEllipse(QPointF(x, centreY), 1.2, 1.2);
    }
    thumbDot(p, QPointF(thumbX, centreY), radius);
    (void)s;
}

void drawStepSlider(QPainter& p, QSize s, int value) {
    const int inset = skin::kStepFrameInset;
    drawHorizontalSlider(p, s, inset, skin::kStepSliderHit.width,
                         inset + skin::kStepSliderHit.height / 2.0,
                         inset + skin::stepSliderStop(value) + 0.5, 6.5, 10, skin::stepSliderStop);
}

void drawLightingSlider(QPainter& p, QSize s, int value) {
    const int inset = skin::kLightingFrameInset;
    drawHorizontalSlider(
        p, s, inset, skin::kLightingSliderHit.width, inset + skin::kLightingSliderHit.height / 2.0,
        inset + skin::lightingSliderStop(value) + 0.5, 5.5, 5, skin::lightingSliderStop);
}

QPainterPath annularSector(QPointF c, qreal inner, qreal outer, qreal from, qreal span) {
    QPainterPath path;
    const QRectF o(c.x() - outer, c.y() - outer, 2 * outer, 2 * outer);
    const QRectF i(c.x() - inner, c.y() - inner, 2 * inner, 2 * inner);
    path.arcMoveTo(o, from);
    path.arcTo(o, from, span);
    path.arcTo(i, from + span, -span);
    path.closeSubpath();
    return path;
}

// Speed gauge: ten 18-degree segments from "Fast" (right, 0) to "Slow"
// (left, 180); value v lights the segments from the left end up to its own
// sector and points the needle at the sector's middle.
void drawGauge(QPainter& p, QSize, int value) {
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(71, 71);
    for (int i = 0; i < 10; ++i) {
        const bool lit = i >= 11 - value;
        const QPainterPath seg = annularSector(c, 45, 69, 18 * i + 1.2, 18 - 2.4);
        if (lit) {
            const QColor col = mix(kAccent.lighter(115), kAccentDeep, i / 9.0);
            glow(p, seg, withAlpha(col, 150), 4, 2);
            p.fillPath(seg, col);
        } else {
            p.fillPath(seg, kIdle);
            p.setPen(QPen(QColor(0x36, 0x3a, 0x45), 1));
            p.drawPath(seg);
        }
    }
    const qreal t = value >= 12 ? 0 : 18.0 * (11 - value) + 9;
    const QPointF tip = c + QPointF(39 * std::cos(t * kDegree), -39 * std::sin(t * kDegree));
    QPainterPath needle;
    needle.moveTo(c);
    needle.lineTo(tip);
    glow(p, needle, kAccent, 6, 3);
    p.setPen(QPen(kThumb, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(needle);
    QRadialGradient hub(c - QPointF(2, 2), 10);
    hub.setColorAt(0, QColor(0x3a, 0x3f, 0x4b));
    hub.setColorAt(1, QColor(0x1c, 0x1f, 0x25));
    p.setBrush(hub);
    p.setPen(QPen(kAccent, 1.5));
    p.drawEllipse(c, 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(c, 2.5, 2.5);
}

// Report-rate dial: the ring's four quadrants, the active one lit; its dots
// count the speed steps (four for 1000 Hz down to one for 125 Hz). The centre
// disc stays free for the rate text.
void drawDial(QPainter& p, QSize, int hz) {
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(64, 64);
    QRadialGradient disc(c, 64);
    disc.setColorAt(0, QColor(0x22, 0x25, 0x2d));
    disc.setColorAt(0.8, QColor(0x17, 0x19, 0x1f));
    disc.setColorAt(1, QColor(0x12, 0x14, 0x18));
    p.setBrush(disc);
    p.setPen(QPen(kBorder, 1));
    p.drawEllipse(c, 63.5, 63.5);
    struct Quadrant {
        int hz;
        qreal from; // Qt angle, counter-clockwise from the right
        int dots;
    };
    static const Quadrant quadrants[] = {{1000, 0, 4}, {125, 90, 1}, {250, 180, 2}, {500, 270, 3}};
    for (const Quadrant& q : quadrants) {
        const bool on = q.hz == hz;
        const QPainterPath seg = annularSector(c, 37, 61, q.from + 3, 84);
        if (on) {
            glow(p, seg, kAccent, 6, 3);
            QRadialGradient g(c, 61);
            g.setColorAt(0.6, kAccentDeep);
            g.setColorAt(1, kAccent.lighter(110));
            p.fillPath(seg, g);
        } else {
            p.fillPath(seg, kIdle);
            p.setPen(QPen(QColor(0x38, 0x3c, 0x47), 1));
            p.setBrush(Qt::NoBrush);
            p.drawPath(seg);
        }
        const qreal mid = q.from + 45;
        for (int d = 0; d < q.dots; ++d) {
            const qreal a = (mid + (d - (q.dots - 1) / 2.0) * 9) * kDegree;
            const QPointF at = c + QPointF(49 * std::cos(a), -49 * std::sin(a));
            p.setPen(Qt::NoPen);
            p.setBrush(on ? kAccentInk : kIcon.darker(140));
            p.drawEllipse(at, 2.2, 2.2);
        }
    }
    QRadialGradient inner(c - QPointF(6, 8), 40);
    inner.setColorAt(0, QColor(0x26, 0x2a, 0x33));
    inner.setColorAt(1, QColor(0x12, 0x14, 0x18));
    p.setBrush(inner);
    p.setPen(QPen(QColor(0x30, 0x34, 0x3e), 1));
    p.drawEllipse(c, 31.5, 31.5);
}

// Angle-snap preview: a shaky hand-drawn stroke (grey) and the stroke the
// mouse reports (accent), which straightens as the level rises.
void drawAnglePreview(QPainter& p, QSize s, int level) {
    p.setRenderHint(QPainter::Antialiasing);
    const qreal mid = s.height() / 2.0;
    p.fillRect(QRectF(10, mid, s.width() - 20, 1), QColor(255, 255, 255, 16));
    auto shake = [](qreal x) { return 9 * std::sin(x * 0.085) + 4 * std::sin(x * 0.23 + 1.3); };
    const qreal keep = (11 - level) / 10.0;
    QPainterPath raw, snapped;
    for (int x = 14; x <= s.width() - 14; ++x) {
        const QPointF a(x, mid + shake(x)), b(x, mid + keep * shake(x));
        x == 14 ? raw.moveTo(a) : raw.lineTo(a);
        x == 14 ? snapped.moveTo(b) : snapped.lineTo(b);
    }
    p.setPen(QPen(withAlpha(kIcon, 110), 1.2, Qt::DashLine, Qt::RoundCap));
    p.drawPath(raw);
    glow(p, snapped, kAccent, 7, 3);
    p.setPen(QPen(kAccent.lighter(115), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(snapped);
    p.setPen(Qt::NoPen);
    p.setBrush(kThumb);
    p.drawEllipse(snapped.pointAtPercent(0), 2.5, 2.5);
    p.drawEllipse(snapped.pointAtPercent(1), 2.5, 2.5);
}

void drawXYBody(QPainter& p, QSize s) {
    body(p, s);
    p.fillRect(QRectF(10, 50, s.width() - 20, 1), QColor(255, 255, 255, 12));
    notches(p, skin::kXYSliderHit[0]);
    notches(p, skin::kXYSliderHit[1]);
}

void drawLightingBody(QPainter& p, QSize s) {
    body(p, s);
    for (int r = 1; r < 3; ++r) {
        p.fillRect(QRectF(10, 10 + 29 * r - 2, s.width() - 20, 1), QColor(255, 255, 255, 12));
    }
}

void drawReportRateBody(QPainter& p, QSize s) {
    body(p, s);
    QRadialGradient shade(QPointF(skin::kDialAt.x + 64, skin::kDialAt.y + 68), 76);
    shade.setColorAt(0.75, QColor(0, 0, 0, 90));
    shade.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(0, 0, s.width(), s.height()).adjusted(1, 1, -1, -1), shade);
}

void drawSpeedBody(QPainter& p, QSize s) {
    body(p, s);
    const qreal y = skin::kGaugeAt.y + 71.5;
    QLinearGradient g(30, 0, s.width() - 30, 0);
    g.setColorAt(0, QColor(255, 255, 255, 0));
    g.setColorAt(0.5, QColor(255, 255, 255, 22));
    g.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(30, y, s.width() - 60, 1), g);
}

void drawScrollBody(QPainter& p, QSize s) {
    body(p, s);
    p.fillRect(QRectF(10, 34, s.width() - 20, 1), QColor(255, 255, 255, 12));
}

void drawAngleBody(QPainter& p, QSize s) {
    body(p, s);
    well(p,
         QRectF(skin::kAnglePreviewAt.x - 2, skin::kAnglePreviewAt.y - 2,
                skin::kAnglePreview.width + 4, skin::kAnglePreview.height + 4),
         5);
    notches(p, skin::kAngleSliderHit);
}

void drawScrollLines(QPainter& p, QSize s) {
    const skin::Rect edit{skin::kScrollEdit.left - skin::kScrollLinesAt.x,
                          skin::kScrollEdit.top - skin::kScrollLinesAt.y,
                          skin::kScrollEdit.right - skin::kScrollLinesAt.x,
                          skin::kScrollEdit.bottom - skin::kScrollLinesAt.y};
    card(p, QRectF(0, 0, edit.right + 2, s.height()), 4, QColor(0x2c, 0x30, 0x3a),
         QColor(0x22, 0x25, 0x2d), kBorderLight);
    const qreal left = skin::kScrollUp.left - skin::kScrollLinesAt.x;
    const QRectF stepper(left, 0, s.width() - left, s.height());
    card(p, stepper, 4, QColor(0x2c, 0x30, 0x3a), QColor(0x22, 0x25, 0x2d), kBorderLight);
    p.fillRect(QRectF(left + 3, s.height() / 2.0, stepper.width() - 6, 1), kBorder);
    const qreal cx = stepper.center().x();
    iconTriangle(p, QRectF(cx - 4, 3.5, 8, 4.5), kAccent, true);
    iconTriangle(p, QRectF(cx - 4, s.height() - 8, 8, 4.5), kAccent, false);
}

} // namespace

void addSettingsImages(SkinTable& t) {
    const QSize radioSize = qs(skin::kRadio);
    auto radioOn = [](QPainter& p, QSize s) {
        radio(p, QRectF(0, 0, s.width(), s.height()), true);
    };
    auto radioOff = [](QPainter& p, QSize s) {
        radio(p, QRectF(0, 0, s.width(), s.height()), false);
    };
    const QSize dropdown(130, 16); // drop-down box n: 120..250 x 154 + 20(n-1) .. +16

    t.insert(
        t.end(),
        {
            {"/ItemBK.png", QSize(skin::kPanelWidth, skin::kHeaderHeight), drawHeader},
            {"/MacroManagementBK.png", qs(skin::kMacroBar), drawMacroBar},
            {"/Enable.png", radioSize, radioOn},
            {"/Disable.png", radioSize, radioOff},
            {"/ButtonAssignment/BK_ButtonAssignment.png", qs(skin::kAssignmentBody),
             drawAssignmentBody},
            {"/ButtonAssignment/DropdownBox-normal.png", dropdown,
             [](QPainter& p, QSize s) { drawDropdown(p, s, BoxState::Normal); }},
            {"/ButtonAssignment/DropdownBox-over.png", dropdown,
             [](QPainter& p, QSize s) { drawDropdown(p, s, BoxState::Over); }},
            {"/ButtonAssignment/DropdownBox-leave.png", dropdown,
             [](QPainter& p, QSize s) { drawDropdown(p, s, BoxState::Leave); }},
            {"/XYSensitivity/BK_XYSensSetting.png", qs(skin::kXYBody), drawXYBody},
            {"/DPISetting/BK_DPISetting.png", qs(skin::kDpiBody), drawDpiBody},
            {"/DPISetting/BK-DPIValue.png", qs(skin::kDpiValueFrame), drawDpiValueFrame},
            {"/Lighting/BK_Lighting.png", qs(skin::kLightingBody), drawLightingBody},
            {"/USBReportRate/BK_USBReportRate.png", qs(skin::kReportRateBody), drawReportRateBody},
            {"/MouseAttribute/BK_MouseAttribute.png", qs(skin::kSpeedBody), drawSpeedBody},
            {"/MouseAttribute/BK_ScrollSpeed.png", qs(skin::kScrollBody), drawScrollBody},
            {"/MouseAttribute/ScrollSpeed/Enable.png", radioSize, radioOn},
            {"/MouseAttribute/ScrollSpeed/Disable.png", radioSize, radioOff},
            {"/MouseAttribute/ScrollSpeed/ScrollLines.png", qs(skin::kScrollLines),
             drawScrollLines},
            {"/AngleSnap/BK_AngleSnap.png", qs(skin::kAngleSnapBody), drawAngleBody},
        });

    // Numbered series: one row per frame.
    auto series = [&t](const char* pattern, int first, int last, QSize size,
                       void (*draw)(QPainter&, QSize, int)) {
        for (int n = first; n <= last; ++n) {
            t.push_back({QString::asprintf(pattern, n), size,
                         [draw, n](QPainter& p, QSize s) { draw(p, s, n); }});
        }
    };
    series("/DPISetting/DPIStage/%d.png", 1, 100, qs(skin::kDpiFrame), drawDpiStage);
    series("/StageSlider/%d.png", 1, 11, qs(skin::kStepSliderFrame), drawStepSlider);
    series("/Lighting/%d.png", 1, 6, qs(skin::kLightingSliderFrame), drawLightingSlider);
    series("/MouseAttribute/Speed/%d.png", 2, 12, qs(skin::kGauge), drawGauge);
    series("/AngleSnap/%d.png", 1, 11, qs(skin::kAnglePreview), drawAnglePreview);
    for (const int hz : {1000, 500, 250, 125}) {
        series("/USBReportRate/%dHZ.png", hz, hz, qs(skin::kDial), drawDial);
    }
}

} // namespace qvr::skingen
