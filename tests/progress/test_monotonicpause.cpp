#include <gtest/gtest.h>

#include "progress/MonotonicPause.h"

namespace vrx {
namespace {

TEST(MonotonicPause, WaitsAtLeastTheDurationOnTheSteadyClock) {
    const auto duration = std::chrono::milliseconds(30);
    const auto start = std::chrono::steady_clock::now();
    PauseOnMonotonicClock(duration);
    EXPECT_GE(std::chrono::steady_clock::now() - start, duration);
}

}  // namespace
}  // namespace vrx
