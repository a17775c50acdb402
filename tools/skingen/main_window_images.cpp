// Images of the main window's frame: background, panel crops, title and
// bottom buttons, scroll track and mouse-view tabs.

#include "core/layout/skin_layout.h"
#include "paint_kit.h"
#include "skin_table.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>
#include <map>

namespace qvr::skingen {
namespace {

using namespace palette;

QRectF toQt(const skin::Rect& r) {
    return QRectF(r.left, r.top, r.width(), r.height());
}

void drawLogo(QPainter& p, const QPointF& at) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath hex;
    for (int i = 0; i < 6; ++i) {
        const qreal a = (60.0 * i - 90.0) * 3.14159265 / 180.0;
        const QPointF v = at + QPointF(7.5 * std::cos(a), 7.5 * std::sin(a));
        i == 0 ? hex.moveTo(v) : hex.lineTo(v);
    }
    hex.closeSubpath();
    glow(p, hex, kAccent, 4, 3);
    p.setPen(QPen(kAccent, 1.5));
    p.setBrush(withAlpha(kAccent, 40));
    p.drawPath(hex);
    iconChevron(p, QRectF(at.x() - 3.5, at.y() - 1.5, 7, 4), kAccent.lighter(130), 1.6, true);
    p.restore();
}

// A small top view of a mouse, used as the status card's device glyph.
void drawMouseGlyph(QPainter& p, const QRectF& r, const QColor& c) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(c, 1.6));
    p.setBrush(withAlpha(c, 30));
    p.drawRoundedRect(r, r.width() * 0.5, r.width() * 0.45);
    p.drawLine(QPointF(r.center().x(), r.top() + 1),
               QPointF(r.center().x(), r.top() + r.height() * 0.38));
    p.drawLine(QPointF(r.left() + 1, r.top() + r.height() * 0.38),
               QPointF(r.right() - 1, r.top() + r.height() * 0.38));
    p.setBrush(c);
    p.drawRoundedRect(QRectF(r.center().x() - 1.5, r.top() + r.height() * 0.12, 3, 6), 1.5, 1.5);
    p.restore();
}

void drawMain(QPainter& p, QSize s) {
    const QRectF all(0, 0, s.width(), s.height());
    QLinearGradient base(0, 0, 0, s.height());
    base.setColorAt(0, QColor(0x17, 0x19, 0x1f));
    base.setColorAt(1, QColor(0x0f, 0x11, 0x15));
    p.fillRect(all, base);
    carbonWeave(p, all, 5);

    // Title strip with an accent hairline that fades to the right.
    QLinearGradient title(0, 0, 0, 27);
    title.setColorAt(0, QColor(0x22, 0x25, 0x2d));
    title.setColorAt(1, QColor(0x18, 0x1a, 0x20));
    p.fillRect(QRectF(0, 0, s.width(), 27), title);
    QLinearGradient line(0, 0, s.width(), 0);
    line.setColorAt(0, withAlpha(kAccent, 220));
    line.setColorAt(0.45, withAlpha(kAccent, 70));
    line.setColorAt(1, withAlpha(kAccent, 20));
    p.fillRect(QRectF(0, 26, s.width(), 1), line);
    drawLogo(p, QPointF(18, 13.5));

    // Panel cards; the middle one gets a soft spotlight behind the mouse.
    panelCard(p, toQt(skin::kLeftPanel), 8);
    panelCard(p, toQt(skin::kMidPanel), 8);
    panelCard(p, toQt(skin::kRightPanel), 8);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath mid;
    mid.addRoundedRect(toQt(skin::kMidPanel).adjusted(1, 1, -1, -1), 8, 8);
    p.setClipPath(mid);
    QRadialGradient spot(QPointF(517, 270), 300);
    spot.setColorAt(0, withAlpha(kAccent, 30));
    spot.setColorAt(0.5, withAlpha(kAccent, 10));
    spot.setColorAt(1, withAlpha(kAccent, 0));
    p.fillRect(toQt(skin::kMidPanel), spot);
    // A faint floor grid under the mouse view, fading out at the edges.
    for (int x = 292; x < 724; x += 24) {
        const int a = std::max(0, 18 - std::abs(x - 517) / 14);
        p.fillRect(QRectF(x, 40, 1, 470), QColor(255, 255, 255, a));
    }
    p.restore();

    // Status card of the left panel.
    well(p, toQt(skin::kStatusCard), 6);
    drawMouseGlyph(p, QRectF(32, 44, 22, 34), kIcon);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath led;
    led.addEllipse(QPointF(43, 90), 2.5, 2.5);
    glow(p, led, kAccent, 7, 3);
    p.fillPath(led, kAccent);
    p.restore();

    // Socket of the two mouse-view tabs.
    well(p, QRectF(435, 525, 129, 33), 8);

    // Bottom bar.
    QLinearGradient foot(0, 600, 0, s.height());
    foot.setColorAt(0, QColor(0x1a, 0x1c, 0x22));
    foot.setColorAt(1, QColor(0x12, 0x14, 0x18));
    p.fillRect(QRectF(0, 600, s.width(), s.height() - 600), foot);
    p.fillRect(QRectF(0, 600, s.width(), 1), kBorder);

    // Window edge.
    p.setPen(QPen(QColor(0x34, 0x38, 0x42), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, s.width() - 1, s.height() - 1));
}

