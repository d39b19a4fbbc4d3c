#include "engine/PassWriter.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <span>

#include "engine/PassProgress.h"
#include "engine/RandomFill.h"
#include "engine/Wipe.h"
#include "lang/Testi.h"
#include "platform/Errors.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "platform/HeldFile.h"
#include "platform/Messages.h"

namespace engine {

namespace {

std::unique_ptr<unsigned char[]> g_buffer;
std::size_t g_size = 0;
// The constant region the pass buffer holds from its start, if any (size 0: none).
struct Laid {
    PassKind kind = PassKind::Zeros;
    unsigned char value = 0;
    std::size_t size = 0;
};
Laid g_laid;

// The buffer, grown to n bytes; what a grown one holds is nothing yet.
unsigned char* Buffer(std::size_t n) {
    n = std::min(std::max<std::size_t>(n, 1), kWriteBuffer);
    if (n > g_size) {
        g_buffer.reset();
        g_buffer = std::make_unique_for_overwrite<unsigned char[]>(n);
        g_size = n;
        g_laid = {};
    }
    return g_buffer.get();
}

}  // namespace

unsigned char* PassBuffer(std::size_t n) {
    unsigned char* buffer = Buffer(n);
    g_laid = {};
    return buffer;
}

const unsigned char* RandomPassBytes(PassKind kind, unsigned char* buffer, std::size_t n) {
    const bool digits = kind == PassKind::RandomDigit;
    // Bytes that helper threads computed are written from where they lie.
    if (const unsigned char* ready = random::RandomView(n, digits ? 48 : 0, digits ? 57 : 255))
        return ready;
    FillKind(kind, buffer, n, 0);
    return buffer;
}

const unsigned char* KindBytes::operator()(std::int64_t, std::size_t n) const {
    if (IsRandomKind(kind_))
        return RandomPassBytes(kind_, PassBuffer(n), n);
    unsigned char* buffer = Buffer(n);
    if (g_laid.size < n || g_laid.kind != kind_ || g_laid.value != value_) {
        FillKind(kind_, buffer, n, value_);
        g_laid = {kind_, value_, n};
    }
    return buffer;
}

const QString& PathOf(const QString& path) {
    return path;
}
const QString& PathOf(const platform::HeldFile& file) {
    return file.Path();
}

namespace {

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

template <class Target>
PassesEnd WritePassTo(const Target& target, const PassData& Dati) {
    platform::DoEvents();
    try {
        platform::ByteFile file(target);
        file.Seek(1);
        WriteRegion(file, Dati.Size(), DataBytes(Dati));
        platform::DoEvents();
        file.Sync();
        file.Close();
        return PassesEnd::Written;
    } catch (const platform::RuntimeError& e) {
        platform::MsgBox(PathOf(target) + QStringLiteral(": ") + platform::DescribeWithNumber(e),
                         platform::mb::Exclamation, lang::Testi[28]);
        return PassesEnd::Failed;
    }
}

// Writes n bytes of the kind at byte `start` (from 1); a drawn-value region gets
// one value of its own.
void WriteKindAt(platform::ByteFile& file, std::int64_t start, std::int64_t n, PassKind kind) {
    if (n <= 0)
        return;
    const unsigned char v = kind == PassKind::DrawnValue ? DrawValue() : 0;
    file.Seek(start);
    WriteRegion(file, n, KindBytes(kind, v));
}

// A pass of a file under 1000 bytes: one write, no progress. Failed when WritePass
// could not write it (its box is shown).
template <class Target>
PassesEnd WriteSmallPass(const Target& target, PassKind kind, std::int64_t length) {
    if (IsRandomKind(kind)) {
        // Drawn whole before WritePass yields.
        Bytes data(static_cast<std::size_t>(length));
        FillKind(kind, data.data(), data.size(), 0);
        return WritePass(target, data);
    }
    const unsigned char v = kind == PassKind::DrawnValue ? DrawValue() : 0;
    platform::ByteFile file(target);
    file.Seek(1);
    WriteRegion(file, length, KindBytes(kind, v));
    file.Sync();
    file.Close();
    return PassesEnd::Written;
}

template <class Target>
PassesEnd WritePasses(const Target& target, int Metodo, std::int64_t length,
                      PassProgress& progress) {
    const std::span<const PassKind> passes = PassesOf(Metodo);
    const PassGeometry g = GeometryOf(length);

    for (std::size_t k = 0; k < passes.size(); ++k) {
        const PassKind kind = passes[k];
        const int pass = static_cast<int>(k) + 1;
        if (!g.Chunked()) {
            if (WriteSmallPass(target, kind, length) == PassesEnd::Failed)
                return PassesEnd::Failed;
            continue;
        }
        platform::ByteFile file(target);
        // Helper threads compute the random bytes of large chunks; they end with the pass.
        std::optional<random::RandomHelpers> helpers;
        if (IsRandomKind(kind))
            helpers.emplace();
        progress.PassBegins(pass, kind);

        for (int i = 0; i <= 99; ++i) {
            WriteKindAt(file, g.chunk * i + 1, g.chunk, kind);
            progress.Stepped(pass, i + 1);
            if (!progress.GoOn()) {
                file.Sync();
                file.Close();
                return PassesEnd::Cancelled;
            }
        }
        WriteKindAt(file, 100 * g.chunk + 1, g.tail, kind);
        file.Sync();
        file.Close();
    }
    return PassesEnd::Written;
}

}  // namespace

PassesEnd WritePass(const QString& Path, const PassData& Dati) {
    return WritePassTo(Path, Dati);
}

PassesEnd WritePass(const platform::HeldFile& file, const PassData& Dati) {
    return WritePassTo(file, Dati);
}

PassesEnd WritePass(const QString& Path, const Bytes& Dati) {
    return WritePass(Path, BufferData(Dati));
}

PassesEnd WritePass(const platform::HeldFile& file, const Bytes& Dati) {
    return WritePass(file, BufferData(Dati));
}

PassesEnd WriteMethodPasses(const QString& Path, int Metodo, std::int64_t length,
                            PassProgress& progress) {
    return WritePasses(Path, Metodo, length, progress);
}

PassesEnd WriteMethodPasses(const platform::HeldFile& file, int Metodo, std::int64_t length,
                            PassProgress& progress) {
    return WritePasses(file, Metodo, length, progress);
}

}  // namespace engine
