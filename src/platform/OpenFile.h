// An open file the program writes, and the flush of a descriptor. Internal to
// the platform layer.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

#include "platform/PosixIo.h"
#include "platform/WriteBack.h"

namespace platform::posix {

// Flushes the file's data to the device through the fault seam and the flush
// observer, on a helper thread while the events are processed, or on this thread
// when the flush is `brief` (the handoff would cost more than the flush); a failed
// flush is an error (52 when no file is open).
// `device` is the file's drive (0: looked up when needed); a drive where a brief
// flush once stalled has every later flush handed over.
void SyncDescriptor(int fd, const QString& path, bool brief = false, std::uint64_t device = 0);

}  // namespace platform::posix

// The system's side of an open byte, output or fill file (declared by
// platform/Files.h).
namespace platform::detail {

// An open file the program writes, with its name and the writeback of what it
// wrote. The byte file, the output file and the fill file each hold one while
// they are open.
class OpenFile {
  public:
    // `device`: the file's drive where the opener knows it (0 otherwise).
    OpenFile(posix::Fd fd, QString path, std::uint64_t device = 0)
        : fd_(std::move(fd)), path_(std::move(path)), device_(device) {}
    const QString& Path() const { return path_; }
    // Writes every byte at *offset, advanced by what was written (also when a
    // later part fails), through the fault seam and to the write observer; the
    // writeback follows the bytes.
    void WriteAt(const void* data, std::size_t size, std::int64_t* offset);
    // Writes every byte at the file position, through the fault seam only.
    void Append(const void* data, std::size_t size);
    // Flushes the file's data to the device.
    void Sync();
    // Closes through the fault seam; a failed close is an error.
    void Close();
    int Descriptor() const { return fd_.Get(); }

  private:
    posix::Fd fd_;
    QString path_;
    std::uint64_t device_;
    std::unique_ptr<posix::WriteBack> writeBack_;
};

// The open file of a byte, output or fill file; error 52 when none is open.
OpenFile& Require(const std::unique_ptr<OpenFile>& file);

}  // namespace platform::detail
