#pragma once
// Timings of repeated runs: the median and the spread.

#include <functional>
#include <string>
#include <vector>

namespace vrx::bench {

struct Spread {
    double median;
    double min;
    double max;
};

Spread SpreadOf(std::vector<double> values);

// "1.23 s (1.20-1.31)"
std::string SecondsText(const Spread& spread);

struct Timed {
    double wall;  // seconds on the clock
    double cpu;   // seconds of processor time of this process, which other
                  // programs running at the same time disturb less
};

// Times work, after the disk has settled from the set-up's writes.
Timed SettledRun(const std::function<void()>& work);

}  // namespace vrx::bench
