#include <algorithm>
#include <optional>
#include <span>

#include "engine/PassProgress.h"
#include "engine/RandomFill.h"
#include "engine/Wipe.h"
#include "platform/Files.h"
#include "platform/HeldFile.h"

namespace engine {

namespace {

// Writes n bytes of the kind at byte `start` (from 1) through the pass buffer,
// sized to the chunk; a drawn-value region gets one value of its own.
void WriteRegion(platform::ByteFile& file, std::int64_t start, std::int64_t n, PassKind kind) {
    if (n <= 0)
        return;
    unsigned char* buffer = PassBuffer(static_cast<std::size_t>(
        std::min<std::int64_t>(n, static_cast<std::int64_t>(kWriteBuffer))));
    unsigned char v = kind == PassKind::DrawnValue ? DrawValue() : 0;
    file.Seek(start);
    const bool random = IsRandomKind(kind);
    std::size_t filled = 0;
    while (n > 0) {
        auto m = static_cast<std::size_t>(std::min<std::int64_t>(n, kWriteBuffer));
        if (random) {
            file.Write(RandomPassBytes(kind, buffer, m), m);
        } else {
            // A constant region is laid out in the buffer once.
            if (filled < m) {
                FillKind(kind, buffer, m, v);
                filled = m;
            }
            file.Write(buffer, m);
        }
        n -= static_cast<std::int64_t>(m);
    }
}

// A pass of a file under 1000 bytes: one write, no progress. False when WritePass
// could not write it (its box is shown).
template <class Target>
bool WriteSmallPass(const Target& target, PassKind kind, std::int64_t length) {
    Bytes data(static_cast<std::size_t>(length));
    if (IsRandomKind(kind)) {
        FillKind(kind, data.data(), data.size(), 0);
        return WritePass(target, data);
    }
    FillKind(kind, data.data(), data.size(), kind == PassKind::DrawnValue ? DrawValue() : 0);
    platform::ByteFile file(target);
    file.Seek(1);
    file.Write(data.data(), data.size());
    file.Sync();
    file.Close();
    return true;
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
            if (!WriteSmallPass(target, kind, length))
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
            WriteRegion(file, g.chunk * i + 1, g.chunk, kind);
            progress.Stepped(pass, i + 1);
            if (!progress.GoOn()) {
                file.Sync();
                file.Close();
                return PassesEnd::Cancelled;
            }
        }
        WriteRegion(file, 100 * g.chunk + 1, g.tail, kind);
        file.Sync();
        file.Close();
    }
    return PassesEnd::Written;
}

}  // namespace

PassesEnd WriteMethodPasses(const QString& Path, int Metodo, std::int64_t length,
                            PassProgress& progress) {
    return WritePasses(Path, Metodo, length, progress);
}

PassesEnd WriteMethodPasses(const platform::HeldFile& file, int Metodo, std::int64_t length,
                            PassProgress& progress) {
    return WritePasses(file, Metodo, length, progress);
}

}  // namespace engine
