#include "engine/RandomFill.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "engine/Wipe.h"
#include "platform/Threads.h"

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define QUELLIX_X86_KERNELS 1
// GCC 12 warns about the "undefined" start values inside its own AVX-512 shifts.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#endif

namespace engine::random {

namespace {

using platform::detail::RandomState;

std::function<void(std::uint64_t)> g_helperHook;

constexpr std::uint64_t kCounterStep = 0x9E3779B97F4A7C16ull;  // as DrawBits
constexpr std::uint64_t kMul1 = 0xBF58476D1CE4E5B9ull;         // as Mix64
constexpr std::uint64_t kMul2 = 0x94D049BB133111EBull;

// The byte a draw of 24 bits m gives: Int(m / 2^24 * span + lo) as an integer,
// its low byte kept (the same number for every span below 2^29, where the double
// product is exact: every byte range).
inline unsigned char ByteOf(std::uint64_t m, std::uint64_t span, std::int32_t lo) {
    return static_cast<unsigned char>(static_cast<std::int64_t>((m * span) >> 24) + lo);
}

// The vector kernels take spans that fit 32 bits (every byte range does).
bool VectorSpan(std::uint64_t span) {
    return span >= 1 && span <= 0xFFFFFFFFull;
}

std::uint64_t SpanOf(std::int32_t lo, std::int32_t hi) {
    return static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - lo + 1);
}

void FillPlain(RandomState& s, float seed, unsigned char* out, std::size_t n, std::int32_t lo,
               std::int32_t hi) {
    const std::uint64_t span = SpanOf(lo, hi);
    const std::uint64_t step = platform::detail::SeedStep(seed);
    for (std::size_t i = 0; i < n; ++i) {
        s.key += step;
        (void)platform::detail::DrawBits(s);
        out[i] = ByteOf(platform::detail::DrawBits(s), span, lo);
    }
}

// Bytes from..n of a run: byte j is drawn from base + (j + 1) * step.
void FillScalar(std::uint64_t base, std::uint64_t step, unsigned char* out, std::size_t from,
                std::size_t n, std::uint64_t span, std::int32_t lo) {
    std::uint64_t x = base + static_cast<std::uint64_t>(from) * step;
    for (std::size_t j = from; j < n; ++j) {
        x += step;
        out[j] = ByteOf(platform::detail::Mix64(x) >> 40, span, lo);
    }
}

#ifdef QUELLIX_X86_KERNELS

#define QUELLIX_AVX2 __attribute__((target("avx2")))
#define QUELLIX_AVX512 __attribute__((target("avx512f,avx512dq,avx512bw")))
#define QUELLIX_AVX2_OP __attribute__((target("avx2"), always_inline))
#define QUELLIX_AVX512_OP __attribute__((target("avx512f,avx512dq,avx512bw"), always_inline))

// What the vector kernel does with each instruction set.
struct Avx2Ops {
    using V = __m256i;
    static constexpr int kLanes = 4;
    QUELLIX_AVX2_OP static V Set1(std::uint64_t v) {
        return _mm256_set1_epi64x(static_cast<long long>(v));
    }
    QUELLIX_AVX2_OP static V Set1Byte(char b) { return _mm256_set1_epi8(b); }
    QUELLIX_AVX2_OP static V Zero() { return _mm256_setzero_si256(); }
    QUELLIX_AVX2_OP static V Load(const std::uint64_t* p) {
        return _mm256_load_si256(reinterpret_cast<const __m256i*>(p));
    }
    QUELLIX_AVX2_OP static void Store(unsigned char* p, V v) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
    }
    QUELLIX_AVX2_OP static V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
    template <int N>
    QUELLIX_AVX2_OP static V Srl(V a) {
        return _mm256_srli_epi64(a, N);
    }
    template <int N>
    QUELLIX_AVX2_OP static V Sll(V a) {
        return _mm256_slli_epi64(a, N);
    }
    // The low 32 bits of each lane of a times those of b, as 64 bits.
    QUELLIX_AVX2_OP static V MulLow32(V a, V b) { return _mm256_mul_epu32(a, b); }
    // No 64-bit multiply: three of 32 bits.
    QUELLIX_AVX2_OP static V Mul64(V a, std::uint64_t c) {
        const V lo = Set1(c & 0xFFFFFFFFu);
        const V hi = Set1(c >> 32);
        const V cross = _mm256_add_epi64(MulLow32(Srl<32>(a), lo), MulLow32(a, hi));
        return _mm256_add_epi64(MulLow32(a, lo), Sll<32>(cross));
    }
    // acc | (x & mask)
    QUELLIX_AVX2_OP static V OrMasked(V acc, V x, V mask) {
        return _mm256_or_si256(acc, _mm256_and_si256(x, mask));
    }
    QUELLIX_AVX2_OP static V Add64(V a, V b) { return _mm256_add_epi64(a, b); }
    QUELLIX_AVX2_OP static V AddBytes(V a, V b) { return _mm256_add_epi8(a, b); }
};

