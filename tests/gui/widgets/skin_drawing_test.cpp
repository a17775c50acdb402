#include "gui/widgets/label_text.h"
#include "gui/widgets/scroll_thumb.h"
#include "gui/widgets/skin_image_cache.h"
#include "gui/widgets/skinned_window.h"
#include "gui/widgets/window_elements.h"
#include "gui/window/help_panel.h"
#include "support/qt_test_app.h"
#include "support/skin_folder.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace qvr::test {
namespace {

struct SkinRig {
    SkinRig() { qtApp(); }
    QTemporaryDir dir;
    RecordingMessageSink messages;
    SkinImageCache cache{dir.path(), messages};
};

TEST(SkinImages, PerPixelAlphaBlendsOverTheBackground) {
    SkinRig rig;
    QImage element(2, 1, QImage::Format_ARGB32);
    element.setPixel(0, 0, qRgba(255, 0, 0, 0));       // fully transparent red
    element.setPixel(1, 0, qRgba(255, 255, 255, 128)); // half-transparent white
    element.save(rig.dir.path() + "/element.png");

    QImage target(2, 1, QImage::Format_RGB32);
    target.fill(Qt::black);
    QPainter painter(&target);
    EXPECT_TRUE(rig.cache.draw(painter, "/element.png", {0, 0}));
    painter.end();

    EXPECT_EQ(target.pixelColor(0, 0), QColor(0, 0, 0));
    EXPECT_EQ(target.pixelColor(1, 0), QColor(128, 128, 128));
}

TEST(SkinImages, ImagesAreDecodedOnceAndMissingOnesReportedOnce) {
    SkinRig rig;
    writePng(pathOf(rig.dir) / "a.png", {4, 4}, Qt::blue);
    QImage target(8, 8, QImage::Format_RGB32);
    QPainter painter(&target);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(rig.cache.draw(painter, "/a.png", {0, 0}));
        EXPECT_FALSE(rig.cache.draw(painter, "/missing.png", {0, 0}));
    }
    EXPECT_EQ(rig.cache.decodedCount(), 1);
    ASSERT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.messages.messages[0].text, "LoadPng---Load image failed.");
    EXPECT_EQ(rig.messages.messages[0].caption, "QVR 2.7");
    // Asked silently (a background), a missing image says nothing.
    EXPECT_EQ(rig.cache.image("/other.png", SkinImageCache::OnMissing::Silent), nullptr);
    EXPECT_EQ(rig.messages.messages.size(), 1u);
}

TEST(SkinImages, OnlyTheSetNearestThePaintScaleIsDecoded) {
    SkinRig rig;
    writePng(pathOf(rig.dir) / "a.png", {4, 4}, Qt::blue);
    writePng(pathOf(rig.dir) / "a@2x.png", {8, 8}, Qt::red);
    writePng(pathOf(rig.dir) / "own.png", {4, 4}, Qt::green); // a user's skin: no 2x copy

    // At one device pixel per face pixel the 2x files are never opened.
    const QImage* plain = rig.cache.image("/a.png");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->pixelColor(0, 0), QColor(Qt::blue));
    rig.cache.setPaintScale(1.2);
    EXPECT_EQ(rig.cache.imageSet(), 1);
    EXPECT_EQ(rig.cache.decodedCount(), 1);

    rig.cache.setPaintScale(1.69); // 2x screen, face drawn smaller: nearest is 2x
    EXPECT_EQ(rig.cache.decodedCount(), 0);
    const QImage* sharp = rig.cache.image("/a.png");
    ASSERT_NE(sharp, nullptr);
    EXPECT_EQ(sharp->pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(sharp->devicePixelRatio(), 2.0);
    EXPECT_EQ(sharp->deviceIndependentSize(), QSizeF(4, 4));
    const QImage* own = rig.cache.image("/own.png");
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->devicePixelRatio(), 1.0);
    EXPECT_EQ(rig.cache.fileFor("/own.png"), rig.dir.path() + "/own.png");

    // Drawn at a 2x device, both land on the same 4 x 4 face square.
    QImage target(16, 16, QImage::Format_RGB32);
    target.setDevicePixelRatio(2);
    target.fill(Qt::black);
    QPainter painter(&target);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    rig.cache.draw(painter, "/a.png", {0, 0});
    rig.cache.draw(painter, "/own.png", {4, 4});
    painter.end();
    EXPECT_EQ(target.pixelColor(7, 7), QColor(Qt::red));
    EXPECT_EQ(target.pixelColor(8, 8), QColor(Qt::green));
    EXPECT_EQ(target.pixelColor(15, 15), QColor(Qt::green));
    EXPECT_EQ(target.pixelColor(8, 0), QColor(Qt::black));
    EXPECT_TRUE(rig.messages.messages.empty());
}

