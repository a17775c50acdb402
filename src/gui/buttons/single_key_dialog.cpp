#include "gui/buttons/single_key_dialog.h"

#include "gui/widgets/face_accessible.h"
#include "gui/widgets/label_text.h"
#include "gui/widgets/qt_fonts.h"

#include <QKeyEvent>
#include <QPainter>

namespace qvr {

namespace {

constexpr std::string_view kBackgroundFailed = "Single Key Dialog Load background image failed!!!";

bool isWindowsKey(const QKeyEvent& event, const std::string& name) {
    const int key = event.key();
    return key == Qt::Key_Meta || key == Qt::Key_Super_L || key == Qt::Key_Super_R ||
           name == "Left Windows" || name == "Right Windows";
}

} // namespace

SingleKeyDialog::SingleKeyDialog(std::shared_ptr<SkinImageCache> skin, MessageSink& messages,
                                 Language language, QColor textColor)
    : SkinnedDialog(std::move(skin), messages, Dragging::Allowed),
      texts_(singleKeyDialogTexts(language)), title_(qstr(mainWindowTexts(language).singleKey)),
      hint_(qstr(keyboardTexts(language).singleKeyHint)) {
    resize(skin::kKeyDialog.width, skin::kKeyDialog.height);
    setWindowTitle(title_);
    addFrameButtons(qstr(texts_.ok), qstr(texts_.cancel), qstr(keyboardTexts(language).close));
    // Tab and Space are keys to capture here.
    setTabKeys(TabKeys::AreInput);
    // Without its background the dialog still ends through OK and Cancel,
    // but captures nothing.
    if (!loadBackground("/single-key.png", kBackgroundFailed))
        return;
    setTextFont(qtFontFor(WindowFont::SingleKey, language));
    setTextColor(textColor);
    capture_ = std::make_unique<KeyCapture>(
        [this](const std::string& name, const QKeyEvent& event) { return onKey(name, event); });
    connect(this, &SkinnedDialog::ended, this, [this] { capture_.reset(); });
    // The key box is a control only for the keyboard: Space on it takes the
    // next key.
    keyBoxId_ = elements().add({.rect = kKeyDisplayRect,
                                .onClick = [this](QPoint) { startKeyboardCapture(); },
                                .active = [this] { return openedBy() == OpenedBy::Keyboard; },
                                .name = [name = qstr(keyboardTexts(language).key)] { return name; },
                                .valueText = [this] { return QString::fromStdString(keyName_); }});
    addAccessibleFaceText(
        *this, {[] { return kHintRect; },
                [this] { return openedBy() == OpenedBy::Keyboard ? hint_ : QString(); }});
}

SingleKeyDialog::~SingleKeyDialog() = default;

void SingleKeyDialog::openedByChanged() {
    if (!capture_)
        return SkinnedDialog::openedByChanged();
    if (openedBy() == OpenedBy::Keyboard) {
        // Opened by a key, the dialog waits for the key to assign at once.
        focusElement(*keyBoxId_);
        startKeyboardCapture();
        return;
    }
    // The pointer's dialog: every key is captured from now on.
    boundedCapture_ = false;
    captureKeys_.clear();
    setTabKeys(TabKeys::AreInput);
}

void SingleKeyDialog::startKeyboardCapture() {
    if (!capture_ || openedBy() != OpenedBy::Keyboard)
        return;
    boundedCapture_ = true;
    captureKeys_.clear();
    setTabKeys(TabKeys::AreInput);
    update();
}

bool SingleKeyDialog::onKeyboardOpenedKey(const std::string& name, const QKeyEvent& event) {
    if (!boundedCapture_)
        return isWindowsKey(event, name);
    const CaptureKeys::Step step = captureKeys_.take(event);
    if (step == CaptureKeys::Step::Outside)
        return true;
    keyName_ = name;
    updateFace(kKeyDisplayRect);
    if (step == CaptureKeys::Step::Ended) {
        // Every key of the capture is up: the keyboard moves on to OK.
        boundedCapture_ = false;
        setTabKeys(TabKeys::MoveFocus);
        if (okId())
            focusElement(*okId());
    }
    return true;
}

bool SingleKeyDialog::onKey(const std::string& name, const QKeyEvent& event) {
    if (openedBy() == OpenedBy::Keyboard)
        return onKeyboardOpenedKey(name, event);
    keyName_ = name;
    updateFace(kKeyDisplayRect);
    // The Windows keys are captured but go no further, so that the desktop
    // does not act on them while the user assigns one.
    return isDialogEndingKey(event) || isWindowsKey(event, name);
}

void SingleKeyDialog::paintFace(QPainter& painter) {
    paintTitle(painter, title_);
    paintCloseButton(painter);
    painter.setFont(textFont());
    painter.setPen(Qt::white);
    drawLabel(painter, kPromptRect, Qt::AlignCenter | Qt::TextSingleLine, qstr(texts_.prompt));
    painter.fillRect(kKeyDisplayRect, Qt::white);
    painter.setPen(Qt::black);
    drawLabel(painter, kKeyDisplayRect, Qt::AlignCenter | Qt::TextSingleLine,
              QString::fromStdString(keyName_));
    painter.setFont(textFont());
    paintHint(painter, kHintRect, hint_);
}

} // namespace qvr
