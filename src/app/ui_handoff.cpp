#include "app/ui_handoff.h"

#include <QMetaObject>
#include <future>
#include <memory>

namespace qvr {

bool runOnUiThreadAndWait(QObject* context, std::function<void()> work,
                          const std::function<bool()>& stopRequested,
                          std::chrono::milliseconds slice) {
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    // The functor is dropped unrun when the context dies first; the promise
    // then breaks, which also ends the wait.
    QMetaObject::invokeMethod(
        context,
        [done, work = std::move(work)] {
            work();
            done->set_value();
        },
        Qt::QueuedConnection);
    while (finished.wait_for(slice) != std::future_status::ready) {
        if (stopRequested())
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