// Edge sharpness: the mean length of the luminance gradient (forward
// differences), over the whole picture. An enlarged picture spreads each
// edge over more pixels, so its mean falls.
double meanGradient(const QImage& picture) {
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    double sum = 0;
    for (int y = 0; y + 1 < grey.height(); ++y) {
        const uchar* line = grey.constScanLine(y);
        const uchar* next = grey.constScanLine(y + 1);
        for (int x = 0; x + 1 < grey.width(); ++x) {
            const double dx = line[x + 1] - line[x];
            const double dy = next[x] - line[x];
            sum += std::sqrt(dx * dx + dy * dy);
        }
    }
    return sum / (double(grey.width() - 1) * (grey.height() - 1));
}

class CarbonFace : public SkinnedWindow {
  public:
    CarbonFace(std::shared_ptr<SkinImageCache> skin, MessageSink& messages)
        : SkinnedWindow(std::move(skin), messages) {
        loadBackground("/main.png", {});
        for (const auto& [rect, stem] : {std::pair{edges(937, 5, 952, 20), "/button-help"},
                                         std::pair{edges(958, 5, 973, 20), "/button-min"},
                                         std::pair{edges(979, 5, 994, 20), "/button-close"},
                                         std::pair{edges(923, 604, 980, 634), "/button-save"},
                                         std::pair{edges(18, 604, 90, 634), "/button-config"}})
            elements().add({.rect = rect, .image = stem, .hover = true});
    }
    void paintFace(QPainter& painter) override {
        skin().draw(painter, "/Mouse/Front/MouseFront.png",
                    {skin::kFrontPicture.x, skin::kFrontPicture.y});
    }
};

QImage renderAt(QWidget& widget, int ratio) {
    QImage picture(widget.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::black);
    widget.render(&picture);
    return picture;
}

TEST(SkinScale, TheTwoTimesFaceIsAtLeastAsSharpAsTheOneTimesFaceEnlarged) {
    qtApp();
    RecordingMessageSink messages;
    const QString carbon = QStringLiteral(QVR_FACTORY_DIR "/Skins/Carbon");
    auto skin = std::make_shared<SkinImageCache>(carbon, messages);
    CarbonFace face(skin, messages);
    ASSERT_EQ(face.size(), QSize(1000, 640));

    const QImage once = renderAt(face, 1);
    EXPECT_EQ(skin->imageSet(), 1);
    const QImage twice = renderAt(face, 2);
    EXPECT_EQ(skin->imageSet(), 2);
    ASSERT_EQ(twice.size(), QSize(2000, 1280));
    QImage enlarged = once.scaled(twice.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    const double sharp = meanGradient(twice);
    const double soft = meanGradient(enlarged);
    EXPECT_GE(sharp, soft) << "2x " << sharp << ", 1x enlarged " << soft;
    // The same picture, not another one: the halves agree on average colour.
    const QImage small = twice.scaled(once.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_NEAR(meanGradient(small), meanGradient(once), meanGradient(once) * 0.25);
    EXPECT_TRUE(messages.messages.empty());
}

TEST(SkinScale, AFaceDrawnSmallerKeepsClicksAndChildrenOnTheirRectangles) {
    SkinRig rig;
    writePng(pathOf(rig.dir) / "bg.png", {400, 200}, Qt::darkGray);
    struct Face : SkinnedWindow {
        Face(std::shared_ptr<SkinImageCache> skin, MessageSink& messages)
            : SkinnedWindow(std::move(skin), messages) {
            loadBackground("/bg.png", {});
        }
    };
    auto skin = std::make_shared<SkinImageCache>(rig.dir.path(), rig.messages);
    Face face(skin, rig.messages);
    std::vector<QPoint> clicks;
    face.elements().add(
        {.rect = edges(300, 100, 340, 120), .onClick = [&](QPoint at) { clicks.push_back(at); }});
    QWidget edit(&face);
    QFont font = face.font();
    font.setPixelSize(14);
    face.placeChild(&edit, edges(100, 40, 200, 60), font);

    face.setFaceScale(0.5);
    EXPECT_EQ(face.size(), QSize(200, 100));
    EXPECT_EQ(edit.geometry(), QRect(50, 20, 50, 10));
    EXPECT_EQ(edit.font().pixelSize(), 7);
    QTest::mouseClick(&face, Qt::LeftButton, {}, QPoint(160, 55)); // face 320, 110
    QTest::mouseClick(&face, Qt::LeftButton, {}, QPoint(140, 55)); // face 280: outside
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], QPoint(320, 110));

    face.setFaceScale(1.0);
    EXPECT_EQ(edit.geometry(), QRect(100, 40, 100, 20));
    EXPECT_EQ(edit.font().pixelSize(), 14);
    // A screen smaller than the face: the largest factor that fits.
    EXPECT_LE(face.fittingScale(QGuiApplication::primaryScreen()), 1.0);
}

