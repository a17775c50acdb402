#include "buttons/single_key_dialog.h"

#include "ui/label_text.h"
#include "ui/qt_fonts.h"

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

CSingleDialog::CSingleDialog(std::shared_ptr<SkinImageCache> skin, MessageSink& messages,
                             Language language, QColor textColor)
    : SkinnedDialog(std::move(skin), messages, Dragging::Allowed),
      texts_(singleKeyDialogTexts(language)), title_(qstr(mainWindowTexts(language).singleKey)) {
    resize(skin::kKeyDialog.width, skin::kKeyDialog.height);
    setWindowTitle(title_);
    addFrameButtons(qstr(texts_.ok), qstr(texts_.cancel));
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
}

CSingleDialog::~CSingleDialog() = default;

bool CSingleDialog::onKey(const std::string& name, const QKeyEvent& event) {
    keyName_ = name;
    updateFace(kKeyDisplayRect);
    // The Windows keys are captured but go no further, so that the desktop
    // does not act on them while the user assigns one.
    return isDialogEndingKey(event) || isWindowsKey(event, name);
}

void CSingleDialog::paintFace(QPainter& painter) {
    paintTitle(painter, title_);
    paintCloseButton(painter);
    painter.setFont(textFont());
    painter.setPen(Qt::white);
    drawLabel(painter, kPromptRect, Qt::AlignCenter | Qt::TextSingleLine, qstr(texts_.prompt));
    painter.fillRect(kKeyDisplayRect, Qt::white);
    painter.setPen(Qt::black);
    drawLabel(painter, kKeyDisplayRect, Qt::AlignCenter | Qt::TextSingleLine,
              QString::fromStdString(keyName_));
}

} // namespace qvr
