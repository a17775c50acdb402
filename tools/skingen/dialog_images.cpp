// Backgrounds and buttons of the small windows: key capture dialogs, macro
// key dialog, macro manager, profile manager and help panel.

#include "core/layout/skin_layout.h"
#include "paint_kit.h"
#include "skin_table.h"

#include <QLinearGradient>
#include <QRadialGradient>

namespace qvr::skingen {
namespace {

using namespace palette;

QSize qs(skin::Size s) {
    return QSize(s.width, s.height);
}

// The common frame: base gradient, weave, title band with an accent hairline.
void dialogFrame(QPainter& p, QSize s, int titleHeight) {
    const QRectF all(0, 0, s.width(), s.height());
    QLinearGradient base(0, 0, 0, s.height());
    base.setColorAt(0, QColor(0x1d, 0x20, 0x27));
    base.setColorAt(1, QColor(0x14, 0x16, 0x1b));
    p.fillRect(all, base);
    carbonWeave(p, all, 5);
    QLinearGradient title(0, 0, 0, titleHeight);
    title.setColorAt(0, QColor(0x25, 0x29, 0x31));
    title.setColorAt(1, QColor(0x1c, 0x1f, 0x25));
    p.fillRect(QRectF(0, 0, s.width(), titleHeight), title);
    QLinearGradient line(0, 0, s.width(), 0);
    line.setColorAt(0, withAlpha(kAccent, 220));
    line.setColorAt(0.6, withAlpha(kAccent, 60));
    line.setColorAt(1, withAlpha(kAccent, 15));
    p.fillRect(QRectF(0, titleHeight - 1, s.width(), 1), line);
    p.setPen(QPen(QColor(0x3a, 0x3f, 0x4a), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(all.adjusted(0.5, 0.5, -0.5, -0.5));
}

void separator(QPainter& p, qreal x0, qreal x1, qreal y) {
    p.fillRect(QRectF(x0, y, x1 - x0, 1), QColor(0, 0, 0, 90));
    p.fillRect(QRectF(x0, y + 1, x1 - x0, 1), QColor(255, 255, 255, 12));
}

void vseparator(QPainter& p, qreal x, qreal y0, qreal y1) {
    p.fillRect(QRectF(x, y0, 1, y1 - y0), QColor(0, 0, 0, 90));
    p.fillRect(QRectF(x + 1, y0, 1, y1 - y0), QColor(255, 255, 255, 12));
}

// A field frame around a native control's rectangle (left, top, right, bottom).
void fieldFrame(QPainter& p, qreal l, qreal t, qreal r, qreal b) {
    well(p, QRectF(l - 3, t - 3, r - l + 6, b - t + 6), 4);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kBorderLight, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(l - 2.5, t - 2.5, r - l + 5, b - t + 5), 4, 4);
    p.restore();
}

void keycap(QPainter& p, const QRectF& r, bool lit) {
    card(p, r, 4, lit ? mix(QColor(0x2c, 0x30, 0x3a), kAccent, 0.35) : QColor(0x2e, 0x32, 0x3c),
         lit ? mix(QColor(0x1e, 0x21, 0x28), kAccent, 0.15) : QColor(0x1e, 0x21, 0x28),
         lit ? kAccent : kBorderLight);
    // The cap's dished top face.
    card(p, r.adjusted(3, 2, -3, -5), 3, QColor(255, 255, 255, lit ? 40 : 18),
         QColor(255, 255, 255, 4), QColor(255, 255, 255, lit ? 50 : 20));
    if (lit) {
        QPainterPath halo;
        halo.addRoundedRect(r, 4, 4);
        glow(p, halo, kAccent, 6, 3);
    }
}

void drawSingleKey(QPainter& p, QSize s) {
    dialogFrame(p, s, 30);
    // The captured key appears on a large key cap.
    keycap(p, QRectF(37, 117, 150, 38), true);
    well(p, QRectF(45, 127, 134, 18), 3);
    // A small keyboard cluster on the right.
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col) {
            keycap(p, QRectF(212 + col * 36 + row * 6, 70 + row * 40, 32, 34),
                   row == 1 && col == 2);
        }
    }
    separator(p, 12, s.width() - 12, 238);
}

void drawComboKey(QPainter& p, QSize s) {
    dialogFrame(p, s, 30);
    fieldFrame(p, 50, 70, 172, 84);
    p.fillRect(QRectF(156, 69, 1, 16), kBorderLight);
    iconChevron(p, QRectF(160, 75, 8, 4), kAccent, 1.5, true);
    fieldFrame(p, 50, 120, 172, 134);
    fieldFrame(p, 50, 170, 172, 184);
    // The program draws the captured combination right of this line, as key
    // caps with their names; nothing there is to be clicked.
    vseparator(p, 188, 66, 196);
    separator(p, 12, s.width() - 12, 238);
}

void drawMacroKey(QPainter& p, QSize s) {
    dialogFrame(p, s, 30);
    // Macro picker on the left.
    for (int i = 0; i < 3; ++i) {
        keycap(p, QRectF(50 + i * 34, 56, 28, 28), i == 0);
    }
    iconChevron(p, QRectF(79.5, 66, 4, 8), kAccent, 1.4, false);
    iconChevron(p, QRectF(113.5, 66, 4, 8), kIcon, 1.4, false);
    fieldFrame(p, 42, 128, 151, 144);
    p.fillRect(QRectF(136, 127, 1, 18), kBorderLight);
    iconChevron(p, QRectF(139.5, 134, 8, 4), kAccent, 1.5, true);
    vseparator(p, 203, 48, 226);
    separator(p, 214, 388, 108);
    separator(p, 214, 388, 158);
    separator(p, 12, s.width() - 12, 238);
}

void drawMacroManager(QPainter& p, QSize s) {
    dialogFrame(p, s, 50);
    for (const qreal left : {16.0, 148.0, 279.0}) {
        card(p, QRectF(left, 60, 118, 18), 4, QColor(0x2a, 0x2e, 0x38), QColor(0x21, 0x24, 0x2c),
             kBorder);
        p.fillRect(QRectF(left + 4, 76, 110, 1), withAlpha(kAccent, 110));
    }
    fieldFrame(p, 21, 82, 130, 353);
    fieldFrame(p, 153, 82, 262, 353);
    panelCard(p, QRectF(279, 82, 118, 274), 6);
    separator(p, 287, 389, 124);
    separator(p, 287, 389, 302);
    fieldFrame(p, 298, 333, 379, 345);
    // A macro drawn as a timeline of key presses, down the right edge.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal x = 444;
    p.fillRect(QRectF(x - 0.5, 92, 1, 250), QColor(255, 255, 255, 25));
    for (int i = 0; i < 7; ++i) {
        const qreal y = 100 + i * 38;
        const bool lit = i == 2;
        keycap(p, QRectF(x - 14, y, 28, 24), lit);
        p.setPen(Qt::NoPen);
        p.setBrush(lit ? kAccent : kBorderLight);
        p.drawEllipse(QPointF(x - 24, y + 12), 2, 2);
    }
    p.restore();
    separator(p, 12, s.width() - 12, 360);
}

void drawRecordButton(QPainter& p, QSize s) {
    const QRectF r(0, 0, s.width(), s.height());
    card(p, r, 5, QColor(0x2c, 0x31, 0x3c), QColor(0x1f, 0x23, 0x2a), kAccent);
    topSheen(p, r, 5, 45);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(r.adjusted(1, 1, -1, -1), 5, 5);
    p.setClipPath(clip);
    QLinearGradient g(r.bottomLeft(), QPointF(0, s.height() * 0.3));
    g.setColorAt(0, withAlpha(kAccent, 60));
    g.setColorAt(1, withAlpha(kAccent, 0));
    p.fillRect(r, g);
    p.restore();
}

void drawWideClose(QPainter& p, QSize s, bool over) {
    pushButton(p, QRectF(0, 0, s.width(), s.height()), ButtonLook::Neutral, over);
    const QPointF m(s.width() / 2.0, s.height() / 2.0);
    iconCross(p, QRectF(m.x() - 4, m.y() - 4, 8, 8), over ? kAccent.lighter(130) : kIcon, 1.8);
}

enum class ButtonIcon { Plus, Load };

void drawIconButton(QPainter& p, QSize s, ButtonIcon icon, bool over) {
    pushButton(p, QRectF(0, 0, s.width(), s.height()), ButtonLook::Neutral, over);
    const QColor c = over ? kAccent.lighter(120) : kIcon;
    const QRectF box(8, s.height() / 2.0 - 5, 10, 10);
    if (icon == ButtonIcon::Plus) {
        iconPlus(p, box, c, 1.8);
    } else {
        // An arrow dropping into a tray.
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(c, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(box.center().x(), box.top()),
                   QPointF(box.center().x(), box.bottom() - 3));
        iconChevron(p, QRectF(box.left() + 2, box.bottom() - 6, 6, 3), c, 1.6, true);
        p.drawPolyline(QPolygonF(
            {QPointF(box.left(), box.bottom() - 2), QPointF(box.left(), box.bottom() + 1),
             QPointF(box.right(), box.bottom() + 1), QPointF(box.right(), box.bottom() - 2)}));
        p.restore();
    }
}

void drawConfigWindow(QPainter& p, QSize s) {
    dialogFrame(p, s, 31);
    p.fillRect(QRectF(1, 31, s.width() - 2, 544), QColor(0x16, 0x18, 0x1d));
    iconLayers(p, QRectF(10, 8, 14, 15), kAccent, 1.4);
}

void drawNewConfig(QPainter& p, QSize s) {
    const QRectF r(0, 0, s.width(), s.height());
    QLinearGradient g(0, 0, 0, s.height());
    g.setColorAt(0, QColor(0x2a, 0x2e, 0x38));
    g.setColorAt(1, QColor(0x1e, 0x21, 0x28));
    p.fillRect(r, g);
    p.fillRect(QRectF(0, 0, s.width(), 1), withAlpha(kAccent, 150));
    p.setPen(QPen(QColor(0x3a, 0x3f, 0x4a), 1));
    p.drawLine(QPointF(0.5, 0), QPointF(0.5, s.height()));
    p.drawLine(QPointF(s.width() - 0.5, 0), QPointF(s.width() - 0.5, s.height()));
    p.drawLine(QPointF(0, s.height() - 0.5), QPointF(s.width(), s.height() - 0.5));
    iconPlus(p, QRectF(10, 7, 9, 9), kAccent, 1.8);
}

// The help panel holds black text, so it is a light card; its caret points
// up at the help button above its right end.
void drawHelpPanel(QPainter& p, QSize s) {
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(0.5, 6.5, s.width() - 1, s.height() - 7), 6, 6);
    QPainterPath caret;
    const qreal cx = skin::kHelpButton.left + skin::kHelpButton.width() / 2.0 - 786;
    caret.moveTo(cx - 6, 7);
    caret.lineTo(cx, 0.5);
    caret.lineTo(cx + 6, 7);
    caret.closeSubpath();
    shape = shape.united(caret);
    QLinearGradient g(0, 0, 0, s.height());
    g.setColorAt(0, QColor(0xf1, 0xf4, 0xf8));
    g.setColorAt(1, QColor(0xd4, 0xda, 0xe3));
    p.setBrush(g);
    p.setPen(QPen(QColor(0xa9, 0xb2, 0xbf), 1));
    p.drawPath(shape);
    p.save();
    p.setClipPath(shape);
    p.fillRect(QRectF(0, 6, s.width(), 4), kAccent);
    p.restore();
    p.fillRect(QRectF(14, 49, s.width() - 28, 1), QColor(0, 0, 0, 35));
    // Below the version: the language choice, then the keys line.
    p.fillRect(QRectF(8, 79, s.width() - 16, 1), QColor(0, 0, 0, 60));
    p.fillRect(QRectF(8, 151, s.width() - 16, 1), QColor(0, 0, 0, 60));
}