TEST(SkinImages, DecodingAtEveryDrawReadsTheFileAgainAndKeepingDoesNot) {
    SkinRig rig;
    const auto file = pathOf(rig.dir) / "a.png";
    writePng(file, {2, 2}, Qt::red);
    ASSERT_NE(rig.cache.image("/a.png"), nullptr);
    writePng(file, {2, 2}, Qt::blue);
    EXPECT_EQ(rig.cache.image("/a.png")->pixelColor(0, 0), QColor(Qt::red));

    rig.cache.setCachePolicy(SkinImageCache::CachePolicy::DecodeEveryDraw);
    EXPECT_EQ(rig.cache.image("/a.png")->pixelColor(0, 0), QColor(Qt::blue));
    writePng(file, {2, 2}, Qt::green);
    EXPECT_EQ(rig.cache.image("/a.png")->pixelColor(0, 0), QColor(Qt::green));
    EXPECT_EQ(rig.cache.decodedCount(), 1);
    // A file gone since its last decode is missing, reported once.
    std::filesystem::remove(file);
    EXPECT_EQ(rig.cache.image("/a.png"), nullptr);
    EXPECT_EQ(rig.cache.image("/a.png"), nullptr);
    EXPECT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.cache.decodedCount(), 0);
}

TEST(SkinImages, APrefetchedImageIsSizedFromItsHeaderAndDecodedOnceForItsFirstDraw) {
    SkinRig rig;
    QImage picture(300, 200, QImage::Format_ARGB32);
    picture.fill(qRgba(20, 40, 60, 255));
    picture.setPixel(0, 0, qRgba(255, 255, 255, 0));
    picture.save(rig.dir.path() + "/big.png");
    writePng(pathOf(rig.dir) / "opaque.png", {3, 2}, QColor(10, 200, 30));
    EXPECT_EQ(rig.cache.prefetch("/big.png"), QSize(300, 200));
    EXPECT_EQ(rig.cache.prefetch("/opaque.png"), QSize(3, 2));
    EXPECT_FALSE(rig.cache.prefetch("/missing.png").isValid());
    EXPECT_EQ(rig.cache.decodedCount(), 0);

    const QImage* big = rig.cache.image("/big.png");
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(big->pixelColor(1, 1), QColor(20, 40, 60));
    // Without a transparent pixel it is kept for copying, not blending.
    EXPECT_EQ(rig.cache.image("/opaque.png")->format(), QImage::Format_RGB32);
    EXPECT_EQ(rig.cache.image("/big.png"), big);
    EXPECT_EQ(rig.cache.decodedCount(), 2);
    EXPECT_TRUE(rig.messages.messages.empty());
}

class Face final : public SkinnedWindow {
  public:
    using SkinnedWindow::loadBackground;
    using SkinnedWindow::SkinnedWindow;
};

