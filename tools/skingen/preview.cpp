#include "preview.h"

#include "core/layout/skin_layout.h"
#include "paint_kit.h"
#include "skin_table.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainter>

namespace qvr::skingen {
namespace {

// The text colour the factory settings are meant to carry for this skin.
const QColor kText(0xd6, 0xdc, 0xe6);

class Sheet {
  public:
    explicit Sheet(QSize size) : image_(size, QImage::Format_ARGB32_Premultiplied) {
        image_.fill(QColor(0x08, 0x09, 0x0b));
        for (const SkinImage& row : buildSkinTable()) {
            images_.insert(row.path, renderImage(row));
        }
        p_.begin(&image_);
        p_.setRenderHint(QPainter::TextAntialiasing);
    }
    ~Sheet() {
        if (p_.isActive()) {
            p_.end();
        }
    }

    void put(const QString& path, int x, int y) {
        p_.drawImage(QPoint(x, y) + origin_, images_.value(path));
    }
    void text(const QString& s, const skin::Rect& r, int flags = Qt::AlignCenter, int px = 12,
              QColor c = kText, bool bold = false) {
        QFont f("DejaVu Sans");
        f.setPixelSize(px);
        f.setBold(bold);
        p_.setFont(f);
        p_.setPen(c);
        p_.drawText(QRect(r.left, r.top, r.width(), r.height()).translated(origin_), flags, s);
    }
    void setOrigin(QPoint o) { origin_ = o; }
    QPainter& painter() { return p_; }
    bool save(const QString& file) {
        p_.end();
        return image_.save(file, "PNG");
    }

