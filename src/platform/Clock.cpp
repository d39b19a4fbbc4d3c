#include "platform/Clock.h"

#include <atomic>
#include <ctime>

namespace platform {

namespace detail {
RandomState g_random;
}

namespace {

std::atomic<float (*)()> g_clockHook{nullptr};

// The offset of local time from UTC, refreshed once a minute (daylight saving).
// Kept per thread: helper threads of the random passes read the clock too.
long LocalOffsetSeconds(std::time_t now) {
    thread_local std::time_t checkedAt = 0;
    thread_local long offset = 0;
    if (now - checkedAt >= 60 || now < checkedAt) {
        offset = detail::LocalOffsetAt(now);
        checkedAt = now;
    }
    return offset;
}

}  // namespace

void SetClockHook(float (*hook)()) {
    g_clockHook = hook;
}

float Timer() {
    if (auto hook = g_clockHook.load(std::memory_order_relaxed))
        return hook();
    const detail::WallTime now = detail::ReadWallTime();
    const long long secs = now.seconds;
    const long nanos = now.nanoseconds;
    long long local = secs + LocalOffsetSeconds(static_cast<std::time_t>(secs));
    long long ofDay = ((local % 86400) + 86400) % 86400;
    return static_cast<float>(static_cast<double>(ofDay) + static_cast<double>(nanos) / 1e9);
}

}  // namespace platform
