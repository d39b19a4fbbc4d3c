#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstdio>

#include "platform/Errors.h"
#include "platform/FileInfo.h"

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
void ChmodPinned(const QByteArray& name, const struct stat& pinned, mode_t mode) {
    int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && SameObject(st, pinned)) {
        (void)::fchmod(fd, mode);
    }
    ::close(fd);
}

}  // namespace

void SetNormalAttributes(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        return;
#ifdef O_PATH
    // An O_PATH descriptor pins the entry itself (a link stays a link) and needs no
    // read permission, so a file of mode 000 can be mended too.
    int fd = ::open(name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode))) {
        ::close(fd);
        return;
    }
    const mode_t mode = NormalMode(st);
    if (mode != (st.st_mode & 07777)) {
        // The /proc entry of the descriptor names the pinned object, never what the
        // path may point to by now.
        char proc[40];
        std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
        if (::chmod(proc, mode) != 0) {
            ChmodPinned(name, st, mode);
        }
    }
    ::close(fd);
#else
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0 || !(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode))) {
        return;
    }
    const mode_t mode = NormalMode(st);
    if (mode != (st.st_mode & 07777))
        ChmodPinned(name, st, mode);
#endif
}

std::int64_t FileLength(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        Raise(err::FileNotFound);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0) {
        // A length beyond what this build's file offsets can hold.
        if (errno == EOVERFLOW)
            Raise(err::Overflow);
        RaiseErrno(errno);
    }
    if (!S_ISREG(st.st_mode))
        Raise(err::FileNotFound);
    return static_cast<std::int64_t>(st.st_size);
}

}  // namespace platform
