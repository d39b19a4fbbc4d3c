#include "engine/RandomFill.h"

#include <utility>

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

}  // namespace

void Advance(RandomState& s, float seed, std::size_t n) {
    s.key += static_cast<std::uint64_t>(n) * platform::detail::SeedStep(seed);
    s.counter += static_cast<std::uint64_t>(n) * 2u * kCounterStep;
}

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
        if (kernel == Kernel::Avx512)
            done = avx512::WholeGroups(base, step, out, n, span32, lo);
        else if (kernel == Kernel::Avx2)
            done = avx2::WholeGroups(base, step, out, n, span32, lo);
    }
#endif
    FillScalar(base, step, out, done, n, span, lo);
    Advance(state, seed, n);
}

}  // namespace engine::random
