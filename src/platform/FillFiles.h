// What the free-space wipe does on a drive: list its root, write its fill files
// (in a work folder made and removed through platform/Folders.h). Failures throw
// platform::RuntimeError.
#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/Folders.h"

namespace platform {

namespace detail {
class OpenFile;
}

// Whether the folder can be opened and read.
bool CanListFolder(const QString& folder);
// The names in a folder without "." and ".."; empty when it cannot be read.
QStringList FolderNames(const QString& folder);
// Whether both paths (links not followed) lie on one file system; false when
// either cannot be read.
bool SameFileSystem(const QString& a, const QString& b);
// Flushes everything of the file system that holds the folder (the file
// system's own records included) to the device.
void SyncFileSystem(const QString& folder);

// A file made new inside a folder opened without following a link. A file of
// that name left there before is unlinked first, so nothing is ever written
// through a planted link or hard link. Each write is appended to the last.
class FillFile {
  public:
    FillFile();
    ~FillFile();  // closes quietly
    FillFile(const FillFile&) = delete;
    FillFile& operator=(const FillFile&) = delete;

    void Create(const QString& folder, const QString& name);
    bool IsOpen() const { return file_ != nullptr; }
    // How many bytes were written into the file.
    std::int64_t Written() const { return position_; }
    // Writes all bytes or throws; error 52 when no file is open, 63 when the file
    // has reached the largest size allowed. What a write that failed part-way
    // wrote stays in the file.
    void Write(const void* data, std::size_t size);
    // Flushes the file's data to the device.
    void Sync();
    void Close();

  private:
    std::unique_ptr<detail::OpenFile> file_;
    std::int64_t position_ = 0;
};

}  // namespace platform
