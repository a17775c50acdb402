#pragma once

#include <QRect>
#include <QString>
#include <functional>

class QWidget;

namespace qvr {

// A text a skinned window paints on its face that a screen reader should
// read too. It becomes an accessible child of the window (static text)
// whose name is the whole text, even where the face shows it shortened.
struct FaceText {
    std::function<QRect()> rect; // in window coordinates
    std::function<QString()> text;
};

// Adds a text to the window's accessible children, after its widgets.
void addAccessibleFaceText(QWidget& window, FaceText text);

// Makes the skinned windows answer screen readers with their face texts;
// called once by the first skinned window.
void installFaceAccessibility();

} // namespace qvr
