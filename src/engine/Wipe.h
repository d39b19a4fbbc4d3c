// Overwrite passes, the pass writer, the random numbers and the per-file wipe.
// They build and link on Qt Core alone: what a window shows of them goes through
// engine/PassProgress.h, and engine/ProgressWindow.h has the progress window's side.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/Run.h"

namespace platform {
class HeldFile;
class TreeAnchor;
}  // namespace platform

namespace engine {

class PassProgress;
class WipeProgress;

enum class PassKind {
    Zeros,        // the character "0" (byte 48) in every byte
    Ones,         // the character "1" (byte 49) in every byte
    Byte255,      // the value 255 in every byte
    Byte0,        // the value 0 in every byte
    DrawnValue,   // one value from 1 to 255 drawn for each chunk (and for the tail)
    Random,       // RandomNumber(0, 255) for every byte
    RandomDigit,  // RandomNumber(48, 57) for every byte
};

// The 35-pass method's index; its passes have a table of their own (Gutmann.h).
inline constexpr int kGutmannMethod = 8;

// A set of pass kinds.
using KindSet = unsigned;
constexpr KindSet KindBit(PassKind kind) {
    return KindSet{1} << static_cast<unsigned>(kind);
}
inline constexpr KindSet kEveryKind = ~KindSet{0};

// What a wipe method is: its passes and how its progress shows and yields. The
// methods differ only here; the writers and windows read this, never the index.
struct MethodTraits {
    // The passes of methods 0 to 7 in the order written; empty for the 35-pass method.
    std::span<const PassKind> passes;
    // The status line carries the pass number.
    bool showsPassNumber = false;
    // Each pass but a Random one sets the bar's total to 99 when it begins.
    bool ownTotal = false;
    // A "0" pass refreshes the window and yields once before its first chunk.
    bool refreshesZeros = false;
    // After each chunk, asked whether to go on, the window yields once more.
    bool yieldsTwice = false;
    // The free-space blocks of these kinds are each followed by a yield.
    KindSet spaceYieldsAfter = 0;
    // The 35-pass method, which the free-space wipe refuses.
    bool thirtyFivePass = false;
};
// The traits of method `metodo`; a method with no passes and no traits for an
// index outside 0 to 8.
const MethodTraits& TraitsOf(int metodo);

// The passes of methods 0 to 7, in the order written; empty for any other index
// (method 8 has a table of its own).
std::span<const PassKind> PassesOf(int metodo);

// How a pass over L bytes is cut into writes: L < 1000 in one write, else 100
// chunks of c bytes and a tail of r bytes.
struct PassGeometry {
    std::int64_t chunk = 0;  // c; 0 when the pass is one write
    std::int64_t tail = 0;   // r
    bool Chunked() const { return chunk > 0; }
};
PassGeometry GeometryOf(std::int64_t length);

// The data of one pass, produced in pieces so that memory stays bounded.
class PassData {
  public:
    virtual ~PassData() = default;
    virtual std::int64_t Size() const = 0;
    // Writes the bytes from zero-based offset to offset + n into out. Pieces are
    // asked for in order, each once.
    virtual void Fill(std::int64_t offset, unsigned char* out, std::size_t n) const = 0;
    // The same bytes: in `buffer` (filled there) or wherever they already lie, valid
    // until the next call.
    virtual const unsigned char* Data(std::int64_t offset, unsigned char* buffer,
                                      std::size_t n) const {
        Fill(offset, buffer, n);
        return buffer;
    }
};

using Bytes = std::vector<unsigned char>;

// How a writing of passes ended: every writer of passes says it so.
enum class PassesEnd {
    Written,    // every pass reached the file
    Cancelled,  // the progress said to stop after a step
    Failed,     // WritePass could not write a pass and has shown its box
};

// Writes the pass data into the file from byte 1 on; yields before and after.
// Its errors are shown in its own box and never thrown; Failed tells the caller
// that the pass did not reach the file, so the file must not be removed.
PassesEnd WritePass(const QString& Path, const PassData& Dati);
PassesEnd WritePass(const QString& Path, const Bytes& Dati);
// The same on the file a wipe holds: only while its name leads to that file.
PassesEnd WritePass(const platform::HeldFile& file, const PassData& Dati);
PassesEnd WritePass(const platform::HeldFile& file, const Bytes& Dati);

// A random whole number from Basso to Alto, both included; reseeds from the clock
// on every call and drops one draw before the one it returns.
std::int32_t RandomNumber(std::int32_t Basso, std::int32_t Alto);
// n bytes drawn by RandomNumber(lo, hi) one after another.
void FillRandom(unsigned char* out, std::size_t n, std::int32_t lo, std::int32_t hi);
// The value of a drawn-value region: 1 to 255, never 0.
unsigned char DrawValue();
// Fills n bytes as a pass of this kind writes them; v is the drawn value of the region.
void FillKind(PassKind kind, unsigned char* out, std::size_t n, unsigned char v);
// Whether a pass of this kind draws its bytes (Random, RandomDigit).
bool IsRandomKind(PassKind kind);

// Writes the passes of methods 0 to 7 over the file of `length` bytes, stopping
// at the first pass that fails. A pass cut into chunks tells the progress when
// it begins and after each chunk, and asks whether to go on; a pass of a file
// under 1000 bytes is one write and tells nothing. The errors thrown by the
// writes it makes itself go to the caller.
PassesEnd WriteMethodPasses(const QString& Path, int Metodo, std::int64_t length,
                            PassProgress& progress);
PassesEnd WriteMethodPasses(const platform::HeldFile& file, int Metodo, std::int64_t length,
                            PassProgress& progress);

// Destroys one file: its passes, a random name, truncation, deletion. The length
// and the folder of the file are kept in MainWindow(). The file and its folder
// are found once, beneath the run's top when the run has one, and every step acts
// on what was found. A file on a copy-on-write file system is wiped and still
// counted (its old blocks stay).
void WipeFile(const QString& Path, std::int16_t Metodo, WipeProgress& progress,
              platform::TreeAnchor* beneath = nullptr);

// The 35-pass method: 1 when written, 0 when cancelled, -1 on an error (its box
// shown, the flag set), kGutmannPassFailed when a pass could not be written
// (WritePass's box shown; the method stops there). After each pass it asks the
// progress whether to go on, then tells it the pass is written.
inline constexpr int kGutmannPassFailed = -2;
int WipeGutmann(const QString& Path, PassProgress& progress);
int WipeGutmann(const platform::HeldFile& file, PassProgress& progress);

// The bounded size of every write of the pass writer (engine/PassWriter.h).
inline constexpr std::size_t kWriteBuffer = 1 << 20;

}  // namespace engine
