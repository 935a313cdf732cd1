#include "Timing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

#include "BenchData.h"

namespace vrx::bench {

Spread SpreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

std::string SecondsText(const Spread& spread) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f s (%.3f-%.3f)", spread.median, spread.min, spread.max);
    return text;
}

namespace {

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace

Timed SettledRun(const std::function<void()>& work) {
    Shell("sync");
    std::this_thread::sleep_for(std::chrono::seconds(1));
    Shell("sync");
    const double cpuStart = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    work();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return {wall, CpuSeconds() - cpuStart};
}

}  // namespace vrx::bench
