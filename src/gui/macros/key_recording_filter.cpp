#include "gui/macros/key_recording_filter.h"

#include "gui/widgets/key_event_names.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace qvr {

KeyRecordingFilter::KeyRecordingFilter(QWindow* window, Handler handler, QObject* owner)
    : QObject(owner), window_(window), handler_(std::move(handler)) {
    QCoreApplication::instance()->installEventFilter(this);
}

KeyRecordingFilter::~KeyRecordingFilter() {
    disarm();
}

void KeyRecordingFilter::disarm() {
    if (auto* app = QCoreApplication::instance())
        app->removeEventFilter(this);
    window_.clear();
}

bool KeyRecordingFilter::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    // A key event travels on from the window to the focused control and its
    // parents; only its arrival at the window counts.
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !window_ ||
        watched != window_.data())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    std::string name = keyNameFromKeyEvent(*key);
    if (name.empty())
        return false;
    handler_(type == QEvent::KeyPress ? KeyDirection::Press : KeyDirection::Release,
             std::move(name), key->isAutoRepeat(), key->timestamp());
    return false;
}

} // namespace qvr