TEST(SkinnedWindowFace, BlackShowsThroughATransparentBackgroundAndAnOpaqueOneCoversAll) {
    SkinRig rig;
    QImage half(2, 1, QImage::Format_ARGB32);
    half.setPixel(0, 0, qRgba(255, 255, 255, 0));
    half.setPixel(1, 0, qRgba(10, 200, 30, 255));
    half.save(rig.dir.path() + "/half.png");
    writePng(pathOf(rig.dir) / "opaque.png", {2, 1}, QColor(10, 200, 30));
    Face face(std::make_shared<SkinImageCache>(rig.dir.path(), rig.messages), rig.messages);
    const auto shot = [&face] {
        QImage target(2, 1, QImage::Format_RGB32);
        target.fill(Qt::red); // whatever the window leaves unpainted
        face.render(&target, {}, {}, QWidget::DrawChildren);
        return target;
    };

    ASSERT_TRUE(face.loadBackground("/half.png", {}));
    QImage drawn = shot();
    EXPECT_EQ(drawn.pixelColor(0, 0), QColor(0, 0, 0));
    EXPECT_EQ(drawn.pixelColor(1, 0), QColor(10, 200, 30));
    ASSERT_TRUE(face.loadBackground("/opaque.png", {}));
    drawn = shot();
    EXPECT_EQ(drawn.pixelColor(0, 0), QColor(10, 200, 30));
    EXPECT_EQ(drawn.pixelColor(1, 0), QColor(10, 200, 30));

    // A header that reads but pixels that do not: the face stays black and
    // the failure is said once, after the paint.
    QFile broken(rig.dir.path() + "/broken.png");
    QFile whole(rig.dir.path() + "/opaque.png");
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly) && broken.open(QIODevice::WriteOnly));
    const QByteArray png = whole.readAll();
    broken.write(png.left(png.indexOf("IDAT") + 6)); // everything but most of the pixels
    broken.close();
    ASSERT_TRUE(face.loadBackground("/broken.png", {}));
    EXPECT_EQ(shot().pixelColor(1, 0), QColor(0, 0, 0));
    EXPECT_TRUE(rig.messages.messages.empty());
    QCoreApplication::processEvents();
    shot();
    QCoreApplication::processEvents();
    ASSERT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.messages.messages[0].text, "LoadPng---Load image failed.");
}

TEST(SkinnedWindowFace, TheFocusMarkRingsTheFocusedControlOnlyAfterTheKeyboardIsUsed) {
    SkinRig rig;
    writePng(pathOf(rig.dir) / "grey.png", {80, 40}, QColor(60, 60, 60));
    Face face(std::make_shared<SkinImageCache>(rig.dir.path(), rig.messages), rig.messages);
    ASSERT_TRUE(face.loadBackground("/grey.png", {}));
    int presses = 0;
    const auto control = [&](QRect rect, const char* label) {
        return face.elements().add(
            {.rect = rect, .label = label, .onClick = [&](QPoint) { ++presses; }});
    };
    // Added out of reading order, and a picture Tab passes by.
    const ElementTable::Id second = control(edges(40, 10, 60, 30), "Second");
    face.elements().add({.rect = edges(4, 4, 10, 10), .label = "Picture", .clickable = false});
    const ElementTable::Id first = control(edges(10, 10, 30, 30), "First");
    const QColor accent(0x19, 0xc3, 0xff);
    const auto ringed = [&face, &accent](QRect widgetRect) {
        QImage shot(face.size(), QImage::Format_RGB32);
        face.render(&shot, {}, {}, QWidget::DrawChildren);
        // Two pixels wide, one pixel out from each side of the control.
        const QPoint centre = widgetRect.center();
        return shot.pixelColor(widgetRect.left() - 3, centre.y()) == accent &&
               shot.pixelColor(widgetRect.left() - 2, centre.y()) == accent &&
               shot.pixelColor(widgetRect.right() + 3, centre.y()) == accent &&
               shot.pixelColor(centre.x(), widgetRect.top() - 3) == accent &&
               shot.pixelColor(widgetRect.left() - 1, centre.y()) != accent &&
               shot.pixelColor(centre.x(), centre.y()) != accent;
    };
    EXPECT_EQ(face.focusOrder(), (std::vector{first, second}));
    EXPECT_FALSE(ringed(edges(10, 10, 30, 30)));

    QTest::keyClick(&face, Qt::Key_Tab);
    EXPECT_EQ(face.focusedElement(), first);
    EXPECT_TRUE(ringed(edges(10, 10, 30, 30)));
    QTest::keyClick(&face, Qt::Key_Tab);
    EXPECT_EQ(face.focusedElement(), second);
    EXPECT_TRUE(ringed(edges(40, 10, 60, 30)));
    EXPECT_FALSE(ringed(edges(10, 10, 30, 30)));
    QTest::keyClick(&face, Qt::Key_Space);
    EXPECT_EQ(presses, 1);
    QTest::keyClick(&face, Qt::Key_Tab); // round to the first again
    EXPECT_EQ(face.focusedElement(), first);

    // A face drawn at half size rings the control where it is drawn.
    face.setFaceScale(0.5);
    EXPECT_TRUE(ringed(face.toWidget(edges(10, 10, 30, 30))));

    // The pointer hides the mark; the keyboard's place stays.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), face.mapToGlobal(QPointF(1, 1)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&face, &press);
    EXPECT_FALSE(face.focusMarkShown());
    EXPECT_FALSE(ringed(face.toWidget(edges(10, 10, 30, 30))));
    EXPECT_EQ(presses, 1);
}

