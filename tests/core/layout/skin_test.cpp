// Checks the generated Carbon skin: every file the windows load exists, has
// the size its rectangles need, and its pictures agree with the click
// arithmetic of the controls they show.

#include "core/layout/skin_layout.h"

#include <QFileInfo>
#include <QImage>
#include <QString>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

namespace skin = qvr::skin;

const QString kSkin = QStringLiteral(QVR_FACTORY_DIR "/Skins/Carbon");

QImage load(const QString& relative) {
    QImage image(kSkin + relative);
    return image.isNull() ? image : image.convertToFormat(QImage::Format_ARGB32);
}

QSize sizeOf(const skin::Rect& r) {
    return QSize(r.width(), r.height());
}

bool isAccent(QRgb c) {
    return qAlpha(c) > 200 && qBlue(c) > 150 && qRed(c) < 110;
}

int accentCount(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += isAccent(image.pixel(x, y));
        }
    }
    return n;
}

// Mean brightness with each pixel weighted by its coverage.
double coveredBrightness(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            sum += (qRed(c) + qGreen(c) + qBlue(c)) * qAlpha(c) / (3.0 * 255);
        }
    }
    return sum / (image.width() * image.height());
}

// The alpha-weighted centre of one row (horizontal) or column (vertical).
double alphaCentroid(const QImage& image, int line, bool alongRow) {
    double weight = 0, moment = 0;
    const int n = alongRow ? image.width() : image.height();
    for (int i = 0; i < n; ++i) {
        const int a = qAlpha(alongRow ? image.pixel(i, line) : image.pixel(line, i));
        weight += a;
        moment += a * (i + 0.5);
    }
    return weight > 0 ? moment / weight : -1;
}

std::vector<QString> series(const char* pattern, int first, int last) {
    std::vector<QString> names;
    for (int n = first; n <= last; ++n) {
        names.push_back(QString::asprintf(pattern, n));
    }
    return names;
}

const std::vector<QString>& namedFiles() {
    static const std::vector<QString> names = [] {
        std::vector<QString> v = {"/main.png",
                                  "/Bar1.png",
                                  "/BK_MainLeft.png",
                                  "/BK_MainMid.png",
                                  "/BK_MainRight.png",
                                  "/ItemBK.png",
                                  "/MacroManagementBK.png",
                                  "/Enable.png",
                                  "/Disable.png",
                                  "/Pane.png",
                                  "/PaneMakingTick.png",
                                  "/combo-key.png",
                                  "/single-key.png",
                                  "/macro-key.png",
                                  "/Insert-Macro-normal.png",
                                  "/Insert-Macro-over.png",
                                  "/Load-normal.png",
                                  "/Load-over.png",
                                  "/button-mouse-normal.png",
                                  "/button-mouse-leave.png",
                                  "/AngleSnap/BK_AngleSnap.png",
                                  "/ButtonAssignment/BK_ButtonAssignment.png",
                                  "/ButtonAssignment/DropdownBox-normal.png",
                                  "/ButtonAssignment/DropdownBox-over.png",
                                  "/ButtonAssignment/DropdownBox-leave.png",
                                  "/Config/Config.png",
                                  "/Config/New-Config.png",
                                  "/DPISetting/BK_DPISetting.png",
                                  "/DPISetting/BK-DPIValue.png",
                                  "/Help/HelpWindow.png",
                                  "/Lighting/BK_Lighting.png",
                                  "/MacroManagement/MacroManagement.png",
                                  "/MacroManagement/Pane.png",
                                  "/MacroManagement/PaneMakingTick.png",
                                  "/MacroManagement/Record-normal.png",
                                  "/MacroManagement/button-cancel-normal.png",
                                  "/MacroManagement/button-cancel-over.png",
                                  "/MacroManagement/button-new-normal.png",
                                  "/MacroManagement/button-new-over.png",
                                  "/Mouse/Front/MouseFront.png",
                                  "/Mouse/Side/MouseSide.png",
                                  "/MouseAttribute/BK_MouseAttribute.png",
                                  "/MouseAttribute/BK_ScrollSpeed.png",
                                  "/MouseAttribute/ScrollSpeed/Enable.png",
                                  "/MouseAttribute/ScrollSpeed/Disable.png",
                                  "/MouseAttribute/ScrollSpeed/ScrollLines.png",
                                  "/USBReportRate/BK_USBReportRate.png",
                                  "/XYSensitivity/BK_XYSensSetting.png"};
        for (const char* button : {"cancel", "close", "config", "help", "min", "save"}) {
            v.push_back(QString("/button-%1-normal.png").arg(button));
            v.push_back(QString("/button-%1-over.png").arg(button));
        }
        v.push_back("/macro-button-close-normal.png");
        v.push_back("/macro-button-close-over.png");
        for (int n = 1; n <= 8; ++n) {
            for (const char* state : {"normal", "over"}) {
                v.push_back(QString::asprintf("/MouseSlider%d-%s.png", n, state));
                v.push_back(QString::asprintf("/Mouse/Front/F-%d-%s.png", n, state));
                v.push_back(QString::asprintf("/Mouse/Side/S-%d-%s.png", n, state));
            }
        }
        for (int n : {4, 5}) {
            v.push_back(QString::asprintf("/Mouse/Back/B-%d-normal.png", n));
            v.push_back(QString::asprintf("/Mouse/Back/B-%d-over.png", n));
        }
        return v;
    }();
    return names;
}

