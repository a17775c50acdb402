#include "gui/widgets/app_icon.h"

#include <QPainter>
#include <array>

namespace qvr {
namespace {

// Coordinates on a 64-unit square.
constexpr double kDesignSize = 64;
constexpr QRgb kAccent = 0xff0096ff;
constexpr QRgb kBody = 0xff181a20;
constexpr double kStroke = 4;

enum class Shape { RoundedRect, Line };

struct IconPart {
    Shape shape;
    double x1, y1, x2, y2; // a rectangle's corner and size, or a line's ends
    double radius;
    bool filledWithAccent; // otherwise the body colour, outlined in the accent
};

constexpr std::array<IconPart, 4> kParts{{
    {Shape::RoundedRect, 14, 4, 36, 56, 18, false}, // body
    {Shape::Line, 32, 6, 32, 26, 0, false},         // split between the buttons
    {Shape::Line, 15, 26, 49, 26, 0, false},        // edge of the buttons
    {Shape::RoundedRect, 29, 12, 6, 10, 3, true},   // wheel
}};

QString hexColour(QRgb colour) {
    return QColor(colour).name(QColor::HexRgb);
}

} // namespace

QImage appIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kDesignSize, size / kDesignSize);
    // Square caps match the SVG's stroke-linecap below.
    const QPen outline(QColor(kAccent), kStroke, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    for (const IconPart& part : kParts) {
        if (part.shape == Shape::Line) {
            painter.setPen(outline);
            painter.drawLine(QPointF(part.x1, part.y1), QPointF(part.x2, part.y2));
            continue;
        }
        painter.setPen(part.filledWithAccent ? QPen(Qt::NoPen) : outline);
        painter.setBrush(QColor(part.filledWithAccent ? kAccent : kBody));
        painter.drawRoundedRect(QRectF(part.x1, part.y1, part.x2, part.y2), part.radius,
                                part.radius);
    }
    return image;
}

QString appIconSvg() {
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" "
                                 "height=\"%1\" viewBox=\"0 0 %1 %1\">\n")
                      .arg(kDesignSize);
    const QString stroke =
        QStringLiteral("stroke=\"%1\" stroke-width=\"%2\"").arg(hexColour(kAccent)).arg(kStroke);
    for (const IconPart& part : kParts) {
        if (part.shape == Shape::Line) {
            svg += QStringLiteral("  <line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" %5 "
                                  "stroke-linecap=\"square\"/>\n")
                       .arg(part.x1)
                       .arg(part.y1)
                       .arg(part.x2)
                       .arg(part.y2)
                       .arg(stroke);
            continue;
        }
        svg += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" "
                              "fill=\"%6\"%7/>\n")
                   .arg(part.x1)
                   .arg(part.y1)
                   .arg(part.x2)
                   .arg(part.y2)
                   .arg(part.radius)
                   .arg(hexColour(part.filledWithAccent ? kAccent : kBody))
                   .arg(part.filledWithAccent ? QString() : " " + stroke);
    }
    return svg + "</svg>\n";
}

} // namespace qvr
