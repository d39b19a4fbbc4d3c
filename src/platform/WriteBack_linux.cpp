#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <mutex>

#include "platform/Errors.h"
#include "platform/Events.h"
#include "platform/FileSystems.h"
#include "platform/Files.h"
#include "platform/WriteBack.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// The first window on a drive: small enough that its wait stays under half a
// second at 20 MB/s, large enough for the first measure of a fast drive.
constexpr std::int64_t kFirstWindow = 8 << 20;
// The window is sized so that waiting for one takes about this long on a drive
// slower than the writer: the window freezes nothing for longer, and each wait
// still covers many megabytes on a fast drive.
constexpr double kWaitSeconds = 0.12;
constexpr std::int64_t kSmallestWindow = 256 << 10;
constexpr std::int64_t kLargestWindow = 64 << 20;
constexpr std::int64_t kPage = 4096;
// A wait shorter than this says the drive kept up: it tells nothing of its speed.
constexpr double kHeldUp = 0.002;

// No window is smaller than this (a window a test sets is the only one).
std::int64_t SmallestWindow() {
    const std::int64_t forced = detail::ForcedWritebackWindow();
    return forced > 0 ? forced : kSmallestWindow;
}

// The window of each drive, learnt from its writebacks; passes and fill files
// after the first start from it.
class Windows {
  public:
    std::int64_t Of(std::uint64_t device) {
        if (const std::int64_t forced = detail::ForcedWritebackWindow(); forced > 0)
            return forced;
        std::lock_guard lock(mutex_);
        const auto it = sizes_.find(device);
        return it == sizes_.end() ? kFirstWindow : it->second;
    }
    // A window of `bytes` took `seconds` to reach the drive once the drive was free.
    void Learn(std::uint64_t device, std::int64_t bytes, double seconds) {
        if (seconds <= 0)
            return;
        const double perSecond = static_cast<double>(bytes) / seconds;
        auto size = static_cast<std::int64_t>(perSecond * kWaitSeconds);
        size = std::clamp(size, kSmallestWindow, kLargestWindow) / kPage * kPage;
        std::lock_guard lock(mutex_);
        sizes_[device] = size;
    }

  private:
    std::mutex mutex_;
    std::map<std::uint64_t, std::int64_t> sizes_;
};

Windows& Learnt() {
    static Windows windows;
    return windows;
}

// False where the system cannot start a writeback of part of a file.
bool RangeSync(int fd, std::int64_t begin, std::int64_t length, unsigned int flags) {
    int r;
    do {
        r = ::sync_file_range(fd, begin, length, flags);
    } while (r != 0 && errno == EINTR);
    if (r == 0)
        return true;
    if (errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == ESPIPE)
        return false;
    // The failure of a window is that of the write: it would not be reported again.
    RaiseErrno(errno);
}

}  // namespace

namespace posix {

void WriteBack::Wrote(int fd, const QString& path, std::int64_t offset, std::size_t size) {
    unflushed_ += static_cast<std::int64_t>(size);
    if (off_ || size == 0)
        return;
    if (offset != end_) {
        // A write elsewhere in the file: what was written in a row goes as it is.
        if (end_ > begin_ && Ready(fd))
            Send(fd, path, end_);
        begin_ = end_ = offset;
    }
    end_ += static_cast<std::int64_t>(size);
    // No window is smaller than this: a small file is flushed whole without the
    // device ever being read.
    const std::int64_t smallest = SmallestWindow();
    for (;;) {
        if (off_ || end_ - begin_ < smallest || !Ready(fd))
            break;
        const std::int64_t window = Learnt().Of(device_);
        if (end_ - begin_ < window)
            break;
        // Windows end on a page, so that no page is sent while its end is written.
        std::int64_t cut = (begin_ + window) / kPage * kPage;
        if (cut <= begin_)
            cut = begin_ + window;
        Send(fd, path, cut);
    }
}

void WriteBack::Flushed() {
    sentBegin_ = sentEnd_ = 0;
    begin_ = end_;
    unflushed_ = 0;
}

bool WriteBack::Brief() const {
    return unflushed_ <= SmallestWindow();
}

bool WriteBack::Ready(int fd) {
    if (known_ || off_)
        return !off_;
    known_ = true;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        off_ = true;
        return false;
    }
    device_ = static_cast<std::uint64_t>(st.st_dev);
    // A file system in memory has no drive to keep up with: a writeback there
    // only walks the pages again. (A window a test sets applies everywhere.)
    struct statfs fs {};
    if (detail::ForcedWritebackWindow() == 0 && ::fstatfs(fd, &fs) == 0 &&
        detail::IsMemoryFileSystemType(detail::FileSystemTypeOf(fs.f_type))) {
        off_ = true;
    }
    return !off_;
}

void WriteBack::Send(int fd, const QString& path, std::int64_t end) {
    const bool waits = sentEnd_ > sentBegin_;
    bool ok = true;
    Clock::time_point sent;
    Clock::time_point done;
    // The wait lasts as long as the drive takes for a window: the window goes on
    // processing its events meanwhile, as during a flush.
    WhileResponsive([&] {
        ok = RangeSync(fd, begin_, end - begin_, SYNC_FILE_RANGE_WRITE);
        sent = Clock::now();
        if (ok && waits) {
            ok = RangeSync(
                fd, sentBegin_, sentEnd_ - sentBegin_,
                SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
            done = Clock::now();
        }
    });
    if (!ok) {
        off_ = true;
        return;
    }
    detail::ObserveWriteback(path, begin_, end - begin_);
    if (waits) {
        // Only a wait that held the writer up measures the drive: the window took
        // from when the drive could start on it (sent, and the one before done).
        if (std::chrono::duration<double>(done - sent).count() >= kHeldUp) {
            const Clock::time_point from = std::max(sentAt_, lastDone_);
            Learnt().Learn(device_, sentEnd_ - sentBegin_,
                           std::chrono::duration<double>(done - from).count());
        }
        lastDone_ = done;
    }
    sentBegin_ = begin_;
    sentEnd_ = end;
    sentAt_ = sent;
    begin_ = end;
}

}  // namespace posix

}  // namespace platform
