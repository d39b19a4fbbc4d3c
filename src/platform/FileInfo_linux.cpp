#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/Errors.h"
#include "platform/FileInfo.h"
#include "platform/PosixIo.h"
#include "platform/TreeAnchorState.h"
#include "platform/TreeCensus.h"

namespace platform {

namespace {

bool SameObject(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

mode_t NormalMode(const struct stat& st) {
    mode_t mode = (st.st_mode & 07777) | S_IRUSR | S_IWUSR;
    if (S_ISDIR(st.st_mode))
        mode |= S_IXUSR;
    return mode;
}

// Changes the mode of the object already pinned by `pinned`, through a descriptor
// of our own that cannot follow a link.
void ChmodPinned(TreeAnchor* beneath, const QString& path, const struct stat& pinned, mode_t mode) {
    const posix::Fd fd(posix::OpenNoFollow(beneath, path, O_RDONLY | O_NONBLOCK));
    if (!fd.IsOpen())
        return;
    struct stat st {};
    if (::fstat(fd.Get(), &st) == 0 && SameObject(st, pinned)) {
        (void)::fchmod(fd.Get(), mode);
    }
}

}  // namespace

void SetNormalAttributes(const QString& path, TreeAnchor* beneath) {
    if (path.isEmpty())
        return;
    // An O_PATH descriptor pins the entry itself (a link stays a link) and needs no
    // read permission, so a file of mode 000 can be mended too.
    const posix::Fd fd(posix::OpenNoFollow(beneath, path, O_PATH));
    if (!fd.IsOpen())
        return;
    struct stat st {};
    // The mode of a file with other names is theirs too: such a file is left as it is.
    if (::fstat(fd.Get(), &st) != 0 || !(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) ||
        !posix::MayChangeLinked(beneath, path, fd.Get(), st)) {
        return;
    }
    const mode_t mode = NormalMode(st);
    if (mode != (st.st_mode & 07777)) {
        // The /proc entry of the descriptor names the pinned object, never what the
        // path may point to by now.
        char proc[40];
        std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd.Get());
        if (::chmod(proc, mode) != 0) {
            ChmodPinned(beneath, path, st, mode);
        }
    }
}

std::int64_t FileLength(const QString& path) {
    if (path.isEmpty())
        Raise(err::FileNotFound);
    const posix::Fd fd = posix::OpenOwned(nullptr, path, O_PATH);
    struct stat st {};
    const int e = ::fstat(fd.Get(), &st) == 0 ? 0 : errno;
    // A length beyond what this build's file offsets can hold.
    if (e == EOVERFLOW)
        Raise(err::Overflow);
    if (e != 0)
        RaiseErrno(e);
    if (!S_ISREG(st.st_mode))
        Raise(err::FileNotFound);
    return static_cast<std::int64_t>(st.st_size);
}

}  // namespace platform
