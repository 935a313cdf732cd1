#pragma once
// The completion pause's clock: a steady clock, so that a change of the
// wall-clock time or midnight cannot shorten or stretch the wait.

#include <chrono>

namespace vrx {

// Blocks the calling thread for at least duration, measured on std::chrono::steady_clock.
void PauseOnMonotonicClock(std::chrono::milliseconds duration);

}  // namespace vrx