// A panel cut out of the main background drawn at the same scale, so it
// matches the window's background pixel for pixel.
void drawCrop(QPainter& p, const skin::Rect& r) {
    const int scale = qRound(p.device()->devicePixelRatioF());
    static std::map<int, QImage> mains;
    auto found = mains.find(scale);
    if (found == mains.end())
        found = mains.emplace(scale, renderMainBackground(scale)).first;
    QImage crop =
        found->second.copy(r.left * scale, r.top * scale, r.width() * scale, r.height() * scale);
    crop.setDevicePixelRatio(scale);
    p.drawImage(QPointF(0, 0), crop);
}

void drawTrack(QPainter& p, QSize s) {
    well(p, QRectF(0, 0, s.width(), s.height()), 4);
    p.fillRect(QRectF(s.width() / 2.0 - 0.5, 6, 1, s.height() - 12), QColor(255, 255, 255, 14));
}

enum class TitleIcon { Help, Minimise, Close };

void drawTitleButton(QPainter& p, QSize s, TitleIcon icon, bool over) {
    const QRectF r(0, 0, s.width(), s.height());
    if (over) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(kAccent, 55));
        p.drawRoundedRect(r, 4, 4);
    }
    const QColor c = over ? kAccent.lighter(140) : kIcon;
    const QRectF in = r.adjusted(4, 4, -4, -4);
    switch (icon) {
    case TitleIcon::Help:
        iconQuestion(p, r.adjusted(4.5, 2.5, -4.5, -2.5), c, 1.6);
        break;
    case TitleIcon::Minimise:
        iconBar(p, r.adjusted(3.5, 3, -3.5, -2.5), c, 1.8);
        break;
    case TitleIcon::Close:
        iconCross(p, in, c, 1.8);
        break;
    }
}

void drawConfigButton(QPainter& p, QSize s, bool over) {
    pushButton(p, QRectF(0, 0, s.width(), s.height()), ButtonLook::Neutral, over);
    iconLayers(p, QRectF(7, 8, 13, 14), over ? kAccent.lighter(120) : kIcon, 1.4);
}

void drawTab(QPainter& p, QSize s, bool shown) {
    const QRectF r(1, 1, s.width() - 2, s.height() - 2);
    if (shown) {
        card(p, r, 6, withAlpha(kAccent, 70), withAlpha(kAccent, 25), kAccent);
        topSheen(p, r, 6, 50);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath bar;
        bar.addRoundedRect(QRectF(s.width() / 2.0 - 12, s.height() - 5, 24, 2), 1, 1);
        glow(p, bar, kAccent, 6, 3);
        p.fillPath(bar, kAccent.lighter(130));
    } else {
        card(p, r, 6, QColor(0x24, 0x27, 0x2f, 230), QColor(0x1c, 0x1f, 0x25, 230), kBorder);
    }
}

} // namespace

