#include "platform/Monotonic.h"

#include <chrono>

namespace platform {

namespace {
std::function<double()>& Override() {
    static std::function<double()> clock;
    return clock;
}
}  // namespace

double MonotonicSeconds() {
    if (Override())
        return Override()();
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double>(now).count();
}

namespace hooks {
void SetMonotonicClock(std::function<double()> clock) {
    Override() = std::move(clock);
}
}  // namespace hooks

}  // namespace platform
