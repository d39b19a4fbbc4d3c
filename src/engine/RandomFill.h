// Bulk random bytes: what n calls of RandomNumber give, computed many at a time.
//
// While the clock reads the same value the seed is the same number for every byte,
// so the generator's state after byte j is linear in j: the key gains the seed's
// step once per byte, the counter two steps (the dropped draw only moves it on).
// Byte j of such a run is therefore a function of base + (j + 1) * step alone, and
// the bytes compute independently, in vector lanes or in other threads.
//
// RandomFill.cpp holds the kernels; RandomHelpers.cpp the helper threads and the
// fill that uses them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/Clock.h"

namespace engine::random {

enum class Kernel {
    Plain,   // the calls one after another: reseed, drop a draw, draw
    Scalar,  // the linear form, one byte at a time
    Avx2,
    Avx512,
};

// Whether this processor (and its operating system) runs the kernel.
bool Supported(Kernel kernel);
// The fastest kernel this processor runs.
Kernel Best();
const char* NameOf(Kernel kernel);

// The bytes of n calls of RandomNumber(lo, hi) that all see the clock value
// `seed` (the clock times 13), drawn from `state`, which is left as those calls
// would leave it. Every kernel gives the same bytes and the same state.
void FillSeeded(Kernel kernel, platform::detail::RandomState& state, float seed, unsigned char* out,
                std::size_t n, std::int32_t lo, std::int32_t hi);
// The state after n calls that all saw `seed`.
void Advance(platform::detail::RandomState& s, float seed, std::size_t n);

// The clock is read once per block of this many bytes: a block takes a few
// microseconds, far below the clock's tick of a few milliseconds, so every byte
// gets the seed it would get reading the clock itself.
inline constexpr std::size_t kClockBlock = 16 * 1024;

// While one of these is alive (on the thread that runs the passes), large fills
// of engine::FillRandom are computed ahead by helper threads that only compute
// bytes: each block reads the clock and takes its slice of the generator's state
// in order, and the fills get the very bytes and leave the very state they would
// without helpers. The threads start on the first large fill and are stopped and
// joined when this object ends, so none outlives the pass that made it. An inner
// one while another is alive does nothing.
inline constexpr char kHelperThreadName[] = "quellix-random";
class RandomHelpers {
  public:
    RandomHelpers();
    ~RandomHelpers();
    RandomHelpers(const RandomHelpers&) = delete;
    RandomHelpers& operator=(const RandomHelpers&) = delete;

    // How many helper threads a pass uses on this machine (0 on one core).
    static int Count();
    // Sets the number of helpers for the passes that follow (-1: the machine's
    // default); for tests and the benchmark.
    static void SetCount(int count);

    class Pool;

  private:
    bool owner_ = false;
};

// The next n bytes that engine::FillRandom(…, n, lo, hi) would give, where the
// helpers have computed them (valid until the next call of either), consumed as
// that call would; nullptr, with nothing consumed, when no helpers run or the
// bytes are not all ready: then FillRandom gives them.
const unsigned char* RandomView(std::size_t n, std::int32_t lo, std::int32_t hi);

namespace hooks {
// Tests: called on a helper thread, outside the pool's lock, just before it
// computes a block (numbered from 0 in the pass's order); a hook that waits
// makes that helper slow. Set it while no helpers run.
void SetHelperHook(std::function<void(std::uint64_t block)> hook);
// Tests: called on a helper thread, with the pool's lock held, just after it has
// readied a block, with how many bytes the helpers now hold ready that the pass
// has not read. It must return at once and draw nothing. Set it while no helpers
// run.
void SetReadyHook(std::function<void(std::size_t readyAhead)> hook);
}  // namespace hooks

}  // namespace engine::random