QImage renderMainBackground(int scale) {
    QImage image(skin::kMainWindow.width * scale, skin::kMainWindow.height * scale,
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter p(&image);
    drawMain(p, QSize(skin::kMainWindow.width, skin::kMainWindow.height));
    return image;
}

void addMainWindowImages(SkinTable& t) {
    const QSize title(skin::kHelpButton.width(), skin::kHelpButton.height());
    const QSize small(skin::kResetButton.width(), skin::kResetButton.height());
    const QSize config(skin::kConfigButton.width(), skin::kConfigButton.height());
    const QSize tab(skin::kFrontTab.width(), skin::kFrontTab.height());
    auto size = [](const skin::Rect& r) { return QSize(r.width(), r.height()); };
    auto fill = [](QPainter& p, QSize s, ButtonLook look, bool over) {
        pushButton(p, QRectF(0, 0, s.width(), s.height()), look, over);
    };

    t.insert(
        t.end(),
        {
            {"/main.png", QSize(skin::kMainWindow.width, skin::kMainWindow.height), drawMain},
            {"/BK_MainLeft.png", size(skin::kLeftPanel),
             [](QPainter& p, QSize) { drawCrop(p, skin::kLeftPanel); }},
            {"/BK_MainMid.png", size(skin::kMidPanel),
             [](QPainter& p, QSize) { drawCrop(p, skin::kMidPanel); }},
            {"/BK_MainRight.png", size(skin::kRightPanel),
             [](QPainter& p, QSize) { drawCrop(p, skin::kRightPanel); }},
            {"/Bar1.png", size(skin::kScrollTrack), drawTrack},
            {"/button-help-normal.png", title,
             [](QPainter& p, QSize s) { drawTitleButton(p, s, TitleIcon::Help, false); }},
            {"/button-help-over.png", title,
             [](QPainter& p, QSize s) { drawTitleButton(p, s, TitleIcon::Help, true); }},
            {"/button-min-normal.png", title,
             [](QPainter& p, QSize s) { drawTitleButton(p, s, TitleIcon::Minimise, false); }},
            {"/button-min-over.png", title,
             [](QPainter& p, QSize s) { drawTitleButton(p, s, TitleIcon::Minimise, true); }},
            {"/button-close-normal.png", title,
             [](QPainter& p, QSize s) { drawTitleButton(p, s, TitleIcon::Close, false); }},
            {"/button-close-over.png", title,
             [](QPainter& p, QSize s) { drawTitleButton(p, s, TitleIcon::Close, true); }},
            {"/button-cancel-normal.png", small,
             [=](QPainter& p, QSize s) { fill(p, s, ButtonLook::Neutral, false); }},
            {"/button-cancel-over.png", small,
             [=](QPainter& p, QSize s) { fill(p, s, ButtonLook::Neutral, true); }},
            {"/button-save-normal.png", small,
             [=](QPainter& p, QSize s) { fill(p, s, ButtonLook::Primary, false); }},
            {"/button-save-over.png", small,
             [=](QPainter& p, QSize s) { fill(p, s, ButtonLook::Primary, true); }},
            {"/button-config-normal.png", config,
             [](QPainter& p, QSize s) { drawConfigButton(p, s, false); }},
            {"/button-config-over.png", config,
             [](QPainter& p, QSize s) { drawConfigButton(p, s, true); }},
            {"/button-mouse-normal.png", tab, [](QPainter& p, QSize s) { drawTab(p, s, false); }},
            {"/button-mouse-leave.png", tab, [](QPainter& p, QSize s) { drawTab(p, s, true); }},
        });
}

} // namespace qvr::skingen
