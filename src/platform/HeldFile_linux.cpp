#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/Errors.h"
#include "platform/FileSystems.h"
#include "platform/HeldFile.h"
#include "platform/HeldFileState.h"
#include "platform/Paths.h"
#include "platform/PosixIo.h"
#include "platform/RenameNoReplace.h"
#include "platform/TreeAnchorState.h"
#include "platform/TreeCensus.h"

namespace platform {

namespace {

// The held file's device and inode: while its descriptor is held, no other file
// can be given that inode, so the two tell it apart from every other.
posix::FileKey IdentityOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), 0, 0, 0};
}

// Whether the name in the held folder still leads to the file held.
bool StillHeld(const HeldFile::State& s, const char* name) {
    struct stat st {};
    return ::fstatat(s.dir, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
           IdentityOf(st) == s.key;
}

}  // namespace

HeldFile::HeldFile(const QString& path, TreeAnchor* beneath) : s_(std::make_unique<State>()) {
    State& s = *s_;
    s.path = CleanPath(path);
    s.beneath = beneath;
    // A name reached through "." or ".." may have climbed through a link: it is
    // held as nothing, and nothing is done to it.
    if (s.path.isEmpty() || HasDotNames(s.path))
        return;
    if (posix::Anchored(beneath, s.path)) {
        posix::ParentOf p(beneath, s.path);
        if (p.Error() != 0) {
            // A name of the tree that no longer resolves inside it is an error of that item.
            if (posix::LeftTheTree(p.Error()))
                RaiseErrno(p.Error());
            return;
        }
        s.name = p.Name();
        s.dir = p.Release(&s.ownDir);
    } else {
        // Outside a run's tree the folder is the one the user named, links and all.
        s.ownDir = posix::Fd(posix::OpenFolderOf(s.path, &s.name));
        if (!s.ownDir.IsOpen())
            return;
        s.dir = s.ownDir.Get();
    }
    int fd;
    do {
        fd = ::openat(s.dir, s.name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (posix::Anchored(beneath, s.path) && posix::LeftTheTree(errno))
            RaiseErrno(errno);
        return;
    }
    s.file = posix::Fd(fd);
    struct stat st {};
    struct statfs fs {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return;
    const bool typed = ::fstatfs(fd, &fs) == 0;
    const std::uint32_t type = detail::FileSystemTypeOf(fs.f_type);
    if (typed && detail::IsKernelFileSystemType(type))
        return;
    s.copyOnWrite = typed && detail::IsCopyOnWriteType(type);
    s.key = IdentityOf(st);
    s.normal = true;
}

HeldFile::~HeldFile() = default;

bool HeldFile::IsNormalFile() const {
    return s_->normal;
}

const QString& HeldFile::Path() const {
    return s_->path;
}

TreeAnchor* HeldFile::Beneath() const {
    return s_->beneath;
}

bool HeldFile::OnCopyOnWrite() const {
    return s_->copyOnWrite;
}

void HeldFile::SetNormalAttributes() const {
    const State& s = *s_;
    if (!s.normal)
        return;
    struct stat st {};
    if (::fstat(s.file.Get(), &st) != 0 ||
        !posix::MayChangeLinked(s.beneath, s.path, s.file.Get(), st))
        return;
    const mode_t mode = (st.st_mode & 07777) | S_IRUSR | S_IWUSR;
    if (mode == (st.st_mode & 07777))
        return;
    // The descriptor's /proc entry names the held file, never what its name may
    // lead to by now; without /proc, the name, while it still leads there.
    char proc[40];
    std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", s.file.Get());
    if (::chmod(proc, mode) != 0 && StillHeld(s, s.name.constData()))
        (void)::fchmodat(s.dir, s.name.constData(), mode, 0);
}

void HeldFile::Rename(const QString& path) {
    State& s = *s_;
    posix::MaybeFail(hooks::FileOp::Rename, s.path);
    if (!s.normal || !StillHeld(s, s.name.constData()))
        RaiseErrno(ENOENT);
    QByteArray name;
    (void)posix::FolderPart(path, &name);
    if (int e = posix::RenameNoReplaceAt(s.dir, s.name.constData(), s.dir, name.constData(), false);
        e != 0)
        RaiseErrno(e);
    if (!StillHeld(s, name.constData())) {
        // Another name was put in the held one's place just before the rename: it
        // gets its own name back, and the file held stays where it is.
        (void)posix::RenameNoReplaceAt(s.dir, name.constData(), s.dir, s.name.constData(), false);
        RaiseErrno(ENOENT);
    }
    s.name = name;
    s.path = path;
}

void HeldFile::Delete() {
    State& s = *s_;
    posix::MaybeFail(hooks::FileOp::Delete, s.path);
    if (!s.normal || !StillHeld(s, s.name.constData()))
        RaiseErrno(ENOENT);
    // A name of a file the run counted by its names goes from the count too.
    posix::FileKey census;
    struct stat st {};
    if (s.beneath && ::fstat(s.file.Get(), &st) == 0 && st.st_nlink > 1)
        census = posix::CensusKey(s.file.Get());
    if (::unlinkat(s.dir, s.name.constData(), 0) != 0)
        RaiseErrno(errno);
    posix::NoteNameRemoved(s.beneath, census);
}

namespace posix {

Fd OpenHeld(const HeldFile& held, int flags) {
    const HeldFile::State& s = held.Held();
    if (!s.normal)
        Raise(err::FileNotFound);
    int fd;
    do {
        fd = ::openat(s.dir, s.name.constData(), flags | O_NOFOLLOW | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        RaiseErrno(errno);
    Fd owned(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || IdentityOf(st) != s.key)
        Raise(err::FileNotFound);
    return owned;
}

}  // namespace posix

}  // namespace platform
