#include "engine/Wipe.h"

#include <cmath>
#include <cstring>
#include <iterator>

#include "platform/Clock.h"
#include "platform/Errors.h"

namespace engine {

namespace {

using K = PassKind;
constexpr PassKind kMethod0[] = {K::DrawnValue};
constexpr PassKind kMethod1[] = {K::Zeros};
constexpr PassKind kMethod2[] = {K::Random};
constexpr PassKind kMethod3[] = {K::Zeros, K::Random};
constexpr PassKind kMethod4[] = {K::Zeros, K::Ones, K::Random};
constexpr PassKind kMethod5[] = {K::Zeros, K::Zeros, K::Zeros, K::Ones,
                                 K::Ones,  K::Ones,  K::Random};
constexpr PassKind kMethod6[] = {K::Zeros, K::Ones, K::Zeros, K::Ones,
                                 K::Zeros, K::Ones, K::Random};
constexpr PassKind kMethod7[] = {K::Byte255,     K::Byte0,       K::RandomDigit, K::RandomDigit,
                                 K::RandomDigit, K::RandomDigit, K::RandomDigit};

// Methods 0, 1, 3 and 4 bar each pass but the random one on a total of their own;
// 1, 3 and 4 refresh the window before a "0" pass; 0 yields twice per chunk. In a
// free-space cycle, 6 yields after each block of "1"s and 7 after every block.
constexpr MethodTraits kMethods[] = {
    {.passes = kMethod0, .ownTotal = true, .yieldsTwice = true},
    {.passes = kMethod1, .ownTotal = true, .refreshesZeros = true},
    {.passes = kMethod2},
    {.passes = kMethod3, .ownTotal = true, .refreshesZeros = true},
    {.passes = kMethod4, .ownTotal = true, .refreshesZeros = true},
    {.passes = kMethod5, .showsPassNumber = true},
    {.passes = kMethod6, .showsPassNumber = true, .spaceYieldsAfter = KindBit(K::Ones)},
    {.passes = kMethod7, .showsPassNumber = true, .spaceYieldsAfter = kEveryKind},
    {.passes = {}, .showsPassNumber = true, .thirtyFivePass = true},
};
static_assert(kMethods[kGutmannMethod].thirtyFivePass);
constexpr MethodTraits kNoMethod{};

}  // namespace

const MethodTraits& TraitsOf(int metodo) {
    if (metodo < 0 || metodo >= static_cast<int>(std::size(kMethods)))
        return kNoMethod;
    return kMethods[metodo];
}

std::span<const PassKind> PassesOf(int metodo) {
    return TraitsOf(metodo).passes;
}

PassGeometry GeometryOf(std::int64_t length) {
    if (length < 1000)
        return {};
    std::int64_t c = length / 100;
    return {c, length - 100 * c};
}

std::int32_t RandomNumber(std::int32_t Basso, std::int32_t Alto) {
    std::int64_t span = static_cast<std::int64_t>(Alto) - Basso + 1;
    if (span > INT32_MAX || span < INT32_MIN) {
        platform::Raise(platform::err::Overflow);
    }
    platform::Randomize(static_cast<float>(platform::Timer() * 13.0f));
    (void)platform::Rnd();
    double r = platform::Rnd();
    return static_cast<std::int32_t>(std::floor(r * static_cast<double>(span) + Basso));
}

// FillRandom is in RandomHelpers.cpp with the helper threads it uses.

unsigned char DrawValue() {
    // r * 254 + 1 made whole, halves to the even one: 1 to 255, never 0.
    float x = platform::Rnd() * 254.0f + 1.0f;
    return static_cast<unsigned char>(std::nearbyint(x));
}

bool IsRandomKind(PassKind k) {
    return k == PassKind::Random || k == PassKind::RandomDigit;
}

void FillKind(PassKind kind, unsigned char* out, std::size_t n, unsigned char v) {
    switch (kind) {
        case PassKind::Zeros:
            std::memset(out, '0', n);
            break;
        case PassKind::Ones:
            std::memset(out, '1', n);
            break;
        case PassKind::Byte255:
            std::memset(out, 255, n);
            break;
        case PassKind::Byte0:
            std::memset(out, 0, n);
            break;
        case PassKind::DrawnValue:
            std::memset(out, v, n);
            break;
        case PassKind::Random:
            FillRandom(out, n, 0, 255);
            break;
        case PassKind::RandomDigit:
            FillRandom(out, n, 48, 57);
            break;
    }
}

}  // namespace engine
