#pragma once

#include <QObject>
#include <chrono>
#include <functional>

namespace qvr {

// Runs work on context's thread and waits until it has run, the way a
// synchronous window message does, but gives up as soon as stopRequested()
// turns true: the UI thread may be joining the caller at exit and will then
// never run the work. Returns whether the work ran.
bool runOnUiThreadAndWait(QObject* context, std::function<void()> work,
                          const std::function<bool()>& stopRequested,
                          std::chrono::milliseconds slice = std::chrono::milliseconds(50));

} // namespace qvr
