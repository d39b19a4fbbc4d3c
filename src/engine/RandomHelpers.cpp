#include "engine/RandomFill.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "engine/Wipe.h"
#include "platform/Threads.h"

namespace engine::random {

namespace {

using platform::detail::RandomState;

std::function<void(std::uint64_t)> g_helperHook;
std::function<void(std::size_t)> g_readyHook;

}  // namespace

// The random bytes of a pass, computed ahead by helper threads into a ring of
// blocks of kBlock bytes. Blocks are claimed in order under the lock: the claim
// reads the clock and takes the block's slice of the generator's state. The
// pass's thread (the consumer) writes finished blocks straight from the ring
// (View) or copies them (Read); a block still being filled, or not yet claimed,
// it computes itself from its slice (the same bytes), so it never waits for a
// helper. Helpers sleep while the ring is more than half full, so that they are
// woken a few times per pass rather than once per block.
class RandomHelpers::Pool {
  public:
    Pool(int helpers, std::int32_t lo, std::int32_t hi)
        : lo_(lo),
          hi_(hi),
          kernel_(Best()),
          ring_(std::make_unique<unsigned char[]>(kSlots * kBlock)),
          slots_(kSlots),
          claimState_(platform::detail::g_random),
          consumed_(claimState_) {
        try {
            for (int i = 0; i < helpers; ++i) threads_.emplace_back([this] { ComputeAhead(); });
        } catch (const std::system_error&) {
            // Fewer helpers than asked for; the consumer makes up for any missing.
        }
    }
    ~Pool() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        for (auto& t : threads_) t.join();
    }
    Pool(const Pool&) = delete;
    Pool& operator=(const Pool&) = delete;

    // Whether the next bytes of this range, drawn from the generator as it is now,
    // are the ones this pool computes.
    bool Continues(std::int32_t lo, std::int32_t hi) const {
        const RandomState& now = platform::detail::g_random;
        return lo == lo_ && hi == hi_ && now.counter == consumed_.counter &&
               now.key == consumed_.key;
    }

    // The next n bytes where they lie in the ring, valid until the next call; or
    // nullptr (nothing consumed) when they are not all computed yet or wrap round.
    const unsigned char* View(std::size_t n) {
        std::unique_lock lock(mutex_);
        Release(lock);
        if (n == 0)
            return nullptr;
        const std::uint64_t last = consuming_ + (offset_ + n - 1) / kBlock;
        if (last >= claimed_ || consuming_ % kSlots + (last - consuming_) >= kSlots)
            return nullptr;
        for (std::uint64_t b = consuming_; b <= last; ++b) {
            if (slots_[b % kSlots].block != b || !slots_[b % kSlots].ready)
                return nullptr;
        }
        const unsigned char* bytes = ring_.get() + consuming_ % kSlots * kBlock + offset_;
        const std::size_t end = offset_ + n - (last - consuming_) * kBlock;  // within `last`
        heldFrom_ = consuming_;
        consuming_ = end == kBlock ? last + 1 : last;
        offset_ = end == kBlock ? 0 : end;
        heldTo_ = consuming_;  // blocks passed; freed at the next call
        const Slot& at = slots_[last % kSlots];
        current_ = {at.start, at.seed, &slots_[last % kSlots]};
        consumed_ = at.start;
        Advance(consumed_, at.seed, end);
        platform::detail::g_random = consumed_;
        return bytes;
    }

