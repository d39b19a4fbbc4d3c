#include "platform/Clock.h"

#include <atomic>
#include <chrono>
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
        std::tm local{};
#ifdef _WIN32
        localtime_s(&local, &now);
        std::tm utc{};
        gmtime_s(&utc, &now);
        offset = static_cast<long>(std::difftime(std::mktime(&local), std::mktime(&utc)));
#else
        localtime_r(&now, &local);
        offset = local.tm_gmtoff;
#endif
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
    long long secs;
    long nanos;
#if defined(__linux__)
    // The coarse clock costs a few nanoseconds; the random passes read it once per block.
    timespec ts{};
    clock_gettime(CLOCK_REALTIME_COARSE, &ts);
    secs = ts.tv_sec;
    nanos = ts.tv_nsec;
#else
    auto now = std::chrono::system_clock::now().time_since_epoch();
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    secs = ns / 1000000000;
    nanos = static_cast<long>(ns % 1000000000);
#endif
    long long local = secs + LocalOffsetSeconds(static_cast<std::time_t>(secs));
    long long ofDay = ((local % 86400) + 86400) % 86400;
    return static_cast<float>(static_cast<double>(ofDay) + nanos / 1e9);
}

}  // namespace platform
