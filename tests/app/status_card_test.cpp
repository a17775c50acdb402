#include "ui/skin_layout.h"
#include "window_rig.h"

#include <QImage>
#include <gtest/gtest.h>

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

TEST(StatusCard, ShowsNothingConnectedWithoutAMouse) {
    WindowRig rig(WindowRig::Mouse::Absent);
    CMavloDlg& window = rig.start();
    EXPECT_EQ(accentPixels(statusArea(window)), 0);
}

} // namespace
} // namespace qvr
