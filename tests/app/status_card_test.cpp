#include "app/status_card.h"
#include "ui/skin_layout.h"
#include "window_rig.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>

namespace qvr {
namespace {

using test::WindowRig;

QImage statusArea(CMavloDlg& window) {
    const skin::Rect area = skin::kStatusText;
    return window.grab(QRect(area.left, area.top, area.right - area.left, area.bottom - area.top))
        .toImage();
}

// Pixels of the accent cyan the "Connected" line is written in (antialiased
// text is darker than the colour itself, so only the hue is asked for).
int accentPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += pixel.blue() > 90 && pixel.blue() > pixel.red() + 50 &&
                     pixel.blue() > pixel.green() + 10;
        }
    return count;
}

TEST(StatusCard, SaysWhetherTheMouseIsConnectedAndFollowsUnplugging) {
    WindowRig rig(WindowRig::Mouse::Present);
    CMavloDlg& window = rig.start();
    const QImage present = statusArea(window);
    EXPECT_GT(accentPixels(present), 10);

    rig.link.setPresent(false);
    const QImage absent = statusArea(window);
    EXPECT_EQ(accentPixels(absent), 0);
    EXPECT_NE(present, absent);
}

// Pixels of the warm red "Not connected" is written in.
int absentPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += pixel.red() > 120 && pixel.red() > pixel.green() + 40 &&
                     pixel.red() > pixel.blue() + 40;
        }
    return count;
}

TEST(StatusCard, TheStartUpSearchIsNeitherConnectedNorAbsentUntilItAnswers) {
    for (const auto& [lan, searching, noAnswer, connected] :
         {std::tuple{"Lan=EN", "Looking for the mouse…", "The mouse does not answer", "Connected"},
          std::tuple{"Lan=CHS", "正在查找鼠标…", "鼠标没有响应", "已连接"},
          std::tuple{"Lan=CHT", "正在尋找滑鼠…", "滑鼠沒有回應", "已連接"}}) {
        WindowRig rig(WindowRig::Mouse::Present, std::string(lan));
        rig.waitForStartUp = false;
        rig.searchPatience = std::chrono::milliseconds(30);
        rig.checkedBackend.holdSearches();
        CMavloDlg& window = rig.start();
        const StatusCard* card = window.findChild<StatusCard*>();
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(card->connectionText(), QString::fromUtf8(searching));
        // Looking: no "Not connected" on the way to "Connected".
        const QImage looking = statusArea(window);
        EXPECT_EQ(absentPixels(looking), 0) << lan;
        EXPECT_EQ(accentPixels(looking), 0) << lan;
        for (int i = 0; i < 200 && window.startUpSearch() != StartUpSearch::NoAnswer; ++i)
            QTest::qWait(10);
        EXPECT_EQ(card->connectionText(), QString::fromUtf8(noAnswer));
        const QImage silent = statusArea(window);
        EXPECT_GT(absentPixels(silent), 10) << lan;
        EXPECT_NE(silent, looking) << lan;

        rig.checkedBackend.releaseSearches();
        WindowRig::waitUntilSettled(window);
        EXPECT_EQ(card->connectionText(), QString::fromUtf8(connected));
        const QImage answered = statusArea(window);
        EXPECT_GT(accentPixels(answered), 10) << lan;
        EXPECT_EQ(absentPixels(answered), 0) << lan;
    }
}

TEST(StatusCard, ShowsNothingConnectedWithoutAMouse) {
    WindowRig rig(WindowRig::Mouse::Absent);
    CMavloDlg& window = rig.start();
    EXPECT_EQ(accentPixels(statusArea(window)), 0);
}

} // namespace
} // namespace qvr