struct Series {
    const char* pattern;
    int first;
    int last;
};

const Series kSeries[] = {
    {"/DPISetting/DPIStage/%d.png", 1, 100},
    {"/StageSlider/%d.png", 1, 11},
    {"/Lighting/%d.png", 1, 6},
    {"/MouseAttribute/Speed/%d.png", 2, 12},
    {"/AngleSnap/%d.png", 1, 11},
};

TEST(SkinFiles, EveryNamedImageAndEveryFrameOfEachSeriesExists) {
    for (const QString& name : namedFiles()) {
        EXPECT_FALSE(load(name).isNull()) << qPrintable(name);
    }
    for (const Series& s : kSeries) {
        for (const QString& name : series(s.pattern, s.first, s.last)) {
            EXPECT_FALSE(load(name).isNull()) << qPrintable(name);
        }
    }
    for (int hz : {1000, 500, 250, 125}) {
        EXPECT_FALSE(load(QString::asprintf("/USBReportRate/%dHZ.png", hz)).isNull()) << hz;
    }
}

TEST(SkinSizes, MainWindowHoldsEveryFixedElementOfItsFace) {
    const QImage main = load("/main.png");
    ASSERT_FALSE(main.isNull());
    EXPECT_EQ(main.size(), QSize(skin::kMainWindow.width, skin::kMainWindow.height));
    for (const skin::Rect& r : {skin::kCloseButton, skin::kSaveButton, skin::kScrollTrack,
                                skin::kSideTab, skin::kConfigButton}) {
        EXPECT_LE(r.right, main.width());
        EXPECT_LE(r.bottom, main.height());
    }
    // The right panel's headers and the scroll track must both fit.
    EXPECT_LE(skin::kRightPanel.right, skin::kScrollTrack.left);
    EXPECT_LE(skin::kRightHeaderLeft + skin::kPanelWidth, skin::kRightPanel.right);
}

TEST(SkinSizes, ButtonImagesMatchTheirHitRectangles) {
    const struct {
        const char* stem;
        skin::Rect rect;
    } buttons[] = {
        {"/button-help-", skin::kHelpButton},
        {"/button-min-", skin::kMinimiseButton},
        {"/button-close-", skin::kCloseButton},
        {"/button-cancel-", {798, 604, 855, 634}},
        {"/button-save-", {923, 604, 980, 634}},
        {"/button-config-", {18, 604, 90, 634}},
        {"/macro-button-close-", {427, 17, 478, 41}},
        {"/MacroManagement/button-new-", {17, 367, 75, 392}},
        {"/MacroManagement/button-cancel-", {298, 394, 352, 422}},
        {"/ButtonAssignment/DropdownBox-", {120, 154, 250, 170}},
    };
    for (const auto& b : buttons) {
        for (const char* state : {"normal.png", "over.png"}) {
            const QString name = QString(b.stem) + state;
            EXPECT_EQ(load(name).size(), sizeOf(b.rect)) << qPrintable(name);
        }
    }
    EXPECT_EQ(load("/ButtonAssignment/DropdownBox-leave.png").size(), QSize(130, 16));
    EXPECT_EQ(load("/button-mouse-normal.png").size(), QSize(62, 29));
    EXPECT_EQ(load("/button-mouse-leave.png").size(), QSize(62, 29));
    EXPECT_EQ(load("/MacroManagement/Record-normal.png").size(), QSize(89, 24));
    EXPECT_EQ(load("/Pane.png").size(), QSize(16, 16));
    EXPECT_EQ(load("/PaneMakingTick.png").size(), QSize(16, 16));
    EXPECT_EQ(load("/MacroManagement/Pane.png").size(), QSize(14, 14));
    EXPECT_EQ(load("/MacroManagement/PaneMakingTick.png").size(), QSize(14, 14));
    EXPECT_EQ(load("/ItemBK.png").size(), QSize(242, 20));
    EXPECT_EQ(load("/MacroManagementBK.png").size(), QSize(242, 38));
    EXPECT_EQ(load("/Config/New-Config.png").size(), QSize(263, 23));
}

