#include "engine/Gutmann.h"

#include <QChar>
#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "engine/PassProgress.h"
#include "engine/PassWriter.h"
#include "engine/RandomFill.h"
#include "engine/Utilities.h"
#include "lang/Testi.h"
#include "platform/Errors.h"
#include "platform/FileInfo.h"
#include "platform/Files.h"
#include "platform/HeldFile.h"
#include "platform/Messages.h"

namespace engine {

namespace {

using lang::Testi;
const QChar CR(13);

// What one pass writes over the whole file.
struct PassRow {
    enum class Kind { Random, Pattern, Again };
    Kind kind;
    std::array<unsigned char, 3> pattern;  // repeated from the file's first byte
    int patternLength;
    int again;  // Kind::Again: the pass whose bytes are written once more
};

constexpr PassRow Random() {
    return {PassRow::Kind::Random, {}, 0, 0};
}
constexpr PassRow Bytes1(unsigned char a) {
    return {PassRow::Kind::Pattern, {a, a, a}, 1, 0};
}
constexpr PassRow Bytes3(unsigned char a, unsigned char b, unsigned char c) {
    return {PassRow::Kind::Pattern, {a, b, c}, 3, 0};
}
constexpr PassRow Again(int pass) {
    return {PassRow::Kind::Again, {}, 0, pass};
}

constexpr std::array<PassRow, kGutmannPassCount> kPasses = {
    /*  1 */ Random(),
    /*  2 */ Random(),
    /*  3 */ Random(),
    /*  4 */ Random(),
    /*  5 */ Bytes1(0x55),
    /*  6 */ Bytes1(0xAA),
    /*  7 */ Bytes3(0x92, 0x49, 0x24),
    /*  8 */ Bytes3(0x49, 0x24, 0x92),
    /*  9 */ Bytes3(0x24, 0x92, 0x49),
    /* 10 */ Bytes1(0x00),
    /* 11 */ Bytes1(0x11),
    /* 12 */ Bytes1(0x22),
    /* 13 */ Bytes1(0x33),
    /* 14 */ Bytes1(0x44),
    /* 15 */ Bytes1(0x55),
    /* 16 */ Bytes1(0x66),
    /* 17 */ Bytes1(0x77),
    /* 18 */ Bytes1(0x88),
    /* 19 */ Bytes1(0x99),
    /* 20 */ Bytes1(0xAA),
    /* 21 */ Bytes1(0xBB),
    /* 22 */ Bytes1(0xCC),
    /* 23 */ Bytes1(0xDD),
    /* 24 */ Bytes1(0xEE),
    /* 25 */ Bytes1(0xFF),
    /* 26 */ Again(7),
    /* 27 */ Again(8),
    /* 28 */ Again(9),
    /* 29 */ Bytes3(0x6D, 0xB6, 0xDB),
    /* 30 */ Bytes3(0xB6, 0xDB, 0x6D),
    /* 31 */ Bytes3(0xDB, 0x6D, 0xB6),
    /* 32 */ Random(),
    /* 33 */ Random(),
    /* 34 */ Random(),
    /* 35 */ Random(),
};

// A repeat names an earlier pattern pass, so it writes that pass's bytes exactly.
constexpr bool RepeatsAreSound() {
    for (std::size_t i = 0; i < kPasses.size(); ++i) {
        if (kPasses[i].kind != PassRow::Kind::Again)
            continue;
        const int target = kPasses[i].again;
        if (target < 1 || target > static_cast<int>(i))
            return false;
        if (kPasses[target - 1].kind != PassRow::Kind::Pattern)
            return false;
    }
    return true;
}
static_assert(RepeatsAreSound());

const PassRow& RowOf(int Passata) {
    const PassRow& row = kPasses[static_cast<std::size_t>(Passata - 1)];
    return row.kind == PassRow::Kind::Again ? kPasses[static_cast<std::size_t>(row.again - 1)]
                                            : row;
}

class PatternData : public PassData {
  public:
    PatternData(std::int64_t size, const PassRow& row) : size_(size), row_(row) {}
    std::int64_t Size() const override { return size_; }
    void Fill(std::int64_t offset, unsigned char* out, std::size_t n) const override {
        const auto length = static_cast<std::size_t>(row_.patternLength);
        const auto phase = static_cast<std::size_t>(offset % row_.patternLength);
        const std::size_t first = std::min(n, length);
        for (std::size_t i = 0; i < first; ++i) out[i] = row_.pattern[(phase + i) % length];
        // Doubling copies keep the phase: every block copied starts at a multiple
        // of the pattern's length.
        for (std::size_t done = first; done < n;) {
            const std::size_t m = std::min(done, n - done);
            std::memcpy(out + done, out, m);
            done += m;
        }
    }