TEST(ElementTable, ClicksRunInStageOrderUpToTheFirstStoppingHit) {
    ElementTable table;
    std::vector<std::string> ran;
    const auto record = [&](std::string name) {
        return [&ran, name](QPoint) { ran.push_back(name); };
    };
    const QRect everywhere = edges(0, 0, 100, 100);
    table.add({.rect = everywhere,
               .onClick = record("slider"),
               .stage = ClickStage::Sliders,
               .onHit = OnHit::Continue});
    table.add({.rect = everywhere,
               .onClick = record("header"),
               .stage = ClickStage::Sections,
               .onHit = OnHit::Continue});
    bool dropDownOpen = false;
    table.add({.rect = everywhere,
               .onClick = record("dropdown"),
               .stage = ClickStage::DropDowns,
               .active = [&] { return dropDownOpen; }});
    table.add({.rect = edges(0, 0, 10, 10), .onClick = record("save")});

    EXPECT_TRUE(table.dispatch({50, 50}));
    EXPECT_EQ(ran, (std::vector<std::string>{"header", "slider"}));

    ran.clear();
    dropDownOpen = true;
    table.dispatch({50, 50});
    EXPECT_EQ(ran, (std::vector<std::string>{"header", "dropdown"}));

    ran.clear();
    table.dispatch({5, 5});
    EXPECT_EQ(ran, std::vector<std::string>{"save"});

    EXPECT_FALSE(table.dispatch({150, 5}));
}

TEST(ElementTable, AnOwnedElementsClicksAndDragsGoToItsOwnerUntilItIsReleased) {
    struct Owner final : ElementOwner {
        void press(int id, QPoint at) override { presses.emplace_back(id, at); }
        std::vector<std::pair<int, QPoint>> presses;
    } owner, other;
    ElementTable table;
    const auto slider =
        table.add({.rect = edges(0, 0, 100, 10),
                   .owner = &owner,
                   .stage = ClickStage::Sliders,
                   .drag = true,
                   .name = [&owner] { return QString("%1").arg(owner.presses.size()); }});
    const auto picture = table.add({.rect = edges(0, 20, 10, 30), .clickable = false});
    const auto button = table.add({.rect = edges(0, 20, 10, 30), .owner = &other});
    EXPECT_TRUE(table.hasAction(slider));
    EXPECT_FALSE(table.hasAction(picture));
    EXPECT_TRUE(table.dispatch({50, 5}));
    table.dragTo(slider, {150, 50});
    EXPECT_EQ(owner.presses,
              (std::vector<std::pair<int, QPoint>>{{slider, {50, 5}}, {slider, {99, 9}}}));

    table.release(owner);
    EXPECT_FALSE(table.hasAction(slider));
    EXPECT_FALSE(table.isActive(slider));
    EXPECT_FALSE(table.isNamed(slider));
    EXPECT_FALSE(table.dispatch({50, 5}));
    table.dragTo(slider, {50, 5});
    EXPECT_EQ(owner.presses.size(), 2u);
    // The other elements keep their ids and their owners.
    EXPECT_TRUE(table.dispatch({5, 25}));
    EXPECT_EQ(other.presses, (std::vector<std::pair<int, QPoint>>{{button, {5, 25}}}));
}

