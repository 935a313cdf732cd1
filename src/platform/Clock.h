#pragma once
// The local wall clock, injectable so tests can fix the time.

#include <ctime>

namespace vrx {

class Clock {
public:
    virtual ~Clock() = default;
    // The current local date and time.
    virtual std::tm localNow() = 0;
};

// The machine's clock.
class SystemClock final : public Clock {
public:
    std::tm localNow() override;
};

}  // namespace vrx
