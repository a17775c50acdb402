#pragma once

#include "core/macros/macro_recorder.h"

#include <QObject>
#include <QPointer>
#include <QWindow>
#include <cstdint>
#include <functional>
#include <string>

namespace qvr {

// Watches every keystroke that reaches one window while it lives: the thread
// keyboard hook of the recorder. It sees each keystroke once, as the window
// system hands it to the window, and lets it go on to the focused control.
class KeyRecordingFilter final : public QObject {
  public:
    using Handler = std::function<void(KeyDirection, std::string keyName, bool autoRepeat,
                                       std::uint64_t timestamp)>;

    // owner deletes the filter at the latest when it goes.
    KeyRecordingFilter(QWindow* window, Handler handler, QObject* owner);
    ~KeyRecordingFilter() override;

    // Stops watching at once; the handler may call this from inside itself.
    void disarm();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<QWindow> window_;
    Handler handler_;
};

} // namespace qvr