TEST(SkinSizes, IndicatorsHaveTheSizesTheirArithmeticUses) {
    for (int hz : {1000, 500, 250, 125}) {
        EXPECT_EQ(load(QString::asprintf("/USBReportRate/%dHZ.png", hz)).size(), QSize(128, 128));
    }
    for (const QString& name : series("/MouseAttribute/Speed/%d.png", 2, 12)) {
        EXPECT_EQ(load(name).size(), QSize(142, 83)) << qPrintable(name);
    }
    for (const QString& name : series("/DPISetting/DPIStage/%d.png", 1, 100)) {
        const QImage frame = load(name);
        // The frame covers the whole slider column, 90..203.
        EXPECT_LE(skin::kDpiFrameTop, 90);
        EXPECT_GE(skin::kDpiFrameTop + frame.height(), 203) << qPrintable(name);
        EXPECT_GE(frame.width(), 10);
    }
}

TEST(SkinSizes, DialogBackgroundsEncloseAllTheirRectangles) {
    const struct {
        const char* name;
        int right;
        int bottom;
    } dialogs[] = {
        {"/single-key.png", 372, 275},    {"/combo-key.png", 372, 275},
        {"/macro-key.png", 390, 286},     {"/MacroManagement/MacroManagement.png", 478, 422},
        {"/Config/Config.png", 263, 598}, {"/Help/HelpWindow.png", 166, 148},
    };
    for (const auto& d : dialogs) {
        const QImage image = load(d.name);
        EXPECT_GE(image.width(), d.right) << d.name;
        EXPECT_GE(image.height(), d.bottom) << d.name;
    }
    // Section bodies sit in the 242-pixel panels.
    for (const char* body :
         {"/ButtonAssignment/BK_ButtonAssignment.png", "/XYSensitivity/BK_XYSensSetting.png",
          "/DPISetting/BK_DPISetting.png", "/Lighting/BK_Lighting.png",
          "/USBReportRate/BK_USBReportRate.png", "/MouseAttribute/BK_MouseAttribute.png",
          "/MouseAttribute/BK_ScrollSpeed.png", "/AngleSnap/BK_AngleSnap.png"}) {
        EXPECT_EQ(load(body).width(), skin::kPanelWidth) << body;
    }
    // The DPI body reaches below the colour swatches (y 255..265).
    EXPECT_GE(skin::kRightHeaderTop + skin::kHeaderHeight +
                  load("/DPISetting/BK_DPISetting.png").height(),
              265);
    // The assignment body holds all eight boxes (the last ends at y 310).
    EXPECT_GE(127 + load("/ButtonAssignment/BK_ButtonAssignment.png").height(), 310);
}

TEST(SkinPanels, PanelBackgroundsAreCropsOfTheMainBackground) {
    const QImage main = load("/main.png");
    const struct {
        const char* name;
        skin::Rect rect;
    } panels[] = {{"/BK_MainLeft.png", skin::kLeftPanel},
                  {"/BK_MainMid.png", skin::kMidPanel},
                  {"/BK_MainRight.png", skin::kRightPanel}};
    for (const auto& p : panels) {
        const QImage crop = load(p.name);
        EXPECT_EQ(crop, main.copy(p.rect.left, p.rect.top, p.rect.width(), p.rect.height()))
            << p.name;
    }
}