void drawKeysPanel(QPainter& p, QSize s) {
    dialogFrame(p, s, skin::kKeysTitleHeight);
    vseparator(p, skin::kKeysColumnSplit, skin::kKeysTitleHeight + 8, s.height() - 10);
}

} // namespace

void addDialogImages(SkinTable& t) {
    auto tick = [](bool on) {
        return [on](QPainter& p, QSize s) { tickBox(p, QRectF(0, 0, s.width(), s.height()), on); };
    };
    auto neutral = [](bool over) {
        return [over](QPainter& p, QSize s) {
            pushButton(p, QRectF(0, 0, s.width(), s.height()), ButtonLook::Neutral, over);
        };
    };
    const QSize bigTick(16, 16);   // macro key dialog: 220, 78, 236, 94
    const QSize smallTick(14, 14); // macro manager: 370, 144, 384, 158
    const QSize newButton(58, 25); // 17, 367, 75, 392 and the dialogs' OK/Cancel
    const QSize okButton(54, 28);  // macro manager: 298, 394, 352, 422
    const QSize wideClose(51, 24); // macro manager: 427, 17, 478, 41
    const QSize actionButton(90, 25);

    t.insert(
        t.end(),
        {
            {"/single-key.png", qs(skin::kKeyDialog), drawSingleKey},
            {"/combo-key.png", qs(skin::kKeyDialog), drawComboKey},
            {"/macro-key.png", qs(skin::kMacroKeyDialog), drawMacroKey},
            {"/Pane.png", bigTick, tick(false)},
            {"/PaneMakingTick.png", bigTick, tick(true)},
            {"/macro-button-close-normal.png", wideClose,
             [](QPainter& p, QSize s) { drawWideClose(p, s, false); }},
            {"/macro-button-close-over.png", wideClose,
             [](QPainter& p, QSize s) { drawWideClose(p, s, true); }},
            {"/Insert-Macro-normal.png", actionButton,
             [](QPainter& p, QSize s) { drawIconButton(p, s, ButtonIcon::Plus, false); }},
            {"/Insert-Macro-over.png", actionButton,
             [](QPainter& p, QSize s) { drawIconButton(p, s, ButtonIcon::Plus, true); }},
            {"/Load-normal.png", actionButton,
             [](QPainter& p, QSize s) { drawIconButton(p, s, ButtonIcon::Load, false); }},
            {"/Load-over.png", actionButton,
             [](QPainter& p, QSize s) { drawIconButton(p, s, ButtonIcon::Load, true); }},
            {"/MacroManagement/MacroManagement.png", qs(skin::kMacroManager), drawMacroManager},
            {"/MacroManagement/Pane.png", smallTick, tick(false)},
            {"/MacroManagement/PaneMakingTick.png", smallTick, tick(true)},
            {"/MacroManagement/Record-normal.png", QSize(89, 24), drawRecordButton},
            {"/MacroManagement/button-cancel-normal.png", okButton, neutral(false)},
            {"/MacroManagement/button-cancel-over.png", okButton, neutral(true)},
            {"/MacroManagement/button-new-normal.png", newButton, neutral(false)},
            {"/MacroManagement/button-new-over.png", newButton, neutral(true)},
            {"/Config/Config.png", qs(skin::kConfigWindow), drawConfigWindow},
            {"/Config/New-Config.png", QSize(263, 23), drawNewConfig},
            {"/Help/HelpWindow.png", qs(skin::kHelpPanel), drawHelpPanel},
            {"/Help/KeysWindow.png", qs(skin::kKeysPanel), drawKeysPanel},
        });
}

} // namespace qvr::skingen
