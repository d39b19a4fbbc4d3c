#include "platform/Clock.h"

#include <bit>
#include <chrono>
#include <ctime>

namespace platform {

namespace {

// xoshiro-style state, advanced by splitmix64 for simplicity and speed; a reseed
// xors a hash of the seed into the state, so the draws depend on the history.
std::uint64_t g_state = 0x9E3779B97F4A7C15ull;

inline std::uint64_t SplitMix(std::uint64_t& s) {
    std::uint64_t z = (s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// The offset of local time from UTC, refreshed once a minute (daylight saving).
long LocalOffsetSeconds(std::time_t now) {
    static std::time_t checkedAt = 0;
    static long offset = 0;
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

float Timer() {
    auto now = std::chrono::system_clock::now().time_since_epoch();
    auto micros = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
    std::time_t secs = static_cast<std::time_t>(micros / 1000000);
    long long local = static_cast<long long>(secs) + LocalOffsetSeconds(secs);
    long long ofDay = ((local % 86400) + 86400) % 86400;
    double t = static_cast<double>(ofDay) + static_cast<double>(micros % 1000000) / 1e6;
    return static_cast<float>(t);
}

float Rnd() {
    // 24 random bits give every float in [0, 1) on a 2^-24 grid; never 1.
    return static_cast<float>(SplitMix(g_state) >> 40) * (1.0f / 16777216.0f);
}

void Randomize(double seed) {
    std::uint64_t bits = std::bit_cast<std::uint64_t>(seed);
    std::uint64_t mix = bits * 0xD1B54A32D192ED03ull;
    g_state ^= mix ^ (mix >> 29);
    SplitMix(g_state);
}

}  // namespace platform