TEST(SkinFrames, EveryFrameOfASeriesDiffersFromEveryOther) {
    for (const Series& s : kSeries) {
        std::vector<QImage> frames;
        for (const QString& name : series(s.pattern, s.first, s.last)) {
            frames.push_back(load(name));
        }
        for (std::size_t i = 0; i < frames.size(); ++i) {
            for (std::size_t j = i + 1; j < frames.size(); ++j) {
                EXPECT_NE(frames[i], frames[j])
                    << s.pattern << " " << s.first + i << " " << s.first + j;
            }
        }
    }
    std::vector<QImage> dial;
    for (int hz : {1000, 500, 250, 125}) {
        dial.push_back(load(QString::asprintf("/USBReportRate/%dHZ.png", hz)));
    }
    for (std::size_t i = 0; i < dial.size(); ++i) {
        for (std::size_t j = i + 1; j < dial.size(); ++j) {
            EXPECT_NE(dial[i], dial[j]);
        }
    }
}

TEST(SkinAlpha, ShapedImagesAreTransparentAroundTheirShapeAndTheBackgroundIsOpaque) {
    std::vector<QString> shaped = {"/button-close-normal.png",
                                   "/button-save-normal.png",
                                   "/button-mouse-leave.png",
                                   "/Enable.png",
                                   "/Pane.png",
                                   "/ButtonAssignment/DropdownBox-normal.png",
                                   "/Help/HelpWindow.png",
                                   "/Mouse/Front/MouseFront.png",
                                   "/Mouse/Side/MouseSide.png",
                                   "/USBReportRate/1000HZ.png",
                                   "/MouseAttribute/Speed/7.png",
                                   "/StageSlider/5.png",
                                   "/Lighting/3.png",
                                   "/DPISetting/DPIStage/50.png",
                                   "/AngleSnap/6.png",
                                   "/Mouse/Back/B-4-over.png"};
    for (int n = 1; n <= 8; ++n) {
        shaped.push_back(QString::asprintf("/Mouse/Front/F-%d-over.png", n));
        shaped.push_back(QString::asprintf("/Mouse/Side/S-%d-normal.png", n));
    }
    for (const QString& name : shaped) {
        const QImage image = load(name);
        ASSERT_FALSE(image.isNull()) << qPrintable(name);
        EXPECT_TRUE(image.hasAlphaChannel()) << qPrintable(name);
        int clear = 0, solid = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const int a = qAlpha(image.pixel(x, y));
                clear += a == 0;
                solid += a > 200;
            }
        }
        EXPECT_GT(clear, 0) << qPrintable(name);
        EXPECT_GT(solid, 0) << qPrintable(name);
    }
    for (const char* opaque : {"/main.png", "/single-key.png",
                               "/MacroManagement/MacroManagement.png", "/Config/Config.png"}) {
        const QImage image = load(opaque);
        bool allSolid = true;
        for (int y = 0; y < image.height() && allSolid; ++y) {
            for (int x = 0; x < image.width() && allSolid; ++x) {
                allSolid = qAlpha(image.pixel(x, y)) == 255;
            }
        }
        EXPECT_TRUE(allSolid) << opaque;
    }
}

