#include "platform/Clock.h"

namespace vrx {

std::tm SystemClock::localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

}  // namespace vrx