  private:
    QImage image_;
    QPainter p_;
    QHash<QString, QImage> images_;
    QPoint origin_;
};

skin::Rect shift(const skin::Rect& r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

void header(Sheet& s, int x, int y, const QString& title) {
    s.put("/ItemBK.png", x, y);
    s.text(title, {x + 14, y, x + 220, y + 20}, Qt::AlignLeft | Qt::AlignVCenter, 12, kText, true);
}

void frame(Sheet& s, bool front) {
    s.put("/main.png", 0, 0);
    s.put("/Bar1.png", 984, 32);
    s.put("/button-help-normal.png", 937, 5);
    s.put("/button-min-normal.png", 958, 5);
    s.put("/button-close-over.png", 979, 5);
    s.put("/button-cancel-normal.png", 798, 604);
    s.put("/button-cancel-over.png", 860, 604);
    s.put("/button-save-normal.png", 923, 604);
    s.put("/button-config-normal.png", 18, 604);
    s.text("QVR 2.7", {34, 0, 300, 26}, Qt::AlignLeft | Qt::AlignVCenter, 12, kText, true);
    s.text("Reset", skin::kResetButton);
    s.text("Cancel", skin::kCancelButton);
    s.text("Save", skin::kSaveButton, Qt::AlignCenter, 12, QColor(0x04, 0x1c, 0x28), true);
    s.text("Config", {43, 604, 90, 634}, Qt::AlignLeft | Qt::AlignVCenter);
    s.put(front ? "/button-mouse-leave.png" : "/button-mouse-normal.png", 437, 527);
    s.put(front ? "/button-mouse-normal.png" : "/button-mouse-leave.png", 500, 527);
    s.text("Front", skin::kFrontTab);
    s.text("Side", skin::kSideTab);
    s.text("Gaming Mouse", {64, 44, 256, 64}, Qt::AlignLeft | Qt::AlignVCenter, 13, kText, true);
    s.text("Connected  ·  Profile PROFILE_0", {64, 66, 256, 86}, Qt::AlignLeft | Qt::AlignVCenter,
           11, QColor(0x8e, 0x95, 0xa3));
    // The program's own scroll thumb (a resource, not a skin file).
    s.painter().fillRect(QRect(984, 32, 8, 114), palette::kAccentDeep);
}

void mouseView(Sheet& s, bool front, int lit) {
    const char* folder = front ? "/Mouse/Front/" : "/Mouse/Side/";
    const char* prefix = front ? "F" : "S";
    if (front) {
        s.put("/Mouse/Front/MouseFront.png", skin::kFrontPicture.x, skin::kFrontPicture.y);
    } else {
        s.put("/Mouse/Side/MouseSide.png", skin::kSidePicture.x, skin::kSidePicture.y);
    }
    for (int b = 1; b <= 8; ++b) {
        const skin::Point at = front ? skin::kFrontButtonAt[b - 1] : skin::kSideButtonAt[b - 1];
        s.put(
            QString("%1%2-%3-%4.png").arg(folder, prefix).arg(b).arg(b == lit ? "over" : "normal"),
            at.x, at.y);
    }
}

void leftPanel(Sheet& s) {
    header(s, 20, 107, "Button Assignment");
    s.put("/ButtonAssignment/BK_ButtonAssignment.png", 20, 127);
    static const char* labels[] = {
        "Click",    "Menu",       "Mouse M Button", "Mouse Scroll Up", "Mouse Scroll Down",
        "DPI loop", "IE Forward", "IE Backward"};
    for (int n = 0; n < 8; ++n) {
        const char* box = n == 2 ? "over" : n == 5 ? "leave" : "normal";
        s.put(QString("/ButtonAssignment/DropdownBox-%1.png").arg(box), 120, 154 + 20 * n);
        s.text(QString("Button %1").arg(n + 1), {31, 156 + 20 * n, 115, 170 + 20 * n});
        s.text(labels[n], {120, 154 + 20 * n, 238, 170 + 20 * n}, Qt::AlignCenter, 11);
    }
    const int bar = 132 + skin::kAssignmentBody.height;
    s.put("/MacroManagementBK.png", 20, bar);
    s.text("Macro Manager", {30, bar, 200, bar + 38}, Qt::AlignLeft | Qt::AlignVCenter, 13, kText,
           true);
    const int xy = bar + 38 + 5;
    header(s, 20, xy, "X/Y Sensitivity Setting");
    const int body = xy + 20;
    s.put("/XYSensitivity/BK_XYSensSetting.png", 20, body);
    const int values[] = {5, 8};
    for (int i = 0; i < 2; ++i) {
        s.text(i == 0 ? "X axis" : "Y axis", shift(skin::kXYCaption[i], 20, body),
               Qt::AlignLeft | Qt::AlignVCenter, 11);
        const skin::Rect hit = shift(skin::kXYSliderHit[i], 20, body);
        s.put(QString("/StageSlider/%1.png").arg(values[i]), hit.left - 4, hit.top - 4);
        const skin::Rect labels = shift(skin::kXYStopLabels[i], 20, body);
        for (int v = 1; v <= 10; ++v) {
            const int x = hit.left + skin::stepSliderStop(v);
            s.text(QString::number(v), {x - 8, labels.top, x + 9, labels.bottom}, Qt::AlignCenter,
                   9, QColor(0x8e, 0x95, 0xa3));
        }
    }
}

void rightPanelTop(Sheet& s) {
    int y = skin::kRightHeaderTop;
    const int x = skin::kRightHeaderLeft;
    header(s, x, y, "DPI Setting");
    s.put("/DPISetting/BK_DPISetting.png", x, y + 20);
    s.text("DPI Dial Down", {765, 65, 850, 84}, Qt::AlignLeft | Qt::AlignVCenter, 11);
    s.text("DPI Dial Up", {875, 65, 960, 84}, Qt::AlignLeft | Qt::AlignVCenter, 11);
    const int stages[] = {16, 32, 64, 100};
    const QColor colours[] = {QColor(255, 60, 60), QColor(60, 220, 90), QColor(40, 140, 255),
                              QColor(255, 200, 40)};
    for (int i = 0; i < 4; ++i) {
        s.put(QString("/DPISetting/DPIStage/%1.png").arg(stages[i]), skin::kDpiSliderLeft[i] - 5,
              skin::kDpiFrameTop);
        s.put("/DPISetting/BK-DPIValue.png", skin::kDpiEditLeft[i] - 2, 218);
        s.painter().fillRect(QRect(skin::kDpiEditLeft[i], 220, 40, 16), QColor(148, 148, 148));
        s.text(QString::number(stages[i] * 50),
               {skin::kDpiEditLeft[i], 220, skin::kDpiEditLeft[i] + 40, 236}, Qt::AlignCenter, 11,
               QColor(20, 20, 20));
        s.painter().fillRect(QRect(skin::kDpiSliderLeft[i], 255, 10, 10), colours[i]);
    }
    y += 20 + skin::kDpiBody.height + 5;
    header(s, x, y, "Lighting");
    const int body = y + 20;
    s.put("/Lighting/BK_Lighting.png", x, body);
    static const char* rows[] = {"Standard", "Respiration", "Neon"};
    for (int r = 0; r < 3; ++r) {
        const skin::Rect radio = shift(skin::lightingRadio(r), x, body);
        s.put(r == 1 ? "/Enable.png" : "/Disable.png", radio.left, radio.top);
        s.text(rows[r], shift(skin::lightingName(r), x, body), Qt::AlignLeft | Qt::AlignVCenter,
               11);
        const skin::Rect hit = shift(skin::lightingSliderHit(r), x, body);
        s.put(QString("/Lighting/%1.png").arg(2 + r), hit.left - 4, hit.top - 4);
        static const char* marks[3][5] = {{"0%", "25%", "50%", "75%", "100%"},
                                          {"4S", "5S", "6S", "7S", "8S"},
                                          {"3S", "6S", "9S", "12S", "15S"}};
        const skin::Rect lab = shift(skin::lightingLabels(r), x, body);
        for (int v = 1; v <= 5; ++v) {
            const int cx = hit.left + skin::lightingSliderStop(v);
            s.text(marks[r][v - 1], {cx - 14, lab.top, cx + 15, lab.bottom}, Qt::AlignCenter, 8,
                   QColor(0x8e, 0x95, 0xa3));
        }
    }
    y = body + skin::kLightingBody.height + 5;
    header(s, x, y, "USB Report Rate");
    s.put("/USBReportRate/BK_USBReportRate.png", x, y + 20);
    s.put("/USBReportRate/1000HZ.png", x + skin::kDialAt.x, y + 20 + skin::kDialAt.y);
    s.text("1000\nHz",
           {x + skin::kDialAt.x + 34, y + 20 + skin::kDialAt.y + 34, x + skin::kDialAt.x + 94,
            y + 20 + skin::kDialAt.y + 94},
           Qt::AlignCenter, 13, kText, true);
}

void rightPanelBottom(Sheet& s) {
    s.put("/BK_MainRight.png", skin::kRightPanel.left, skin::kRightPanel.top);
    int y = skin::kRightHeaderTop;
    const int x = skin::kRightHeaderLeft;
    const int speeds[] = {9, 4};
    const char* names[] = {"Mouse Speed", "Double Click Speed"};
    for (int i = 0; i < 2; ++i) {
        header(s, x, y, names[i]);
        const int body = y + 20;
        s.put("/MouseAttribute/BK_MouseAttribute.png", x, body);
        s.put(QString("/MouseAttribute/Speed/%1.png").arg(speeds[i]), x + skin::kGaugeAt.x,
              body + skin::kGaugeAt.y);
        s.text("Slow", shift(skin::kGaugeSlowLabel, x, body), Qt::AlignCenter, 10);
        s.text("Fast", shift(skin::kGaugeFastLabel, x, body), Qt::AlignCenter, 10);
        y = body + skin::kSpeedBody.height + 5;
    }
    header(s, x, y, "Scroll Speed");
    int body = y + 20;
    s.put("/MouseAttribute/BK_ScrollSpeed.png", x, body);
    s.put("/MouseAttribute/ScrollSpeed/Enable.png", x + skin::kScrollRadio[0].left,
          body + skin::kScrollRadio[0].top);
    s.put("/MouseAttribute/ScrollSpeed/Disable.png", x + skin::kScrollRadio[1].left,
          body + skin::kScrollRadio[1].top);
    s.text("Rows per notch", shift(skin::kScrollText[0], x, body), Qt::AlignLeft | Qt::AlignVCenter,
           11);
    s.text("One screen per notch", shift(skin::kScrollText[1], x, body),
           Qt::AlignLeft | Qt::AlignVCenter, 11);
    s.put("/MouseAttribute/ScrollSpeed/ScrollLines.png", x + skin::kScrollLinesAt.x,
          body + skin::kScrollLinesAt.y);
    const skin::Rect edit = shift(skin::kScrollEdit, x, body);
    s.painter().fillRect(QRect(edit.left, edit.top, edit.width(), edit.height()),
                         QColor(148, 148, 148));
    s.text("3", edit, Qt::AlignCenter, 11, QColor(20, 20, 20));
    y = body + skin::kScrollBody.height + 5;
    header(s, x, y, "Angle Snap");
    body = y + 20;
    s.put("/AngleSnap/BK_AngleSnap.png", x, body);
    s.put("/AngleSnap/4.png", x + skin::kAnglePreviewAt.x, body + skin::kAnglePreviewAt.y);
    const skin::Rect hit = shift(skin::kAngleSliderHit, x, body);
    s.put("/StageSlider/4.png", hit.left - 4, hit.top - 4);
    for (int v = 1; v <= 10; ++v) {
        const int cx = hit.left + skin::stepSliderStop(v);
        s.text(QString::number(v),
               {cx - 8, body + skin::kAngleStopLabels.top, cx + 9,
                body + skin::kAngleStopLabels.bottom},
               Qt::AlignCenter, 9, QColor(0x8e, 0x95, 0xa3));
    }
}

void dialogs(Sheet& s) {
    s.setOrigin({10, 10});
    s.put("/single-key.png", 0, 0);
    s.text("Single Key", {12, 0, 300, 30}, Qt::AlignLeft | Qt::AlignVCenter, 13, kText, true);
    s.put("/button-close-normal.png", 352, 6);
    s.text("Please enter a key", {34, 103, 180, 123}, Qt::AlignCenter, 11, Qt::white);
    s.painter().fillRect(QRect(74, 129, 76, 14).translated(10, 10), Qt::white);
    s.text("Right Ctrl", {74, 129, 150, 143}, Qt::AlignCenter, 11, Qt::black);
    s.put("/MacroManagement/button-new-over.png", 250, 250);
    s.put("/MacroManagement/button-new-normal.png", 314, 250);
    s.text("Ok", {250, 250, 308, 275});
    s.text("Cancel", {314, 250, 372, 275});

    s.setOrigin({400, 10});
    s.put("/combo-key.png", 0, 0);
    s.text("Combo Key", {12, 0, 300, 30}, Qt::AlignLeft | Qt::AlignVCenter, 13, kText, true);
    s.put("/button-close-over.png", 352, 6);
    s.text("Left Shift", {50, 70, 116, 84}, Qt::AlignCenter, 11, Qt::white);
    s.text("A", {50, 120, 131, 134}, Qt::AlignCenter, 11, Qt::white);
    s.put("/MacroManagement/button-new-normal.png", 250, 250);
    s.put("/MacroManagement/button-new-normal.png", 314, 250);
    s.text("OK", {250, 250, 308, 275});
    s.text("Cancel", {314, 250, 372, 275});

    s.setOrigin({790, 10});
    s.put("/macro-key.png", 0, 0);
    s.text("Macro Key", {12, 0, 300, 30}, Qt::AlignLeft | Qt::AlignVCenter, 13, kText, true);
    s.put("/button-close-normal.png", 352, 6);
    s.text("Please select a macro", {12, 112, 181, 128}, Qt::AlignCenter, 11, Qt::white);
    s.text("Macro_0", {42, 128, 136, 144}, Qt::AlignCenter, 11, Qt::white);
    static const char* modes[] = {"Repeat a specified number of times or press any key to end",
                                  "Repeat until press any key to end",
                                  "Repeat until the key is released"};
    for (int i = 0; i < 3; ++i) {
        s.put(i == 0 ? "/PaneMakingTick.png" : "/Pane.png", 220, 78 + 50 * i);
        s.text(modes[i], {237, 70 + 50 * i, 390, 102 + 50 * i},
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, 10, Qt::white);
    }
    s.put("/MacroManagement/button-new-normal.png", 250, 250);
    s.put("/MacroManagement/button-new-normal.png", 314, 250);
    s.text("OK", {250, 250, 308, 275});
    s.text("Cancel", {314, 250, 372, 275});

    s.setOrigin({10, 320});
    s.put("/MacroManagement/MacroManagement.png", 0, 0);
    s.text("Macro Manager", {15, 0, 414, 31}, Qt::AlignLeft | Qt::AlignVCenter, 14, kText, true);
    s.put("/macro-button-close-over.png", 427, 17);
    s.put("/MacroManagement/Record-normal.png", 295, 87);
    s.text("Start Recording", {295, 87, 384, 111}, Qt::AlignCenter, 10);
    s.put("/MacroManagement/PaneMakingTick.png", 370, 144);
    s.text("Record delays between key commands", {290, 136, 370, 166},
           Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, 9);
    s.put("/MacroManagement/Pane.png", 296, 314);
    s.text("Loop Times", {315, 314, 390, 328}, Qt::AlignLeft | Qt::AlignVCenter, 10);
    s.painter().fillRect(QRect(298, 333, 81, 12).translated(10, 320), QColor(34, 24, 21));
    s.text("1", {298, 333, 379, 345}, Qt::AlignCenter, 10);
    s.painter().fillRect(QRect(21, 82, 109, 271).translated(10, 320), QColor(109, 109, 109));
    s.painter().fillRect(QRect(153, 82, 109, 271).translated(10, 320), QColor(109, 109, 109));
    s.text("Macro_0\nMacro_1", {24, 84, 130, 120}, Qt::AlignLeft | Qt::AlignTop, 11);
    s.text("A   Dn\n120 ms\nA   Up", {156, 84, 262, 140}, Qt::AlignLeft | Qt::AlignTop, 11);
    s.text("Select Macro", {16, 60, 134, 78}, Qt::AlignCenter, 10);
    s.text("Key Press Sequence", {148, 60, 266, 78}, Qt::AlignCenter, 10);
    s.text("Record Option", {279, 60, 397, 78}, Qt::AlignCenter, 10);
    s.put("/MacroManagement/button-new-normal.png", 17, 367);
    s.put("/MacroManagement/button-new-over.png", 77, 367);
    s.text("New", {17, 367, 75, 392});
    s.text("Delete", {77, 367, 135, 392});
    s.put("/MacroManagement/button-cancel-normal.png", 298, 394);
    s.put("/MacroManagement/button-cancel-normal.png", 354, 394);
    s.text("OK", {298, 394, 352, 422});
    s.text("Cancel", {354, 394, 408, 422});

    s.setOrigin({520, 320});
    // The profile manager is a layered window at alpha 178 over the desktop.
    QImage config(263, 598, QImage::Format_ARGB32_Premultiplied);
    config.fill(Qt::transparent);
    {
        QPainter cp(&config);
        for (const SkinImage& row : buildSkinTable()) {
            if (row.path == "/Config/Config.png")
                cp.drawImage(0, 0, renderImage(row));
            if (row.path == "/Config/New-Config.png")
                cp.drawImage(0, 575, renderImage(row));
            if (row.path == "/button-close-normal.png")
                cp.drawImage(240, 8, renderImage(row));
        }
    }
    s.painter().setOpacity(178 / 255.0);
    s.painter().drawImage(QPoint(520, 320), config);
    s.painter().setOpacity(1);
    s.text("Configuration", {30, 0, 230, 31}, Qt::AlignLeft | Qt::AlignVCenter, 13, kText, true);
    s.text("PROFILE_0\nPROFILE_1", {8, 36, 250, 80}, Qt::AlignLeft | Qt::AlignTop, 12);
    s.text("New", {0, 575, 263, 598});

    s.setOrigin({800, 320});
    s.put("/Help/HelpWindow.png", 0, 0);
    s.text("Update Firmware", {0, 26, 166, 49}, Qt::AlignCenter, 12, Qt::black);
    s.text(QString::fromUtf8("Version：1.0"), {0, 50, 166, 77}, Qt::AlignCenter, 12, Qt::black);
    s.put("/Insert-Macro-normal.png", 0, 100);
    s.put("/Insert-Macro-over.png", 0, 130);
    s.put("/Load-normal.png", 100, 100);
    s.put("/Load-over.png", 100, 130);
    s.put("/Mouse/Back/B-4-normal.png", 0, 170);
    s.put("/Mouse/Back/B-4-over.png", 50, 170);
    s.put("/Mouse/Back/B-5-over.png", 100, 170);
    for (int i = 1; i <= 3; ++i) {
        s.put(QString("/MouseSlider%1-normal.png").arg(i), 0, 220 + 24 * i);
        s.put(QString("/MouseSlider%1-over.png").arg(i), 0, 320 + 24 * i);
    }
    int dialX = 0;
    for (const int hz : {500, 250, 125}) {
        s.put(QString("/USBReportRate/%1HZ.png").arg(hz), dialX, 450);
        dialX += 130;
    }
}

} // namespace

bool writePreview(const QString& base) {
    const QSize window(skin::kMainWindow.width, skin::kMainWindow.height);
    bool ok = true;
    {
        Sheet s(window);
        frame(s, true);
        mouseView(s, true, 3);
        leftPanel(s);
        rightPanelTop(s);
        ok = s.save(base + "-main.png") && ok;
    }
    {
        Sheet s(window);
        frame(s, false);
        mouseView(s, false, 4);
        leftPanel(s);
        rightPanelBottom(s);
        ok = s.save(base + "-alt.png") && ok;
    }
    {
        Sheet s(QSize(1200, 940));
        dialogs(s);
        ok = s.save(base + "-dialogs.png") && ok;
    }
    return ok;
}

} // namespace qvr::skingen