struct Avx512Ops {
    using V = __m512i;
    static constexpr int kLanes = 8;
    QUELLIX_AVX512_OP static V Set1(std::uint64_t v) {
        return _mm512_set1_epi64(static_cast<long long>(v));
    }
    QUELLIX_AVX512_OP static V Set1Byte(char b) { return _mm512_set1_epi8(b); }
    QUELLIX_AVX512_OP static V Zero() { return _mm512_setzero_si512(); }
    QUELLIX_AVX512_OP static V Load(const std::uint64_t* p) { return _mm512_load_si512(p); }
    QUELLIX_AVX512_OP static void Store(unsigned char* p, V v) { _mm512_storeu_si512(p, v); }
    QUELLIX_AVX512_OP static V Xor(V a, V b) { return _mm512_xor_si512(a, b); }
    template <int N>
    QUELLIX_AVX512_OP static V Srl(V a) {
        return _mm512_srli_epi64(a, N);
    }
    template <int N>
    QUELLIX_AVX512_OP static V Sll(V a) {
        return _mm512_slli_epi64(a, N);
    }
    QUELLIX_AVX512_OP static V MulLow32(V a, V b) { return _mm512_mul_epu32(a, b); }
    QUELLIX_AVX512_OP static V Mul64(V a, std::uint64_t c) {
        return _mm512_mullo_epi64(a, Set1(c));
    }
    // acc | (x & mask) in one instruction.
    QUELLIX_AVX512_OP static V OrMasked(V acc, V x, V mask) {
        return _mm512_ternarylogic_epi64(acc, x, mask, 0xF8);
    }
    QUELLIX_AVX512_OP static V Add64(V a, V b) { return _mm512_add_epi64(a, b); }
    QUELLIX_AVX512_OP static V AddBytes(V a, V b) { return _mm512_add_epi8(a, b); }
};

namespace avx2 {
using Ops = Avx2Ops;
#define QUELLIX_KERNEL QUELLIX_AVX2
#include "engine/RandomKernel.inc"
#undef QUELLIX_KERNEL
}  // namespace avx2

namespace avx512 {
using Ops = Avx512Ops;
#define QUELLIX_KERNEL QUELLIX_AVX512
#include "engine/RandomKernel.inc"
#undef QUELLIX_KERNEL
}  // namespace avx512

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#endif  // QUELLIX_X86_KERNELS

bool CpuHasAvx2() {
#ifdef QUELLIX_X86_KERNELS
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

bool CpuHasAvx512() {
#ifdef QUELLIX_X86_KERNELS
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
           __builtin_cpu_supports("avx512bw");
#else
    return false;
#endif
}

// The state after n calls that all saw `seed`.
void Advance(RandomState& s, float seed, std::size_t n) {
    s.key += static_cast<std::uint64_t>(n) * platform::detail::SeedStep(seed);
    s.counter += static_cast<std::uint64_t>(n) * 2u * kCounterStep;
}

}  // namespace

bool Supported(Kernel kernel) {
    switch (kernel) {
        case Kernel::Plain:
        case Kernel::Scalar:
            return true;
        case Kernel::Avx2: {
            static const bool has = CpuHasAvx2();
            return has;
        }
        case Kernel::Avx512: {
            static const bool has = CpuHasAvx512();
            return has;
        }
    }
    return false;
}

Kernel Best() {
    static const Kernel best = Supported(Kernel::Avx512) ? Kernel::Avx512
                               : Supported(Kernel::Avx2) ? Kernel::Avx2
                                                         : Kernel::Scalar;
    return best;
}

const char* NameOf(Kernel kernel) {
    switch (kernel) {
        case Kernel::Plain:
            return "plain";
        case Kernel::Scalar:
            return "scalar";
        case Kernel::Avx2:
            return "avx2";
        case Kernel::Avx512:
            return "avx512";
    }
    return "?";
}

void FillSeeded(Kernel kernel, RandomState& state, float seed, unsigned char* out, std::size_t n,
                std::int32_t lo, std::int32_t hi) {
    if (kernel == Kernel::Plain) {
        FillPlain(state, seed, out, n, lo, hi);
        return;
    }
    const std::uint64_t span = SpanOf(lo, hi);
    const std::uint64_t base = state.counter + state.key;
    const std::uint64_t step = platform::detail::SeedStep(seed) + 2u * kCounterStep;
    std::size_t done = 0;
#ifdef QUELLIX_X86_KERNELS
    if (VectorSpan(span) && Supported(kernel)) {
        const auto span32 = static_cast<std::uint32_t>(span);
        const auto lanes = std::make_integer_sequence<int, 8>{};
        if (kernel == Kernel::Avx512) {
            const std::size_t groups = n / 64;
            if (span == 256)
                avx512::Groups<true>(base, step, out, groups, span32, lo, lanes);
            else
                avx512::Groups<false>(base, step, out, groups, span32, lo, lanes);
            done = groups * 64;
        } else if (kernel == Kernel::Avx2) {
            const std::size_t groups = n / 32;
            if (span == 256)
                avx2::Groups<true>(base, step, out, groups, span32, lo, lanes);
            else
                avx2::Groups<false>(base, step, out, groups, span32, lo, lanes);
            done = groups * 32;
        }
    }
#endif
    FillScalar(base, step, out, done, n, span, lo);
    Advance(state, seed, n);
}

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
