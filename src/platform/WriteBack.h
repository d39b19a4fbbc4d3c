// The writeback of what a file was written: the windows that keep its data on
// its way to the device bounded. Internal to the platform layer.
#pragma once

#include <QString>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace platform::posix {

// Keeps a file's data on its way to the device bounded. The bytes written in a row
// are cut into windows; once a window is complete its writeback starts and the
// window before it is waited for, so about two windows are in flight at most, the
// last flush has little left to do, and what the progress shows has reached the
// drive within a window. The window follows the drive's measured speed, so that one
// wait stays short on a slow drive and a fast one is kept busy.
class WriteBack {
  public:
    // After bytes [offset, offset + size) of the file were written.
    void Wrote(int fd, const QString& path, std::int64_t offset, std::size_t size);
    // After the file was flushed: nothing is in flight any more.
    void Flushed();
    // Whether so little was written since the last flush that the flush is brief
    // even on a slow drive.
    bool Brief() const;

  private:
    // Reads the device once; false where no window is sent (a file system in
    // memory, or no writeback of part of a file).
    bool Ready(int fd);
    // Starts the writeback of [begin_, end) and waits for the window before it.
    void Send(int fd, const QString& path, std::int64_t end);

    bool off_ = false;          // where the system cannot start a writeback
    std::uint64_t device_ = 0;  // whose speed the window follows
    bool known_ = false;        // device_ is read
    std::int64_t begin_ = 0;    // the window being written: [begin_, end_)
    std::int64_t end_ = -1;
    std::int64_t sentBegin_ = 0;  // the window in flight: [sentBegin_, sentEnd_)
    std::int64_t sentEnd_ = 0;
    std::int64_t unflushed_ = 0;  // bytes written since the last flush
    std::chrono::steady_clock::time_point sentAt_{};
    std::chrono::steady_clock::time_point lastDone_{};
};

}  // namespace platform::posix
