#pragma once

class QWidget;

namespace qvr {

// For the start-up benchmark. When QVR_EXIT_AFTER_FIRST_PAINT is set, the
// first paint of `window` prints "first paint: <ms> ms" on standard output,
// the time since the process was launched, and leaves the event loop. The
// launch time is QVR_LAUNCH_MONOTONIC_NS (CLOCK_MONOTONIC, set by the
// launcher just before it starts the process) or else the process start
// time the kernel keeps, which counts only in 10 ms ticks.
void exitAfterFirstPaintWhenAsked(QWidget& window);

// For finding where start-up time and memory go. When QVR_PHASES is set,
// writes "phase NAME: <ms> ms, RSS <MB> MB, peak <MB> MB" on standard error,
// the time counted as for the first paint above.
void markStartUpPhase(const char* name);

} // namespace qvr
