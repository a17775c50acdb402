#include "gui/window/ui_handoff.h"

#include <QMetaObject>
#include <atomic>
#include <future>
#include <memory>

namespace qvr {

bool runOnUiThreadAndWait(QObject* context, std::function<void()> work,
                          const std::function<bool()>& stopRequested,
                          std::chrono::milliseconds slice) {
    // Either the work starts or the caller gives up on it, never both: work
    // that is left behind in the queue must not run later, after the caller
    // and what it stood for have gone.
    enum Claim { Pending, Running, Abandoned };
    auto claim = std::make_shared<std::atomic<Claim>>(Pending);
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    // The functor is dropped unrun when the context dies first; the promise
    // then breaks, which also ends the wait.
    QMetaObject::invokeMethod(
        context,
        [claim, done, work = std::move(work)] {
            Claim expected = Pending;
            if (!claim->compare_exchange_strong(expected, Running))
                return;
            work();
            done->set_value();
        },
        Qt::QueuedConnection);
    while (finished.wait_for(slice) != std::future_status::ready) {
        Claim expected = Pending;
        if (stopRequested() && claim->compare_exchange_strong(expected, Abandoned))
            return false;
    }
    try {
        finished.get();
        return true;
    } catch (const std::future_error&) {
        return false;
    }
}

} // namespace qvr
