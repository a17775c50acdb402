#include "gui/widgets/app_icon.h"

#include <QGuiApplication>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace qvr::test {
namespace {

constexpr QRgb kAccent = 0xff0096ff;

// Points of the 64-unit design, looked up at any size.
QRgb at(const QImage& image, double x, double y) {
    const double scale = image.width() / 64.0;
    return image.pixel(int(x * scale), int(y * scale));
}

TEST(AppIcon, EverySizeDrawsTheSameDesign) {
    for (int size : {16, 48, 64, 256}) {
        const QImage icon = appIconImage(size);
        ASSERT_EQ(icon.size(), QSize(size, size));
        SCOPED_TRACE(size);
        EXPECT_EQ(qAlpha(at(icon, 1, 1)), 0) << "corners stay transparent";
        EXPECT_EQ(qAlpha(at(icon, 60, 60)), 0);
        if (size >= 48) {
            EXPECT_EQ(at(icon, 32, 17), kAccent) << "wheel";
            EXPECT_EQ(at(icon, 24, 45), 0xff181a20u) << "body";
            EXPECT_EQ(at(icon, 14.5, 32), kAccent) << "outline";
        }
    }
}

TEST(AppIcon, TheScalableIconIsWellFormedWithTheSameShapesAndColours) {
    QXmlStreamReader svg(appIconSvg());
    int rects = 0;
    int lines = 0;
    QString viewBox;
    QStringList fills;
    while (!svg.atEnd()) {
        if (svg.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto attributes = svg.attributes();
        if (svg.name() == u"svg")
            viewBox = attributes.value("viewBox").toString();
        if (svg.name() == u"rect") {
            ++rects;
            fills << attributes.value("fill").toString();
        }
        if (svg.name() == u"line") {
            ++lines;
            EXPECT_EQ(attributes.value("stroke"), u"#0096ff");
        }
    }
    ASSERT_FALSE(svg.hasError()) << svg.errorString().toStdString();
    EXPECT_EQ(viewBox, "0 0 64 64");
    EXPECT_EQ(rects, 2);
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(fills, QStringList({"#181a20", "#0096ff"}));
}

} // namespace
} // namespace qvr::test