    // The next n bytes, copied; leaves the generator where n calls of RandomNumber
    // would.
    void Read(unsigned char* out, std::size_t n) {
        std::unique_lock lock(mutex_);
        Release(lock);
        while (n > 0) {
            if (offset_ == 0)
                StartBlock();
            const std::size_t len = std::min(n, kBlock - offset_);
            const bool ready = current_.slot && current_.slot->ready;
            const std::size_t offset = offset_;
            const std::uint64_t block = consuming_;
            lock.unlock();
            if (ready) {
                std::memcpy(out, ring_.get() + block % kSlots * kBlock + offset, len);
            } else {
                RandomState s = current_.start;
                Advance(s, current_.seed, offset);
                FillSeeded(len >= 4096 ? kernel_ : Kernel::Scalar, s, current_.seed, out, len, lo_,
                           hi_);
            }
            out += len;
            n -= len;
            lock.lock();
            offset_ += len;
            if (offset_ == kBlock) {
                offset_ = 0;
                ++consuming_;
                if (Slot* slot = current_.slot; slot && !slot->busy)
                    Free(*slot);
                WakeIfLow(lock);
            }
            consumed_ = current_.start;
            Advance(consumed_, current_.seed, offset_ == 0 ? kBlock : offset_);
        }
        platform::detail::g_random = consumed_;
    }

  private:
    static constexpr std::size_t kBlock = 64 * 1024;
    static constexpr std::size_t kSlots = 128;  // 8 MiB of bytes ahead at most
    static constexpr std::uint64_t kNone = ~0ull;

    struct Slot {
        std::uint64_t block = kNone;  // the block it holds, kNone when free
        RandomState start;
        float seed = 0;
        bool busy = false;   // a helper is filling it
        bool ready = false;  // its bytes are complete
    };
    struct Current {
        RandomState start;
        float seed = 0;
        Slot* slot = nullptr;  // nullptr when the consumer claimed the block
    };

    void Free(Slot& slot) {
        slot.block = kNone;
        slot.ready = false;
    }

    // Under the lock: frees the blocks of the last view.
    void Release(std::unique_lock<std::mutex>& lock) {
        if (heldFrom_ == heldTo_)
            return;
        for (std::uint64_t b = heldFrom_; b < heldTo_; ++b) Free(slots_[b % kSlots]);
        heldFrom_ = heldTo_ = 0;
        WakeIfLow(lock);
    }

    void WakeIfLow(std::unique_lock<std::mutex>& lock) {
        if (waiting_ > 0 && claimed_ - consuming_ <= kSlots / 2) {
            lock.unlock();
            wake_.notify_all();
            lock.lock();
        }
    }

    // Under the lock: the clock reading and the slice of the next block.
    void Claim(RandomState& start, float& seed) {
        seed = platform::Timer() * 13.0f;
        start = claimState_;
        Advance(claimState_, seed, kBlock);
        ++claimed_;
    }

    // Under the lock, at the start of block consuming_.
    void StartBlock() {
        if (consuming_ == claimed_) {
            current_.slot = nullptr;
            Claim(current_.start, current_.seed);
            return;
        }
        Slot& slot = slots_[consuming_ % kSlots];  // a helper claimed it into this slot
        current_ = {slot.start, slot.seed, &slot};
    }

    // Under the lock: the bytes the ring holds ready that the consumer has not read.
    std::size_t ReadyAhead() const {
        std::size_t bytes = 0;
        for (std::uint64_t b = consuming_; b < claimed_; ++b) {
            const Slot& slot = slots_[b % kSlots];
            if (slot.block == b && slot.ready)
                bytes += b == consuming_ ? kBlock - offset_ : kBlock;
        }
        return bytes;
    }

    bool Room() const {
        return claimed_ - consuming_ < kSlots && slots_[claimed_ % kSlots].block == kNone;
    }

    // A helper thread: claims the next free block, computes it, and sleeps while
    // the ring is full, until the pool stops.
    void ComputeAhead() {
        platform::NameThisThread(kHelperThreadName);
        std::unique_lock lock(mutex_);
        for (;;) {
            if (!stop_ && !Room()) {
                ++waiting_;
                wake_.wait(lock, [&] { return stop_ || Room(); });
                --waiting_;
            }
            if (stop_)
                return;
            const std::uint64_t block = claimed_;
            Slot& slot = slots_[block % kSlots];
            slot.block = block;
            slot.busy = true;
            Claim(slot.start, slot.seed);
            RandomState s = slot.start;
            const float seed = slot.seed;
            lock.unlock();
            if (g_helperHook)
                g_helperHook(block);
            FillSeeded(kernel_, s, seed, ring_.get() + block % kSlots * kBlock, kBlock, lo_, hi_);
            lock.lock();
            slot.busy = false;
            if (block < consuming_ && !(block >= heldFrom_ && block < heldTo_)) {
                Free(slot);  // the consumer computed this block itself and has passed it
            } else {
                slot.ready = true;
                if (g_readyHook)
                    g_readyHook(ReadyAhead());
            }
        }
    }