TEST(SkinStates, OverImagesAreBrighterOrAccentedVersionsOfNormal) {
    std::vector<QString> stems = {"/button-cancel-",
                                  "/button-close-",
                                  "/button-config-",
                                  "/button-help-",
                                  "/button-min-",
                                  "/button-save-",
                                  "/macro-button-close-",
                                  "/Insert-Macro-",
                                  "/Load-",
                                  "/MacroManagement/button-cancel-",
                                  "/MacroManagement/button-new-",
                                  "/ButtonAssignment/DropdownBox-"};
    for (int n = 1; n <= 8; ++n) {
        stems.push_back(QString::asprintf("/MouseSlider%d-", n));
        stems.push_back(QString::asprintf("/Mouse/Front/F-%d-", n));
        stems.push_back(QString::asprintf("/Mouse/Side/S-%d-", n));
    }
    stems.push_back("/Mouse/Back/B-4-");
    stems.push_back("/Mouse/Back/B-5-");
    for (const QString& stem : stems) {
        const QImage normal = load(stem + "normal.png");
        const QImage over = load(stem + "over.png");
        ASSERT_EQ(normal.size(), over.size()) << qPrintable(stem);
        EXPECT_NE(normal, over) << qPrintable(stem);
        const bool brighter = coveredBrightness(over) > coveredBrightness(normal);
        const bool accented = accentCount(over) > accentCount(normal);
        EXPECT_TRUE(brighter || accented) << qPrintable(stem);
    }
    const QImage leave = load("/ButtonAssignment/DropdownBox-leave.png");
    EXPECT_NE(leave, load("/ButtonAssignment/DropdownBox-normal.png"));
    EXPECT_NE(leave, load("/ButtonAssignment/DropdownBox-over.png"));
    EXPECT_NE(load("/button-mouse-leave.png"), load("/button-mouse-normal.png"));
    EXPECT_NE(load("/PaneMakingTick.png"), load("/Pane.png"));
    EXPECT_NE(load("/Enable.png"), load("/Disable.png"));
    EXPECT_GT(accentCount(load("/Enable.png")), accentCount(load("/Disable.png")));
}

// The click rules of the controls, as the settings page applies them.
int stepSliderValue(int dx) {
    return dx - 9 < 0 ? 1 : (dx - 9) / 21 + 2;
}
int lightingSliderValue(int dx) {
    return dx - 4 < 0 ? 1 : (dx - 4) / 30 + 2;
}
int dpiSliderValue(int clickY) {
    const int dy = 203 - clickY - 3;
    return dy < 0 ? 1 : std::min(dy + 2, 100);
}

TEST(SkinAlignment, StepSliderFrameShowsItsThumbWhereAClickSelectsItsValue) {
    for (int n = 1; n <= 11; ++n) {
        const QImage frame = load(QString::asprintf("/StageSlider/%d.png", n));
        ASSERT_FALSE(frame.isNull());
        // Row 3 lies above the groove: only the thumb covers it.
        const double centre = alphaCentroid(frame, 3, true);
        ASSERT_GE(centre, 0) << n;
        const int clickX = static_cast<int>(std::floor(centre)) - skin::kStepFrameInset;
        EXPECT_EQ(stepSliderValue(clickX), n) << "centre " << centre;
        EXPECT_EQ(clickX, skin::stepSliderStop(n));
    }
}

TEST(SkinAlignment, LightingFrameShowsItsThumbWhereAClickSelectsItsValue) {
    for (int n = 1; n <= 6; ++n) {
        const QImage frame = load(QString::asprintf("/Lighting/%d.png", n));
        ASSERT_FALSE(frame.isNull());
        const double centre = alphaCentroid(frame, 3, true);
        ASSERT_GE(centre, 0) << n;
        const int clickX = static_cast<int>(std::floor(centre)) - skin::kLightingFrameInset;
        EXPECT_EQ(lightingSliderValue(clickX), n) << "centre " << centre;
    }
}

TEST(SkinAlignment, DpiStageFrameShowsItsThumbOnTheRowThatSelectsItsValue) {
    for (int n = 1; n <= 100; ++n) {
        const QImage frame = load(QString::asprintf("/DPISetting/DPIStage/%d.png", n));
        ASSERT_FALSE(frame.isNull());
        // Column 3 lies beside the groove: only the thumb covers it.
        const double centre = alphaCentroid(frame, 3, false);
        ASSERT_GE(centre, 0) << n;
        const int clickY = skin::kDpiFrameTop + static_cast<int>(std::floor(centre));
        EXPECT_EQ(dpiSliderValue(clickY), n) << "centre row " << clickY;
        EXPECT_EQ(clickY, skin::dpiThumbRow(n));
    }
}

