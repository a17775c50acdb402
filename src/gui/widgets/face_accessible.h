#pragma once

#include <QRect>
#include <QString>
#include <functional>

class QWidget;

namespace qvr {

class SkinnedWindow;

// A text a skinned window paints on its face that a screen reader should
// read too. It becomes an accessible child of the window (static text)
// whose name is the whole text, even where the face shows it shortened.
struct FaceText {
    std::function<QRect()> rect; // in window coordinates
    std::function<QString()> text;
};

// Adds a text to the window's accessible children, after its widgets.
void addAccessibleFaceText(QWidget& window, FaceText text);

// Tells screen readers that the keyboard moved to an element of the
// window's rectangle table.
void announceFocus(SkinnedWindow& window, int elementId);

// Tells screen readers that an element's value, or its checked state,
// changed.
void announceValue(SkinnedWindow& window, int elementId);
void announceState(SkinnedWindow& window, int elementId);

// Makes the skinned windows answer screen readers with their face texts;
// called once by the first skinned window.
void installFaceAccessibility();

} // namespace qvr
