#include "engine/Wipe.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "engine/RandomFill.h"
#include "lang/Testi.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "platform/HeldFile.h"
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

// FillRandom is in RandomFill.cpp with its kernels.

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

const unsigned char* RandomPassBytes(PassKind kind, unsigned char* buffer, std::size_t n) {
    const bool digits = kind == PassKind::RandomDigit;
    // Bytes that helper threads computed are written from where they lie.
    if (const unsigned char* ready = random::RandomView(n, digits ? 48 : 0, digits ? 57 : 255))
        return ready;
    FillKind(kind, buffer, n, 0);
    return buffer;
}

unsigned char* PassBuffer(std::size_t n) {
    static std::unique_ptr<unsigned char[]> buffer;
    static std::size_t size = 0;
    n = std::min(std::max<std::size_t>(n, 1), kWriteBuffer);
    if (n > size) {
        buffer.reset();
        buffer = std::make_unique_for_overwrite<unsigned char[]>(n);
        size = n;
    }
    return buffer.get();
}

namespace {

const QString& PathOf(const QString& path) {
    return path;
}
const QString& PathOf(const platform::HeldFile& file) {
    return file.Path();
}

template <class Target>
bool WritePassTo(const Target& target, const PassData& Dati) {
    platform::DoEvents();
    try {
        platform::ByteFile file(target);
        file.Seek(1);
        const std::int64_t size = Dati.Size();
        unsigned char* buffer = PassBuffer(static_cast<std::size_t>(
            std::min<std::int64_t>(std::max<std::int64_t>(size, 1), kWriteBuffer)));
        for (std::int64_t done = 0; done < size;) {
            auto n = static_cast<std::size_t>(std::min<std::int64_t>(size - done, kWriteBuffer));
            file.Write(Dati.Data(done, buffer, n), n);
            done += static_cast<std::int64_t>(n);
        }
        platform::DoEvents();
        file.Sync();
        file.Close();
        return true;
    } catch (const platform::RuntimeError& e) {
        platform::MsgBox(PathOf(target) + QStringLiteral(": ") + platform::DescribeWithNumber(e),
                         platform::mb::Exclamation, lang::Testi[28]);
        return false;
    }
}

}  // namespace

bool WritePass(const QString& Path, const PassData& Dati) {
    return WritePassTo(Path, Dati);
}

bool WritePass(const platform::HeldFile& file, const PassData& Dati) {
    return WritePassTo(file, Dati);
}

bool WritePass(const QString& Path, const Bytes& Dati) {
    return WritePass(Path, BufferData(Dati));
}

bool WritePass(const platform::HeldFile& file, const Bytes& Dati) {
    return WritePass(file, BufferData(Dati));
}

}  // namespace engine
