#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLineEdit;

namespace qvr {

class SkinnedWindow;

// A number box of a section, on the window's face: digits only, and told
// apart from the program's own writes, so that what the user types stays
// as typed until typing ends.
class SectionEditBox : public QObject {
  public:
    // changed runs at every change of the text, with whether it was typed;
    // finished at the end of typing (Enter, Tab, focus out).
    SectionEditBox(SkinnedWindow& face, const QString& objectName, int digits,
                   std::function<void(bool typed)> changed, std::function<void()> finished);

    QLineEdit* edit() const { return edit_; }
    // From the first keystroke to the end of typing: a redraw leaves the
    // text alone, even when it is empty or between two limits.
    bool typedIn() const { return typedIn_; }
    void dropTyping() { typedIn_ = false; }
    // Whether the text changing now is the program's own write.
    bool writing() const { return writing_; }
    // The program's value: a slider or an arrow overrides what was being typed.
    void write(int value);
    // Puts a text in without running the change handler.
    void showText(const QString& text);
    // Names the box for screen readers, and gives it the window's colours
    // and the font its widest text fits in width with.
    void style(const QString& accessibleName, const QString& widest, int width);
    // The next style call restyles, fonts included.
    void languageChanged() { style_.clear(); }

  private:
    SkinnedWindow& face_;
    QLineEdit* const edit_;
    // Set by a keystroke until the change it makes is handled.
    bool typing_ = false;
    bool typedIn_ = false;
    bool writing_ = false;
    QString style_;
};

} // namespace qvr
