// The free-space wipe's fill files, made and written inside a held folder.
// Failures throw platform::RuntimeError.
#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/HeldFolder.h"

namespace platform {

namespace detail {
class OpenFile;
}

// A file made new inside a held folder. A file of that name left there before is
// unlinked first, so nothing is ever written through a planted link or hard
// link. Each write is appended to the last.
class FillFile {
  public:
    FillFile();
    ~FillFile();  // closes quietly
    FillFile(const FillFile&) = delete;
    FillFile& operator=(const FillFile&) = delete;

    // Error 52 when the folder is not open.
    void Create(const HeldFolder& folder, const QString& name);
    bool IsOpen() const { return file_ != nullptr; }
    // The file the last Create made.
    FileIdentity Identity() const { return identity_; }
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
    FileIdentity identity_;
    std::int64_t position_ = 0;
};

}  // namespace platform
