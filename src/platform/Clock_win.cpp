#include <chrono>

#include "platform/Clock.h"

namespace platform::detail {

WallTime ReadWallTime() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    return {ns / 1000000000, static_cast<long>(ns % 1000000000)};
}

long LocalOffsetAt(std::time_t now) {
    std::tm local{};
    localtime_s(&local, &now);
    std::tm utc{};
    gmtime_s(&utc, &now);
    return static_cast<long>(std::difftime(std::mktime(&local), std::mktime(&utc)));
}

}  // namespace platform::detail