TEST(ElementTable, RightAndBottomEdgesAreExclusiveAndPicturesLetClicksThrough) {
    ElementTable table;
    table.add({.rect = edges(0, 0, 20, 20), .image = "/Bar1.png", .clickable = false});
    const auto button = table.add({.rect = edges(958, 5, 973, 20), .hover = true});
    EXPECT_EQ(table.elementAt({958, 5}), button);
    EXPECT_EQ(table.elementAt({972, 19}), button);
    EXPECT_FALSE(table.elementAt({973, 10}).has_value());
    EXPECT_FALSE(table.elementAt({960, 20}).has_value());
    EXPECT_FALSE(table.dispatch({5, 5}));
    EXPECT_EQ(table.hoverElementAt({960, 10}), button);
}

TEST(ElementTable, AFollowingElementIsHitWhereItsLayoutPutsItNow) {
    ElementTable table;
    int shift = 0;
    int clicks = 0;
    const auto bar =
        table.add({.rect = edges(20, 132, 262, 170),
                   .onClick = [&](QPoint) { ++clicks; },
                   .follow = [&] { return edges(20, 132 + shift, 262, 170 + shift); }});
    EXPECT_TRUE(table.dispatch({30, 140}));
    shift = 198; // the section above it opened; nobody told the table
    EXPECT_FALSE(table.dispatch({30, 140}));
    EXPECT_TRUE(table.dispatch({30, 340}));
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(table.rectOf(bar), edges(20, 330, 262, 368));
}

TEST(ScrollThumb, DragsStayInsideTheTrack) {
    qtApp();
    QWidget parent;
    parent.resize(1000, 640);
    ScrollThumb thumb(scrollThumbImage(), edges(984, 32, 992, 146), {31, 596}, &parent);
    std::vector<int> tops;
    thumb.setMovedHandler([&](int top) { tops.push_back(top); });

    EXPECT_FALSE(thumb.dragBy(-1)); // top would be 31
    EXPECT_TRUE(thumb.dragBy(449)); // top 481, bottom 595
    EXPECT_FALSE(thumb.dragBy(1));  // bottom would reach 596
    EXPECT_EQ(thumb.y(), 481);
    // A fast drag past an end stops at that end.
    EXPECT_TRUE(thumb.dragBy(-1000));
    EXPECT_EQ(thumb.y(), 32);
    EXPECT_EQ(tops, (std::vector<int>{481, 32}));
    EXPECT_EQ(scrollThumbImage().size(), QSize(8, 114));
}

TEST(HelpPanel, SitsAtItsPlaceAndItsFirstLineStartsTheUpdater) {
    SkinRig rig;
    writeMinimalSkin(pathOf(rig.dir));
    auto skin = std::make_shared<SkinImageCache>(rig.dir.path(), rig.messages);
    QWidget main;
    main.resize(1000, 640);
    int updates = 0;
    HelpPanel panel(
        skin, rig.messages, Language::English, [&] { ++updates; }, {}, &main);
    EXPECT_EQ(panel.geometry(), QRect(786, 25, 166, 182));
    panel.clickAt({80, 60}); // the version line
    EXPECT_EQ(updates, 0);
    panel.clickAt({80, 30});
    EXPECT_EQ(updates, 1);

    // The last line opens the keys panel beside it, and closes it again.
    EXPECT_TRUE(panel.clickAt(HelpPanel::kKeysLine.center()));
    KeysPanel* keys = panel.keysPanel();
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys->parentWidget(), &main);
    EXPECT_EQ(keys->geometry(), QRect(KeysPanel::kPosition, QSize(540, 560)));
    EXPECT_LT(keys->geometry().right(), panel.geometry().left());
    EXPECT_TRUE(panel.clickAt(HelpPanel::kKeysLine.center()));
    EXPECT_EQ(panel.keysPanel(), nullptr);
    // Hiding the help panel takes the keys panel with it.
    main.show();
    panel.toggleKeysPanel();
    ASSERT_NE(panel.keysPanel(), nullptr);
    panel.hide();
    EXPECT_EQ(panel.keysPanel(), nullptr);
    EXPECT_TRUE(rig.messages.messages.empty());

    // A skin's shorter panel of old has no room for the keys line.
    QImage shorter(166, 156, QImage::Format_ARGB32);
    shorter.fill(Qt::gray);
    shorter.save(rig.dir.path() + "/Help/HelpWindow.png");
    HelpPanel old(std::make_shared<SkinImageCache>(rig.dir.path(), rig.messages), rig.messages,
                  Language::English, {}, {}, &main);
    EXPECT_FALSE(old.clickAt(HelpPanel::kKeysLine.center() - QPoint(0, 5)));
    EXPECT_EQ(old.keysPanel(), nullptr);
}

