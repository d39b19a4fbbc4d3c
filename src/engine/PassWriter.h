// The one pass writer. Every pass of every method, each of the 35 passes and every
// block of a free-space fill reaches its file through WriteRegion, so a fault in
// how a region is cut into writes or where its bytes come from is one fault, found
// by every test of every writer. For the engine's own files only.
#pragma once

#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "engine/Wipe.h"

namespace platform {
class HeldFile;
}  // namespace platform

namespace engine {

// The buffer the pass writer's bytes are laid out in, at least n bytes (n at most
// kWriteBuffer): made when a pass first needs it and kept for every later pass and
// file, grown only when a pass needs more, so that a tree of small files allocates
// it once. The caller lays out its own bytes there: the buffer no longer counts as
// holding a constant region. One writer at a time; valid until the next call.
unsigned char* PassBuffer(std::size_t n);

// The bytes of a region of a pass of `kind`, `value` the drawn value of the
// region: a constant kind is laid out in the pass buffer only when the buffer does
// not hold those bytes already (a region of "0"s after another is not laid out
// again), a random kind comes from the helpers' ring where the bytes lie there.
class KindBytes {
  public:
    KindBytes(PassKind kind, unsigned char value) : kind_(kind), value_(value) {}
    // The next n bytes, valid until the next call.
    const unsigned char* operator()(std::int64_t offset, std::size_t n) const;

  private:
    PassKind kind_;
    unsigned char value_;
};

// The next n bytes of a pass of a random kind: where the helper threads computed
// them, else filled into `buffer`. Valid until the next call.
const unsigned char* RandomPassBytes(PassKind kind, unsigned char* buffer, std::size_t n);

// The bytes of the pass data, laid out in the pass buffer or where they lie.
class DataBytes {
  public:
    explicit DataBytes(const PassData& data) : data_(data) {}
    const unsigned char* operator()(std::int64_t offset, std::size_t n) const {
        return data_.Data(offset, PassBuffer(n), n);
    }

  private:
    const PassData& data_;
};

// Writes n bytes at the file's position, in writes of at most kWriteBuffer bytes;
// `bytes(offset, size)` gives each write's bytes, offset counted from the region's
// first byte. The errors of the writes are thrown to the caller, who says what
// follows one: WritePass shows its box, the passes of a method leave it to the
// per-file wipe, the free-space run to its own error handling.
template <class File, class Bytes>
void WriteRegion(File& file, std::int64_t n, const Bytes& bytes) {
    for (std::int64_t done = 0; done < n;) {
        const auto m = static_cast<std::size_t>(
            std::min<std::int64_t>(n - done, static_cast<std::int64_t>(kWriteBuffer)));
        file.Write(bytes(done, m), m);
        done += static_cast<std::int64_t>(m);
    }
}

// The name a pass's box gives the file.
const QString& PathOf(const QString& path);
const QString& PathOf(const platform::HeldFile& file);

}  // namespace engine
