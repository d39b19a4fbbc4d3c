#include "engine/Wipe.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "lang/Testi.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "platform/Messages.h"

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

constexpr std::span<const PassKind> kMethods[] = {kMethod0, kMethod1, kMethod2, kMethod3,
                                                  kMethod4, kMethod5, kMethod6, kMethod7};

class BufferData : public PassData {
  public:
    explicit BufferData(const Bytes& bytes) : bytes_(bytes) {}
    std::int64_t Size() const override { return static_cast<std::int64_t>(bytes_.size()); }
    void Fill(std::int64_t offset, unsigned char* out, std::size_t n) const override {
        std::memcpy(out, bytes_.data() + offset, n);
    }

  private:
    const Bytes& bytes_;
};

}  // namespace

std::span<const PassKind> PassesOf(int metodo) {
    if (metodo < 0 || metodo > 7)
        return {};
    return kMethods[metodo];
}

bool ShowsPassNumber(int metodo) {
    return metodo >= 5 && metodo <= 8;
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

void FillRandom(unsigned char* out, std::size_t n, std::int32_t lo, std::int32_t hi) {
    const std::uint64_t span = static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - lo + 1);
    std::size_t i = 0;
    while (i < n) {
        // Every byte reseeds, drops a draw and draws, as RandomNumber does. The clock
        // is read once per block of 64 bytes: a block takes far less than the
        // clock's tick, so the bytes get the seeds they would get reading it each time.
        const float seed = platform::Timer() * 13.0f;
        const std::size_t end = std::min(n, i + 64);
        platform::RandomRun gen;
        for (; i < end; ++i) {
            gen.Randomize(seed);
            (void)gen.RndBits();
            // The draw is m / 2^24 exactly, so Int(r * span + lo) is this integer
            // formula bit for bit (m * span < 2^53 for any byte range).
            const std::uint64_t m = gen.RndBits();
            out[i] = static_cast<unsigned char>(static_cast<std::int64_t>((m * span) >> 24) + lo);
        }
    }
}

bool WritePass(const QString& Path, const PassData& Dati) {
    platform::DoEvents();
    try {
        platform::ByteFile file(Path);
        file.Seek(1);
        const std::int64_t size = Dati.Size();
        auto buffer = std::make_unique<unsigned char[]>(static_cast<std::size_t>(
            std::min<std::int64_t>(std::max<std::int64_t>(size, 1), kWriteBuffer)));
        for (std::int64_t done = 0; done < size;) {
            auto n = static_cast<std::size_t>(std::min<std::int64_t>(size - done, kWriteBuffer));
            Dati.Fill(done, buffer.get(), n);
            file.Write(buffer.get(), n);
            done += static_cast<std::int64_t>(n);
        }
        platform::DoEvents();
        file.Sync();
        file.Close();
        return true;
    } catch (const platform::RuntimeError& e) {
        platform::MsgBox(platform::DescribeWithNumber(e), platform::mb::Exclamation,
                         lang::Testi[28]);
        return false;
    }
}

bool WritePass(const QString& Path, const Bytes& Dati) {
    return WritePass(Path, BufferData(Dati));
}

}  // namespace engine
