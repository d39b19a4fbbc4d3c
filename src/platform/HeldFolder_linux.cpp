#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Errors.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "platform/FreeSpace.h"
#include "platform/HeldFolder.h"
#include "platform/Place.h"
#include "platform/PosixIo.h"
#include "platform/RenameNoReplace.h"

namespace platform {

using posix::MaybeFail;

namespace {

FileIdentity IdentityOfStat(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

// The mount a descriptor lies on, where the system tells it (0 where it cannot).
std::uint64_t MountOf(int fd) {
    return posix::PlaceOf(fd).mount;
}

int OpenFolderAt(int dir, const char* name) {
    int fd;
    do {
        fd = ::openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

struct HeldFolder::State {
    posix::Fd fd;
    QString path;
    struct stat st {};
    std::uint64_t mount = 0;

    void Take(posix::Fd opened, const QString& name) {
        struct stat s {};
        if (::fstat(opened.Get(), &s) != 0)
            RaiseErrno(errno);
        fd = std::move(opened);
        path = name;
        st = s;
        mount = MountOf(fd.Get());
    }
    QByteArray Name(const QString& name) const { return posix::NativePath(name); }
    QString PathOf(const QString& name) const { return JoinPath(path, name); }
    // Raises unless the name leads to `what`.
    void Require(const QString& name, const FileIdentity& what) const {
        struct stat s {};
        if (::fstatat(fd.Get(), Name(name).constData(), &s, AT_SYMLINK_NOFOLLOW) != 0)
            RaiseErrno(errno);
        if (IdentityOfStat(s) != what)
            Raise(err::FileNotFound);
    }
};

HeldFolder::HeldFolder() : s_(std::make_unique<State>()) {}

HeldFolder::~HeldFolder() = default;

void HeldFolder::Open(const QString& path) {
    posix::Fd fd(OpenFolderAt(AT_FDCWD, posix::NativePath(path).constData()));
    if (!fd.IsOpen())
        RaiseErrno(errno);
    s_->Take(std::move(fd), path);
}

void HeldFolder::Open(const HeldFolder& parent, const QString& name) {
    if (!parent.IsOpen())
        Raise(err::BadFileNameOrNumber);
    posix::Fd fd(OpenFolderAt(parent.s_->fd.Get(), posix::NativePath(name).constData()));
    if (!fd.IsOpen())
        RaiseErrno(errno);
    // Another file system over the folder: its files are not ours, and filling it
    // would not reach the parent's free space.
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0)
        RaiseErrno(errno);
    const std::uint64_t mount = MountOf(fd.Get());
    if (st.st_dev != parent.s_->st.st_dev ||
        (mount != 0 && parent.s_->mount != 0 && mount != parent.s_->mount)) {
        Raise(err::BadFileNameOrNumber);
    }
    s_->Take(std::move(fd), parent.s_->PathOf(name));
}

int HeldFolder::Descriptor() const {
    return s_->fd.Get();
}

bool HeldFolder::IsOpen() const {
    return s_->fd.IsOpen();
}

const QString& HeldFolder::Path() const {
    return s_->path;
}

FileIdentity HeldFolder::Identity() const {
    return IdentityOfStat(s_->st);
}

bool HeldFolder::IsAt(const QString& path) const {
    struct stat st {};
    return IsOpen() && ::lstat(posix::NativePath(path).constData(), &st) == 0 &&
           S_ISDIR(st.st_mode) && IdentityOfStat(st) == Identity();
}

bool HeldFolder::CanList() const {
    if (!IsOpen() || posix::InjectedErrno(hooks::FileOp::List, s_->path) != 0)
        return false;
    // A descriptor of its own: the listing moves a position the held one keeps.
    const int fd = ::openat(s_->fd.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    errno = 0;
    while (::readdir(dir) != nullptr) {
    }
    const bool ok = errno == 0;
    ::closedir(dir);
    return ok;
}

std::optional<FileIdentity> HeldFolder::IdentityOf(const QString& name) const {
    struct stat st {};
    if (!IsOpen() ||
        ::fstatat(s_->fd.Get(), s_->Name(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return std::nullopt;
    }
    return IdentityOfStat(st);
}

FileKind HeldFolder::KindOf(const QString& name) const {
    struct stat st {};
    if (!IsOpen() ||
        ::fstatat(s_->fd.Get(), s_->Name(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return FileKind::Missing;
    }
    if (S_ISLNK(st.st_mode))
        return FileKind::Link;
    if (S_ISREG(st.st_mode))
        return FileKind::Regular;
    if (S_ISDIR(st.st_mode))
        return FileKind::Folder;
    return FileKind::Other;
}

void HeldFolder::MakeFolder(const QString& name) {
    if (!IsOpen())
        Raise(err::BadFileNameOrNumber);
    if (::mkdirat(s_->fd.Get(), s_->Name(name).constData(), 0700) != 0)
        RaiseErrno(errno);
}

void HeldFolder::Rename(const QString& from, const QString& to, const FileIdentity& what) {
    MaybeFail(hooks::FileOp::Rename, s_->PathOf(from));
    if (!IsOpen())
        Raise(err::BadFileNameOrNumber);
    s_->Require(from, what);
    const int dir = s_->fd.Get();
    const QByteArray a = s_->Name(from), b = s_->Name(to);
    if (const int e = posix::RenameNoReplaceAt(dir, a.constData(), dir, b.constData(),
                                               KindOf(from) == FileKind::Folder);
        e != 0) {
        RaiseErrno(e);
    }
    // What went was swapped in between the look and the rename: it goes back.
    if (IdentityOf(to) != what) {
        ::renameat2(dir, b.constData(), dir, a.constData(), RENAME_NOREPLACE);
        Raise(err::FileNotFound);
    }
}

void HeldFolder::Delete(const QString& name, const FileIdentity& what) {
    MaybeFail(hooks::FileOp::Delete, s_->PathOf(name));
    if (!IsOpen())
        Raise(err::BadFileNameOrNumber);
    s_->Require(name, what);
    if (::unlinkat(s_->fd.Get(), s_->Name(name).constData(), 0) != 0)
        RaiseErrno(errno);
}

void HeldFolder::RemoveFolder(const QString& name, const FileIdentity& what) {
    if (!IsOpen())
        Raise(err::BadFileNameOrNumber);
    s_->Require(name, what);
    if (::unlinkat(s_->fd.Get(), s_->Name(name).constData(), AT_REMOVEDIR) != 0)
        RaiseErrno(errno);
}

std::optional<std::uint64_t> HeldFolder::FreeBytes() const {
    if (auto hooked = detail::HookedTotalFreeBytes(s_->path))
        return *hooked;
    if (!IsOpen())
        return std::nullopt;
    struct statvfs vfs {};
    int rc;
    do {
        rc = ::fstatvfs(s_->fd.Get(), &vfs);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0)
        return std::nullopt;
    return detail::FreeBlockBytes(vfs.f_bfree, vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize);
}

void HeldFolder::Sync() const {
    MaybeFail(hooks::FileOp::Sync, s_->path);
    if (!IsOpen())
        Raise(err::BadFileNameOrNumber);
    // A drive's whole flush can take long: the window goes on painting meanwhile.
    int ok = 0;
    int e = 0;
    WhileResponsive([&] {
        ok = ::syncfs(s_->fd.Get());
        e = errno;
    });
    if (ok != 0)
        RaiseErrno(e);
}

}  // namespace platform
