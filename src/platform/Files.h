// File operations of the program: byte-access files, output files, rename,
// delete and the existence test. Every failure throws platform::RuntimeError.
#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/Errors.h"
#include "platform/Paths.h"  // kSep and JoinPath, for the names of files

namespace platform {

namespace detail {
class OpenFile;
}
namespace posix {
class Fd;
}
class HeldFile;
class TreeAnchor;

// Thrown when a regular file has names the wipe was not given (hard links): its
// data belongs to those names too, so it is left exactly as it is.
class FileHasOtherNames : public RuntimeError {
  public:
    explicit FileHasOtherNames(bool firstTime)
        : RuntimeError(err::PathFileAccessError), firstTime_(firstTime) {}
    // False when the folder run met this file before (in an earlier pass, or
    // under another of its names): a file is counted once.
    bool FirstTime() const { return firstTime_; }

  private:
    bool firstTime_;
};

// A file opened for byte access: reading and writing, never created, never
// truncated, never through a symbolic link, and only a regular file whose owner
// may write it (a read-only file is refused with error 70, even for root). A file
// with other names is refused with FileHasOtherNames, unless every name lies in
// the tree of the folder run it belongs to (platform::TreeAnchor).
class ByteFile {
  public:
    ByteFile();
    explicit ByteFile(const QString& path);
    // The file a run holds: its name in its held folder, only while that name
    // still leads to the same file (53 otherwise).
    explicit ByteFile(const HeldFile& held);
    ~ByteFile();  // closes quietly; call Close() to see close errors
    ByteFile(const ByteFile&) = delete;
    ByteFile& operator=(const ByteFile&) = delete;

    void Open(const QString& path);
    void Open(const HeldFile& held);
    bool IsOpen() const { return file_ != nullptr; }
    std::int64_t Length() const;
    // Positions are counted from 1.
    void Seek(std::int64_t position);
    // Writes all bytes at the current position or throws; a short write is an error.
    void Write(const void* data, std::size_t size);
    // Flushes the file's data to the device.
    void Sync();
    void Close();

  private:
    // Takes an open descriptor once it passed the checks of a file to be written over.
    void Adopt(posix::Fd fd, const QString& path, TreeAnchor* beneath);

    std::unique_ptr<detail::OpenFile> file_;
    std::int64_t position_ = 0;  // zero-based
};

// A text file opened for output: created empty, or truncated to 0 bytes.
class OutputFile {
  public:
    // What the open does with a file already at the name. A link there is never
    // followed.
    enum class Mode {
        Truncate,   // that file is emptied and written
        CreateNew,  // only a new file is made: a name taken by anything is error 58
        // A new file beside it is written and renamed over the name at Close, so that
        // whatever held the name (a link, a file with other names) is replaced, not
        // written. Until then, and when the close or the rename fails or the file is
        // dropped unclosed, the name keeps what it held and the new file is removed.
        Replace,
    };

    OutputFile();
    explicit OutputFile(const QString& path);
    OutputFile(const QString& path, Mode mode);
    ~OutputFile();  // closes quietly (a replacement is dropped); Close() shows errors
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Open(const QString& path);
    void Open(const QString& path, Mode mode);
    // The file a run holds, under the name it gave it: nothing is created, and
    // only that very file, with no names outside the run, is truncated; a name
    // that leads to anything else by now is refused (53). Its text goes over
    // its start and the file is cut to the text at Sync or Close: emptied at the
    // open, the file would be written out again by a file system that flushes a
    // file emptied and rewritten when it is closed (ext4), one more write to the
    // drive for every file about to be deleted.
    void Open(const HeldFile& held);
    bool IsOpen() const { return file_ != nullptr; }
    // Writes the text (UTF-8) followed by CR LF.
    void PrintLine(const QString& text);
    void WriteRaw(const QByteArray& bytes);
    void Sync();
    void Close();

  private:
    // Cuts a held file to what was written (quietly when `quiet`).
    void CutToWritten(bool quiet);

