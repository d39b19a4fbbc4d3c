#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <set>

#include "platform/Errors.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "platform/OpenFile.h"
#include "platform/PosixIo.h"
#include "platform/WriteBack.h"

namespace platform {

using posix::MaybeFail;

namespace posix {

namespace {

// The drives on which a small flush stalled long enough to be seen (a stick busy
// with itself): every later flush there is handed to the helper thread, while the
// other drives go on flushing on this thread.
class StalledDrives {
  public:
    bool Has(std::uint64_t device) {
        if (!any_.load(std::memory_order_relaxed))
            return false;
        std::lock_guard lock(mutex_);
        return devices_.count(device) != 0;
    }
    void Add(std::uint64_t device) {
        std::lock_guard lock(mutex_);
        devices_.insert(device);
        any_ = true;
    }

  private:
    std::atomic<bool> any_{false};
    std::mutex mutex_;
    std::set<std::uint64_t> devices_;
};

StalledDrives& Stalled() {
    static StalledDrives drives;
    return drives;
}

}  // namespace

void SyncDescriptor(int fd, const QString& path, bool brief, std::uint64_t device) {
    if (fd < 0) {
        Raise(err::BadFileNameOrNumber);
    }
    const auto flush = [&] {
        MaybeFail(hooks::FileOp::Sync, path);
        if (::fdatasync(fd) != 0) {
            RaiseErrno(errno);
        }
    };
    // A flush of a few pages is made here: handing it to the helper thread costs
    // more than the flush, until one of them stalls long enough to be seen on
    // that drive; from then on every flush to it is handed over.
    if (brief && device == 0) {
        struct stat st {};
        if (::fstat(fd, &st) == 0)
            device = static_cast<std::uint64_t>(st.st_dev);
    }
    if (brief && !Stalled().Has(device)) {
        const auto start = std::chrono::steady_clock::now();
        flush();
        if (std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(50))
            Stalled().Add(device);
    } else {
        // The flush of a pass can take seconds on a slow drive: the window goes on
        // painting meanwhile, and a Cancel clicked is taken at the next test of the flag.
        WhileResponsive(flush);
    }
    detail::ObserveSync(path);
}

}  // namespace posix

namespace detail {

void OpenFile::WriteAt(const void* data, std::size_t size, std::int64_t* offset) {
    MaybeFail(hooks::FileOp::Write, path_);
    const std::int64_t start = *offset;
    posix::WriteAll(fd_.Get(), data, size, offset);
    ObserveWrite(path_, start, static_cast<const unsigned char*>(data), size);
    if (!writeBack_)
        writeBack_ = std::make_unique<posix::WriteBack>();
    writeBack_->Wrote(fd_.Get(), path_, start, size);
}

void OpenFile::Append(const void* data, std::size_t size) {
    MaybeFail(hooks::FileOp::Write, path_);
    posix::WriteAll(fd_.Get(), data, size, nullptr);
}

void OpenFile::Sync() {
    posix::SyncDescriptor(fd_.Get(), path_, !writeBack_ || writeBack_->Brief(), device_);
    if (writeBack_)
        writeBack_->Flushed();
}

void OpenFile::Close() {
    writeBack_.reset();
    if (const int e = posix::InjectedErrno(hooks::FileOp::Close, path_); e != 0) {
        fd_ = posix::Fd();
        RaiseErrno(e);
    }
    fd_.Close();
}

OpenFile& Require(const std::unique_ptr<OpenFile>& file) {
    if (!file) {
        Raise(err::BadFileNameOrNumber);
    }
    return *file;
}

}  // namespace detail

}  // namespace platform
