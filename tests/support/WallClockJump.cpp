// A preloaded shim (LD_PRELOAD) that moves the wall clock: every reading of
// CLOCK_REALTIME (clock_gettime, gettimeofday, time) is one hour later than
// the reading before, while the monotonic clock runs as it is. A wait
// measured on the wall clock ends at its next reading; one measured on the
// monotonic clock lasts as long as it should.

#include <dlfcn.h>
#include <sys/time.h>
#include <time.h>

#include <atomic>

namespace {

std::atomic<long> readings{0};

using ClockGettime = int (*)(clockid_t, timespec*);

int RealClockGettime(clockid_t clock, timespec* ts) {
    static const auto real = reinterpret_cast<ClockGettime>(dlsym(RTLD_NEXT, "clock_gettime"));
    return real(clock, ts);
}

bool IsWallClock(clockid_t clock) {
    return clock == CLOCK_REALTIME || clock == CLOCK_REALTIME_COARSE;
}

}  // namespace

extern "C" int clock_gettime(clockid_t clock, timespec* ts) noexcept {
    const int result = RealClockGettime(clock, ts);
    if (result == 0 && IsWallClock(clock)) ts->tv_sec += 3600 * readings.fetch_add(1);
    return result;
}

extern "C" int gettimeofday(timeval* __restrict tv, void* __restrict /*tz*/) noexcept {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tv->tv_sec = ts.tv_sec;
    tv->tv_usec = ts.tv_nsec / 1000;
    return 0;
}

extern "C" time_t time(time_t* out) noexcept {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    if (out != nullptr) *out = ts.tv_sec;
    return ts.tv_sec;
}