    std::unique_ptr<detail::OpenFile> file_;
    QString replacement_;  // Mode::Replace: the new file, renamed over the name at Close
    // A held file: what was written so far, the length it is cut to; -1 otherwise.
    std::int64_t cutAt_ = -1;
};

// The whole content of a regular file, or throws (53 when it does not exist).
QByteArray ReadAllBytes(const QString& path);
// The first maxBytes bytes of a regular file (all of it when shorter), or throws as
// ReadAllBytes does; nothing beyond them is read.
QByteArray ReadFileStart(const QString& path, std::int64_t maxBytes);

// Renames a file; never replaces an existing file (error 58 instead).
void RenameFile(const QString& from, const QString& to);
// Deletes a file (a link is deleted as a link); beneath a run's top, resolved there.
void DeleteFile(const QString& path, TreeAnchor* beneath = nullptr);

// The existence test of the per-file wipe: true only for a regular file that is
// not a link (a link, fifo, socket, device or folder counts as a system file),
// nor a file of the kernel's own file systems (proc, sysfs, efivarfs and the like).
bool ExistsNormalFile(const QString& path, TreeAnchor* beneath = nullptr);

enum class FileKind { Missing, Regular, Folder, Link, Other };
// What the path names, without following a link.
FileKind KindOf(const QString& path, TreeAnchor* beneath = nullptr);

// Test hooks: a fault injector that makes an operation fail, an observer of every
// byte written through ByteFile, one of every flush, and one of every writeback
// started.
namespace hooks {
enum class FileOp { Open, Write, Sync, Close, OpenOutput, Rename, Delete, List };
// The failures an operation can be made to meet. Each system's layer fails the
// operation with its own code for the failure, so that the program sees what
// the system would have reported.
enum class Fault {
    None,
    AccessDenied,
    NotPermitted,
    ReadOnly,
    AlreadyExists,
    DiskFull,
    DeviceError
};
// Returns the failure the operation meets, or Fault::None. Called on the thread
// that makes the operation: for a flush (FileOp::Sync) that may be the helper
// thread of platform::WhileResponsive.
using FaultInjector = std::function<Fault(FileOp op, const QString& path)>;
void SetFaultInjector(FaultInjector injector);
// Called with the zero-based offset of each write, on the thread that writes.
using WriteObserver = std::function<void(const QString& path, std::int64_t offset,
                                         const unsigned char* data, std::size_t size)>;
void SetWriteObserver(WriteObserver observer);
// Called after each flush that reached the device (fdatasync returned), with the
// path, on the thread that asked for the flush.
using SyncObserver = std::function<void(const QString& path)>;
void SetSyncObserver(SyncObserver observer);
// Makes the resolution beneath a folder run's top go name by name, as where the
// system has no openat2.
void SetStepwiseResolution(bool on);
// Called when the writeback of a window of written bytes starts (zero-based
// offset), on the thread that writes.
using WritebackObserver =
    std::function<void(const QString& path, std::int64_t offset, std::int64_t length)>;
void SetWritebackObserver(WritebackObserver observer);
// A window of this many bytes (a multiple of 4096) in place of the one measured,
// on every file system, memory ones too; 0 measures again.
void SetWritebackWindow(std::int64_t bytes);
}  // namespace hooks

// What the system's files read of the hooks above.
namespace detail {
// The failure a test asked the operation to meet, or Fault::None.
hooks::Fault InjectedFault(hooks::FileOp op, const QString& path);
// Tell the observers a test set (nothing without one).
void ObserveWrite(const QString& path, std::int64_t offset, const unsigned char* data,
                  std::size_t size);
void ObserveSync(const QString& path);
void ObserveWriteback(const QString& path, std::int64_t offset, std::int64_t length);
// The window a test set, or 0.
std::int64_t ForcedWritebackWindow();
// Whether a test asked for the resolution name by name.
bool StepwiseResolution();
}  // namespace detail

}  // namespace platform