TEST(HelpPanel, TheWindowShowsThroughTheTransparentPartsOfItsPicture) {
    SkinRig rig;
    writeMinimalSkin(pathOf(rig.dir));
    QImage picture(166, 90, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    for (int y = 10; y < 90; ++y)
        for (int x = 0; x < 166; ++x)
            picture.setPixel(x, y, qRgba(30, 32, 40, 255));
    picture.save(rig.dir.path() + "/Help/HelpWindow.png");
    auto skin = std::make_shared<SkinImageCache>(rig.dir.path(), rig.messages);
    QWidget main;
    main.resize(1000, 640);
    main.setStyleSheet("background: rgb(200, 0, 0);");
    main.setAutoFillBackground(true);
    HelpPanel panel(skin, rig.messages, Language::English, {}, {}, &main);
    const QImage shot = main.grab().toImage();
    const QPoint corner = panel.geometry().topLeft() + QPoint(2, 2); // a transparent row
    EXPECT_EQ(shot.pixelColor(corner), QColor(200, 0, 0));
    EXPECT_EQ(shot.pixelColor(panel.geometry().topLeft() + QPoint(2, 40)), QColor(30, 32, 40));
}

} // namespace
} // namespace qvr::test

namespace qvr::test {
namespace {

// The ink of a label: the box around every pixel that is not background.
QRect inkOf(const std::function<void(QPainter&)>& draw) {
    QImage image(200, 60, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        painter.setPen(Qt::white);
        QFont font("DejaVu Sans");
        font.setPixelSize(14);
        painter.setFont(font);
        draw(painter);
    }
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qRed(image.pixel(x, y)) > 100)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

TEST(LabelText, KeptLayoutsLandWhereDrawTextPutsThem) {
    qtApp();
    const QRect box(20, 10, 160, 30);
    for (int flags :
         {int(Qt::AlignCenter), int(Qt::AlignLeft | Qt::AlignVCenter),
          int(Qt::AlignRight | Qt::AlignVCenter), int(Qt::AlignHCenter | Qt::AlignBottom)}) {
        for (int round = 0; round < 2; ++round) { // the second draw comes from the kept layout
            const QRect expected = inkOf([&](QPainter& painter) {
                painter.drawText(box, flags | Qt::TextSingleLine, "Mouse Speed 10");
            });
            const QRect drawn =
                inkOf([&](QPainter& painter) { drawLabel(painter, box, flags, "Mouse Speed 10"); });
            ASSERT_FALSE(drawn.isEmpty());
            EXPECT_LE(std::abs(drawn.left() - expected.left()), 1) << flags;
            EXPECT_LE(std::abs(drawn.top() - expected.top()), 1) << flags;
            EXPECT_LE(std::abs(drawn.width() - expected.width()), 1) << flags;
        }
    }
}

TEST(LabelText, WideLabelsStepDownToTheirRoomAndShortOnesKeepTheirFont) {
    qtApp();
    QFont font("DejaVu Sans");
    font.setPixelSize(14);
    const QFont fitted = fittedFont(font, "Config", 40);
    EXPECT_LT(fitted.pixelSize(), 14);
    EXPECT_LE(QFontMetrics(fitted).horizontalAdvance("Config"), 40);
    EXPECT_EQ(fittedFont(font, "OK", 40).pixelSize(), 14);
    // Never below a readable size, even when nothing would fit.
    EXPECT_EQ(fittedFont(font, "A very long label indeed", 10).pixelSize(), 9);
}

TEST(LabelText, TheSameTextInAnotherFontIsLaidOutAgain) {
    qtApp();
    const QRect box(0, 0, 200, 60);
    const QRect small =
        inkOf([&](QPainter& painter) { drawLabel(painter, box, Qt::AlignCenter, "Save"); });
    const QRect large = inkOf([&](QPainter& painter) {
        QFont font = painter.font();
        font.setPixelSize(28);
        painter.setFont(font);
        drawLabel(painter, box, Qt::AlignCenter, "Save");
    });
    EXPECT_GT(large.width(), small.width() * 3 / 2);
}

} // namespace
} // namespace qvr::test
