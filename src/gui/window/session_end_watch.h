#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace qvr {

// Tells the program that the desktop session is ending. On X11 the session
// manager first asks for the user's data (Qt's commitDataRequest); every
// desktop then ends the program with SIGTERM. The signal is caught through a
// self-pipe, so what it asks for runs in the event loop like any other event
// (a nested one included: an open question does not keep it waiting).
// One watch at a time; it puts the earlier SIGTERM handling back when it goes.
class SessionEndWatch final : public QObject {
    Q_OBJECT

  public:
    SessionEndWatch(std::function<void()> commitData, std::function<void()> terminate);
    ~SessionEndWatch() override;

    // False when the signal could not be caught: SIGTERM then ends the
    // program at once, as it would without the watch.
    bool catchesTerminate() const { return notifier_ != nullptr; }

  private:
    void readSignal();

    std::function<void()> commitData_;
    std::function<void()> terminate_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace qvr
