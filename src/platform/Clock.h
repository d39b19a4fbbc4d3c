// The time of day and the process-wide random generator.
#pragma once

#include <bit>
#include <cstdint>
#include <ctime>

namespace platform {

// Seconds since local midnight, single precision, with its fraction (at the
// resolution of the system's clock tick, a few milliseconds).
float Timer();
// Tests: Timer() returns what the hook returns (nullptr: the real clock). The hook
// may be called from helper threads of the random passes.
void SetClockHook(float (*hook)());

namespace detail {
// The system's side of the clock, one file per system behind it.
struct WallTime {
    long long seconds = 0;  // since the epoch, UTC
    long nanoseconds = 0;
};
// The time now, from the cheapest clock that ticks at least every few milliseconds.
WallTime ReadWallTime();
// The offset of local time from UTC at `now`, in seconds.
long LocalOffsetAt(std::time_t now);

// A Weyl sequence hashed by a 64-bit finaliser. A reseed adds an odd key step, so
// the same seed twice moves the state on instead of repeating it, and for a
// fixed seed the sequence runs through all 2^64 states before it repeats.
struct RandomState {
    std::uint64_t counter = 0x243F6A8885A308D3ull;
    std::uint64_t key = 0x13198A2E03707344ull;
};
extern RandomState g_random;

inline std::uint64_t Mix64(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}
inline std::uint64_t SeedStep(double seed) {
    return Mix64(std::bit_cast<std::uint64_t>(seed) ^ 0xA4093822299F31D0ull) | 1u;
}

// A draw as its 24 bits m: the draw's value is m / 2^24 exactly.
inline std::uint32_t DrawBits(RandomState& s) {
    s.counter += 0x9E3779B97F4A7C16ull;
    return static_cast<std::uint32_t>(Mix64(s.counter + s.key) >> 40);
}
inline float Draw(RandomState& s) {
    // 24 random bits give every float in [0, 1) on a 2^-24 grid; never 1.
    return static_cast<float>(DrawBits(s)) * (1.0f / 16777216.0f);
}
}  // namespace detail

// One draw of the process-wide generator: 0 <= r < 1.
inline float Rnd() {
    return detail::Draw(detail::g_random);
}

// Mixes the number into the generator's state: reseeding twice from the same
// number does not repeat the draws.
inline void Randomize(double seed) {
    detail::g_random.key += detail::SeedStep(seed);
}

// Reseeds from the time of day.
inline void RandomizeFromClock() {
    Randomize(Timer());
}

}  // namespace platform
