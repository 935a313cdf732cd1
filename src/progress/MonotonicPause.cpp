#include "progress/MonotonicPause.h"

#include <thread>

namespace vrx {

void PauseOnMonotonicClock(std::chrono::milliseconds duration) {
    const auto deadline = std::chrono::steady_clock::now() + duration;
    // sleep_until may wake early (signals); wait again until the deadline has truly passed.
    while (std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_until(deadline);
}

}  // namespace vrx