    const std::int32_t lo_, hi_;
    const Kernel kernel_;
    std::unique_ptr<unsigned char[]> ring_;
    std::vector<Slot> slots_;
    std::mutex mutex_;
    std::condition_variable wake_;
    RandomState claimState_;     // the state at the start of block claimed_
    std::uint64_t claimed_ = 0;  // blocks claimed so far
    std::uint64_t consuming_ = 0;
    std::size_t offset_ = 0;                   // bytes of block consuming_ read
    std::uint64_t heldFrom_ = 0, heldTo_ = 0;  // blocks of the last view
    Current current_;                          // the block being read
    RandomState consumed_;                     // the generator's state after the bytes read
    std::vector<std::thread> threads_;
    int waiting_ = 0;
    bool stop_ = false;
};

namespace {

RandomHelpers* g_helpers = nullptr;
std::unique_ptr<RandomHelpers::Pool> g_pool;
int g_count = -1;

}  // namespace

RandomHelpers::RandomHelpers() {
    if (!g_helpers) {
        g_helpers = this;
        owner_ = true;
    }
}

RandomHelpers::~RandomHelpers() {
    if (owner_) {
        g_pool.reset();
        g_helpers = nullptr;
    }
}

int RandomHelpers::Count() {
    if (g_count >= 0)
        return g_count;
    // Two helpers keep ahead of the writes; more only compete with them.
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(cores - 1, 0, 2);
}

void RandomHelpers::SetCount(int count) {
    g_count = count;
}

// Whether the next n bytes come from the helpers' pool, started here for a
// large fill while helpers are allowed.
bool UsePool(std::size_t n, std::int32_t lo, std::int32_t hi) {
    constexpr std::size_t kPoolMinimum = 64 * 1024;
    if (g_pool && !g_pool->Continues(lo, hi))
        g_pool.reset();  // another range, or something else drew in between
    if (!g_pool && g_helpers && n >= kPoolMinimum && RandomHelpers::Count() > 0)
        g_pool = std::make_unique<RandomHelpers::Pool>(RandomHelpers::Count(), lo, hi);
    return g_pool != nullptr;
}

namespace hooks {
void SetHelperHook(std::function<void(std::uint64_t block)> hook) {
    g_helperHook = std::move(hook);
}
void SetReadyHook(std::function<void(std::size_t readyAhead)> hook) {
    g_readyHook = std::move(hook);
}
}  // namespace hooks

const unsigned char* RandomView(std::size_t n, std::int32_t lo, std::int32_t hi) {
    return UsePool(n, lo, hi) ? g_pool->View(n) : nullptr;
}

}  // namespace engine::random

namespace engine {

void FillRandom(unsigned char* out, std::size_t n, std::int32_t lo, std::int32_t hi) {
    using namespace random;
    if (UsePool(n, lo, hi)) {
        g_pool->Read(out, n);
        return;
    }
    // Blocks shorter than this are not worth a vector kernel's setting up.
    constexpr std::size_t kKernelMinimum = 4096;
    const Kernel best = Best();
    for (std::size_t offset = 0; offset < n; offset += kClockBlock) {
        const std::size_t size = std::min(kClockBlock, n - offset);
        const float seed = platform::Timer() * 13.0f;
        FillSeeded(size >= kKernelMinimum ? best : Kernel::Scalar, platform::detail::g_random, seed,
                   out + offset, size, lo, hi);
    }
}

}  // namespace engine
