#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform/Errors.h"
#include "platform/FillFiles.h"
#include "platform/OpenFile.h"
#include "platform/Paths.h"
#include "platform/PosixIo.h"

namespace platform {

using posix::MaybeFail;

namespace {

FileIdentity IdentityOfStat(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

}  // namespace

FillFile::FillFile() = default;

FillFile::~FillFile() = default;

void FillFile::Create(const HeldFolder& folder, const QString& name) {
    if (file_)
        Raise(err::FileAlreadyOpen);
    const QString path = JoinPath(folder.Path(), name);
    MaybeFail(hooks::FileOp::Open, path);
    if (!folder.IsOpen())
        Raise(err::BadFileNameOrNumber);
    // A file past the process's size limit is an error of the write (EFBIG), not
    // the end of the program.
    static const bool ignored = std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
    (void)ignored;
    const int dir = folder.Descriptor();
    const QByteArray base = posix::NativePath(name);
    if (::unlinkat(dir, base.constData(), 0) != 0 && errno != ENOENT)
        RaiseErrno(errno);
    int fd;
    do {
        fd = ::openat(dir, base.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        RaiseErrno(errno);
    posix::Fd owned(fd);
    struct stat st {};
    if (::fstat(owned.Get(), &st) != 0)
        RaiseErrno(errno);
    identity_ = IdentityOfStat(st);
    file_ = std::make_unique<detail::OpenFile>(std::move(owned), path);
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
