#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <QFile>
#include <cerrno>
#include <cstring>

#include "platform/Errors.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "platform/FillFiles.h"
#include "platform/PosixIo.h"

namespace platform {

using posix::MaybeFail;

bool CanListFolder(const QString& folder) {
    if (posix::InjectedErrno(hooks::FileOp::List, folder) != 0)
        return false;
    DIR* dir = ::opendir(posix::NativePath(folder).constData());
    if (!dir)
        return false;
    errno = 0;
    while (::readdir(dir) != nullptr) {
    }
    const bool ok = errno == 0;
    ::closedir(dir);
    return ok;
}

QStringList FolderNames(const QString& folder) {
    QStringList names;
    if (posix::InjectedErrno(hooks::FileOp::List, folder) != 0)
        return names;
    DIR* dir = ::opendir(posix::NativePath(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names << QFile::decodeName(entry->d_name);
    }
    ::closedir(dir);
    return names;
}

bool SameFileSystem(const QString& a, const QString& b) {
    struct stat sa {};
    struct stat sb {};
    return ::lstat(posix::NativePath(a).constData(), &sa) == 0 &&
           ::lstat(posix::NativePath(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev;
}

void SyncFileSystem(const QString& folder) {
    MaybeFail(hooks::FileOp::Sync, folder);
    const posix::Fd fd(
        ::open(posix::NativePath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.IsOpen())
        RaiseErrno(errno);
    // A drive's whole flush can take long: the window goes on painting meanwhile.
    int ok = 0;
    int e = 0;
    WhileResponsive([&] {
        ok = ::syncfs(fd.Get());
        e = errno;
    });
    if (ok != 0)
        RaiseErrno(e);
}

FillFile::FillFile() = default;

FillFile::~FillFile() = default;

void FillFile::Create(const QString& folder, const QString& name) {
    if (file_)
        Raise(err::FileAlreadyOpen);
    const QString path = JoinPath(folder, name);
    MaybeFail(hooks::FileOp::Open, path);
    // A file past the process's size limit is an error of the write (EFBIG), not
    // the end of the program.
    static const bool ignored = std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
    (void)ignored;
    const posix::Fd dir(::open(posix::NativePath(folder).constData(),
                               O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!dir.IsOpen())
        RaiseErrno(errno);
    const QByteArray base = posix::NativePath(name);
    if (::unlinkat(dir.Get(), base.constData(), 0) != 0 && errno != ENOENT)
        RaiseErrno(errno);
    int fd;
    do {
        fd = ::openat(dir.Get(), base.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        RaiseErrno(errno);
    file_ = std::make_unique<detail::OpenFile>(posix::Fd(fd), path);
    position_ = 0;
}

void FillFile::Write(const void* data, std::size_t size) {
    // The position follows every byte written, so a part-way failure stays counted.
    detail::Require(file_).WriteAt(data, size, &position_);
}

void FillFile::Sync() {
    detail::Require(file_).Sync();
}

void FillFile::Close() {
    if (const std::unique_ptr<detail::OpenFile> file = std::move(file_))
        file->Close();
}

}  // namespace platform