TEST(SkinAlignment, SpeedGaugeLightsTheSectorsFromSlowUpToItsValue) {
    // Sector i spans 18i..18(i+1) degrees from the right end; value v owns
    // the sector whose angles give 12 - t/18 truncated = v.
    for (int v = 2; v <= 12; ++v) {
        const QImage gauge = load(QString::asprintf("/MouseAttribute/Speed/%d.png", v));
        ASSERT_FALSE(gauge.isNull());
        for (int i = 0; i < 10; ++i) {
            const double t = (18 * i + 9) * M_PI / 180;
            const int x = static_cast<int>(71 + 57 * std::cos(t));
            const int y = static_cast<int>(71 - 57 * std::sin(t));
            const int sectorValue = static_cast<int>(12 - (18 * i + 9) / 18.0);
            EXPECT_EQ(isAccent(gauge.pixel(x, y)), sectorValue <= v)
                << "value " << v << " sector " << i;
        }
        // Below the centre line the ring is empty (those clicks are ignored).
        EXPECT_EQ(qAlpha(gauge.pixel(5, 80)), 0);
        EXPECT_EQ(qAlpha(gauge.pixel(136, 80)), 0);
    }
}

TEST(SkinAlignment, ReportRateDialLightsOnlyTheQuadrantOfItsRate) {
    const struct {
        int hz;
        int sx; // quadrant signs in screen terms
        int sy;
    } quadrants[] = {{1000, 1, -1}, {125, -1, -1}, {500, 1, 1}, {250, -1, 1}};
    for (const auto& image : quadrants) {
        const QImage dial = load(QString::asprintf("/USBReportRate/%dHZ.png", image.hz));
        ASSERT_FALSE(dial.isNull());
        for (const auto& q : quadrants) {
            // A point in the ring (35..64 from the centre), off the quadrant's middle.
            const double a = 20 * M_PI / 180;
            const int x = 64 + q.sx * static_cast<int>(50 * std::cos(a));
            const int y = 64 + q.sy * static_cast<int>(50 * std::sin(a));
            EXPECT_EQ(isAccent(dial.pixel(x, y)), q.hz == image.hz)
                << image.hz << " image, quadrant of " << q.hz;
        }
        // The corners outside the 64-pixel radius are see-through.
        EXPECT_EQ(qAlpha(dial.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(dial.pixel(127, 127)), 0);
    }
}

TEST(SkinAlignment, EachButtonHighlightLiesOnTheMouseInItsView) {
    const QImage front = load("/Mouse/Front/MouseFront.png");
    const QImage side = load("/Mouse/Side/MouseSide.png");
    ASSERT_FALSE(front.isNull());
    ASSERT_FALSE(side.isNull());
    EXPECT_EQ(front.size(), QSize(skin::kFrontPictureSize.width, skin::kFrontPictureSize.height));
    EXPECT_EQ(side.size(), QSize(skin::kSidePictureSize.width, skin::kSidePictureSize.height));
    for (int view = 0; view < 2; ++view) {
        const QImage& picture = view == 0 ? front : side;
        const skin::Point origin = view == 0 ? skin::kFrontPicture : skin::kSidePicture;
        for (int b = 0; b < 8; ++b) {
            const QString name = view == 0 ? QString::asprintf("/Mouse/Front/F-%d-over.png", b + 1)
                                           : QString::asprintf("/Mouse/Side/S-%d-over.png", b + 1);
            const QImage over = load(name);
            ASSERT_FALSE(over.isNull()) << qPrintable(name);
            const skin::Point at = view == 0 ? skin::kFrontButtonAt[b] : skin::kSideButtonAt[b];
            const skin::Size size =
                view == 0 ? skin::kFrontButtonSize[b] : skin::kSideButtonSize[b];
            EXPECT_EQ(over.size(), QSize(size.width, size.height)) << qPrintable(name);
            int onMouse = 0;
            for (int y = 0; y < over.height(); ++y) {
                for (int x = 0; x < over.width(); ++x) {
                    const int px = at.x - origin.x + x, py = at.y - origin.y + y;
                    if (isAccent(over.pixel(x, y)) && picture.valid(px, py) &&
                        qAlpha(picture.pixel(px, py)) == 255) {
                        ++onMouse;
                    }
                }
            }
            EXPECT_GE(onMouse, 80) << qPrintable(name);
            EXPECT_EQ(accentCount(load(
                          view == 0 ? QString::asprintf("/Mouse/Front/F-%d-normal.png", b + 1)
                                    : QString::asprintf("/Mouse/Side/S-%d-normal.png", b + 1))),
                      0)
                << "normal image of " << qPrintable(name) << " is not highlighted";
        }
    }
}

} // namespace
