// What the POSIX files of the platform layer share: paths in the system's bytes,
// the owner of a descriptor, the errno of the file fault seam and the write of
// every byte. Internal to the platform layer.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "platform/Files.h"

namespace platform::posix {

// A path in the file system's own byte encoding.
QByteArray NativePath(const QString& path);

// The sole owner of an open descriptor. Dropped, it closes the descriptor
// quietly (nothing is left to report a failure to); Close() reports one.
class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(other.Release()) {}
    Fd& operator=(Fd&& other) noexcept;
    ~Fd();
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    // Hands the descriptor over: nothing closes it here any more.
    int Release() { return std::exchange(fd_, -1); }
    // Closes the descriptor; a failure close(2) reports is an error (one
    // interrupted has closed all the same).
    void Close();

  private:
    int fd_ = -1;
};

// The errno value of the failure a test asked the operation to meet
// (hooks::Fault), or 0.
int InjectedErrno(hooks::FileOp op, const QString& path);
// Throws the error a test asked the operation to fail with, if it asked.
void MaybeFail(hooks::FileOp op, const QString& path);

// Writes every byte, at *offset when given (advanced by what was written, also
// when a later part fails), else at the file position; a write that makes no
// progress is a full disk. Throws the program's error on failure.
void WriteAll(int fd, const void* data, std::size_t size, std::int64_t* offset);

}  // namespace platform::posix