  private:
    std::int64_t size_;
    const PassRow& row_;
};

class RandomData : public PassData {
  public:
    explicit RandomData(std::int64_t size) : size_(size) {}
    std::int64_t Size() const override { return size_; }
    void Fill(std::int64_t, unsigned char* out, std::size_t n) const override {
        FillRandom(out, n, 0, 255);
    }
    const unsigned char* Data(std::int64_t, unsigned char* buffer, std::size_t n) const override {
        return RandomPassBytes(PassKind::Random, buffer, n);
    }

  private:
    std::int64_t size_;
    // Helper threads for the bytes while the pass is written; they end with it.
    random::RandomHelpers helpers_;
};

}  // namespace

std::unique_ptr<PassData> GutmannPassData(int Passata, std::int64_t length) {
    if (Passata < 1 || Passata > kGutmannPassCount)
        return nullptr;
    const PassRow& row = RowOf(Passata);
    if (row.kind == PassRow::Kind::Random)
        return std::make_unique<RandomData>(length);
    return std::make_unique<PatternData>(length, row);
}

QString GutmannErrorPrompt(const platform::RuntimeError& error) {
    switch (error.Number()) {
        case platform::err::Overflow:
            return error.Description() + CR + CR + Testi[66];
        case platform::err::FileNotFound:
            return error.Description();
        default:
            return Testi[68] + QStringLiteral(": ") + QString::number(error.Number()) + CR +
                   error.Description();
    }
}

namespace {

void MakeWritable(const QString& Path) {
    ClearAttributes(Path);
}
void MakeWritable(const platform::HeldFile& file) {
    file.SetNormalAttributes();
}

std::int64_t LengthOf(const QString& Path) {
    return platform::FileLength(Path);
}
std::int64_t LengthOf(const platform::HeldFile& file) {
    return platform::ByteFile(file).Length();
}

// The 35 passes; the errors but those of WritePass's own writing are thrown.
template <class Target>
PassesEnd Write35(const Target& target, PassProgress& progress) {
    MakeWritable(target);
    const std::int64_t N = LengthOf(target);
    for (std::int16_t Passata = 1; Passata <= kGutmannPassCount; ++Passata) {
        // WritePass shows its own box for a pass it could not write; the file is
        // then left as it is, so that it is not removed half overwritten.
        if (WritePass(target, *GutmannPassData(Passata, N)) == PassesEnd::Failed)
            return PassesEnd::Failed;
        if (!progress.GoOn())
            return PassesEnd::Cancelled;
        progress.Stepped(Passata, Passata);
    }
    return PassesEnd::Written;
}

// The method's own numbers, made here only.
template <class Target>
int Wipe35(const Target& target, PassProgress& progress) {
    const QString& Path = PathOf(target);
    auto fail = [&Path](const platform::RuntimeError& e) {
        Annullato = 1;
        platform::MsgBox(Path + QStringLiteral(": ") + GutmannErrorPrompt(e),
                         platform::mb::Exclamation, Testi[67]);
        return -1;
    };
    try {
        switch (Write35(target, progress)) {
            case PassesEnd::Written:
                return 1;
            case PassesEnd::Cancelled:
                return 0;
            case PassesEnd::Failed:
                return kGutmannPassFailed;
        }
        return kGutmannPassFailed;
    } catch (const platform::RuntimeError& e) {
        return fail(e);
    } catch (const std::bad_alloc&) {
        return fail(platform::RuntimeError(7, QStringLiteral("Out of memory")));
    }
}

}  // namespace

int WipeGutmann(const QString& Path, PassProgress& progress) {
    return Wipe35(Path, progress);
}

int WipeGutmann(const platform::HeldFile& file, PassProgress& progress) {
    return Wipe35(file, progress);
}

}  // namespace engine
