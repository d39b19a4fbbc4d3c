#include <time.h>

#include "platform/Clock.h"

namespace platform::detail {

WallTime ReadWallTime() {
    timespec ts{};
#ifdef CLOCK_REALTIME_COARSE
    // The coarse clock costs a few nanoseconds; the random passes read it once per block.
    clock_gettime(CLOCK_REALTIME_COARSE, &ts);
#else
    clock_gettime(CLOCK_REALTIME, &ts);
#endif
    return {static_cast<long long>(ts.tv_sec), static_cast<long>(ts.tv_nsec)};
}

long LocalOffsetAt(std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_gmtoff;
}

}  // namespace platform::detail
