#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <limits>
#include <utility>

#include "platform/Errors.h"
#include "platform/FileSystems.h"
#include "platform/Files.h"
#include "platform/HeldFile.h"
#include "platform/HeldFileState.h"
#include "platform/OpenFile.h"
#include "platform/PosixIo.h"
#include "platform/RenameNoReplace.h"
#include "platform/TreeAnchorState.h"
#include "platform/TreeCensus.h"

namespace platform {

namespace {

using posix::MaybeFail;

struct stat RequireRegular(const posix::Fd& fd) {
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) {
        RaiseErrno(errno);
    }
    if (!S_ISREG(st.st_mode)) {
        Raise(err::PathFileAccessError);
    }
    return st;
}

bool IsKernelFileSystem(const struct statfs& fs) {
    return detail::IsKernelFileSystemType(detail::FileSystemTypeOf(fs.f_type));
}

void RequireDataFileSystem(const posix::Fd& fd) {
    struct statfs fs {};
    if (::fstatfs(fd.Get(), &fs) == 0 && IsKernelFileSystem(fs)) {
        Raise(err::PathFileAccessError);
    }
}

// Opened with O_NONBLOCK so that a fifo cannot hold the open up; written blocking.
// `flags`: the flags it was opened with, where the opener knows them.
void ClearNonBlocking(const posix::Fd& fd, int flags = -1) {
    if (flags < 0)
        flags = ::fcntl(fd.Get(), F_GETFL);
    if (flags >= 0) {
        ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK);
    }
}

}  // namespace

ByteFile::ByteFile() = default;

ByteFile::ByteFile(const QString& path) {
    Open(path);
}

ByteFile::ByteFile(const HeldFile& held) {
    Open(held);
}

ByteFile::~ByteFile() = default;

void ByteFile::Open(const QString& path) {
    if (file_) {
        Raise(err::FileAlreadyOpen);
    }
    MaybeFail(hooks::FileOp::Open, path);
    // O_NONBLOCK keeps a fifo that slipped past the existence test from blocking the open.
    Adopt(posix::OpenOwned(nullptr, path, O_RDWR | O_NONBLOCK), path, nullptr);
}

void ByteFile::Open(const HeldFile& held) {
    if (file_) {
        Raise(err::FileAlreadyOpen);
    }
    MaybeFail(hooks::FileOp::Open, held.Path());
    Adopt(posix::OpenHeld(held, O_RDWR | O_NONBLOCK), held.Path(), held.Beneath());
}

void ByteFile::Adopt(posix::Fd fd, const QString& path, TreeAnchor* beneath) {
    const struct stat st = RequireRegular(fd);
    // Checked on the descriptor, so a name made just before the open counts too.
    if (!posix::MayChangeLinked(beneath, path, fd.Get(), st)) {
        throw FileHasOtherNames(posix::NoteLeftAlone(beneath, fd.Get()));
    }
    RequireDataFileSystem(fd);
    // A file whose owner lacks write permission is read-only for the program,
    // whoever runs it: root's open() would let it through.
    if ((st.st_mode & S_IWUSR) == 0) {
        RaiseErrno(EACCES);
    }
    ClearNonBlocking(fd, O_RDWR);
    file_ = std::make_unique<detail::OpenFile>(std::move(fd), path,
                                               static_cast<std::uint64_t>(st.st_dev));
    position_ = 0;
}

std::int64_t ByteFile::Length() const {
    struct stat st {};
    if (::fstat(detail::Require(file_).Descriptor(), &st) != 0) {
        RaiseErrno(errno);
    }
    return static_cast<std::int64_t>(st.st_size);
}

void ByteFile::Seek(std::int64_t position) {
    detail::Require(file_);
    if (position < 1) {
        Raise(err::BadFileNameOrNumber);
    }
    position_ = position - 1;
}

void ByteFile::Write(const void* data, std::size_t size) {
    std::int64_t offset = position_;
    detail::Require(file_).WriteAt(data, size, &offset);
    position_ = offset;
}

void ByteFile::Sync() {
    detail::Require(file_).Sync();
}

void ByteFile::Close() {
    if (const std::unique_ptr<detail::OpenFile> file = std::move(file_)) {
        file->Close();
    }
}

namespace {

// The new file that will replace `path`: a name beside it that nobody holds,
// "name.xxxxxxxx", created there; the name is put in *made.
posix::Fd CreateReplacement(const QString& path, QString* made) {
    for (int tries = 1;; ++tries) {
        const QString name =
            path + QStringLiteral(".%1").arg(QRandomGenerator::system()->generate(), 8, 16,
                                             QLatin1Char('0'));
        posix::Fd fd(posix::OpenNoFollow(nullptr, name, O_WRONLY | O_CREAT | O_EXCL, 0666));
        if (fd.IsOpen()) {
            *made = name;
            return fd;
        }
        if (const int e = errno; e != EEXIST || tries == 16) {
            RaiseErrno(e);
        }
    }
}

// Renames the replacement over the name: what the name held, a link included, is
// replaced as a name, never opened.
void ReplaceWith(const QString& replacement, const QString& path) {
    const posix::ParentOf from(nullptr, replacement), to(nullptr, path);
    for (const posix::ParentOf* p : {&from, &to}) {
        if (p->Error() != 0) {
            RaiseErrno(p->Error());
        }
    }
    if (::renameat(from.Dir(), from.Name(), to.Dir(), to.Name()) != 0) {
        RaiseErrno(errno);
    }
}

// Removes a replacement that is not to be used; nothing is left to report to.
void RemoveReplacement(const QString& replacement) {
    const posix::ParentOf p(nullptr, replacement);
    if (p.Error() == 0) {
        ::unlinkat(p.Dir(), p.Name(), 0);
    }
}

}  // namespace

OutputFile::OutputFile() = default;

OutputFile::OutputFile(const QString& path) {
    Open(path);
}

OutputFile::~OutputFile() {
    if (file_)
        CutToWritten(true);
    if (!replacement_.isEmpty()) {
        file_.reset();
        RemoveReplacement(replacement_);
    }
}

void OutputFile::Open(const QString& path) {
    if (file_) {
        Raise(err::FileAlreadyOpen);
    }
    MaybeFail(hooks::FileOp::OpenOutput, path);
    posix::Fd fd = posix::OpenOwned(nullptr, path, O_WRONLY | O_CREAT | O_NONBLOCK, 0666);
    RequireRegular(fd);
    if (::ftruncate(fd.Get(), 0) != 0) {
        RaiseErrno(errno);
    }
    ClearNonBlocking(fd);
    file_ = std::make_unique<detail::OpenFile>(std::move(fd), path);
}

void OutputFile::Open(const HeldFile& held) {
    if (file_) {
        Raise(err::FileAlreadyOpen);
    }
    const QString& path = held.Path();
    MaybeFail(hooks::FileOp::OpenOutput, path);
    // Never created here, and truncated only when it is the file held.
    posix::Fd fd = posix::OpenHeld(held, O_WRONLY | O_NONBLOCK);
    const struct stat st = RequireRegular(fd);
    if (!posix::MayChangeLinked(held.Beneath(), path, fd.Get(), st)) {
        throw FileHasOtherNames(posix::NoteLeftAlone(held.Beneath(), fd.Get()));
    }
    ClearNonBlocking(fd, O_WRONLY);
    file_ = std::make_unique<detail::OpenFile>(std::move(fd), path);
    cutAt_ = 0;
}

void OutputFile::CutToWritten(bool quiet) {
    if (cutAt_ < 0 || !file_)
        return;
    const std::int64_t length = std::exchange(cutAt_, -1);
    if (::ftruncate(file_->Descriptor(), static_cast<off_t>(length)) != 0 && !quiet) {
        RaiseErrno(errno);
    }
}

void OutputFile::PrintLine(const QString& text) {
    WriteRaw(text.toUtf8() + QByteArrayLiteral("\r\n"));
}

void OutputFile::WriteRaw(const QByteArray& bytes) {
    detail::Require(file_).Append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (cutAt_ >= 0)
        cutAt_ += bytes.size();
}

void OutputFile::Sync() {
    detail::Require(file_);
    CutToWritten(false);
    file_->Sync();
}

void OutputFile::Close() {
    CutToWritten(false);
    const QString replacement = std::exchange(replacement_, QString());
    if (const std::unique_ptr<detail::OpenFile> file = std::move(file_)) {
        try {
            file->Close();
            if (!replacement.isEmpty())
                ReplaceWith(replacement, file->Path());
        } catch (...) {
            if (!replacement.isEmpty())
                RemoveReplacement(replacement);
            throw;
        }
    }
}

OutputFile::OutputFile(const QString& path, Mode mode) {
    Open(path, mode);
}

void OutputFile::Open(const QString& path, Mode mode) {
    if (mode == Mode::Truncate) {
        Open(path);
        return;
    }
    if (file_) {
        Raise(err::FileAlreadyOpen);
    }
    MaybeFail(hooks::FileOp::OpenOutput, path);
    // O_EXCL: whatever holds the name, a link or another name of someone's file
    // put there a moment ago, is refused, never opened.
    QString replacement;
    posix::Fd fd = mode == Mode::CreateNew
                       ? posix::OpenOwned(nullptr, path, O_WRONLY | O_CREAT | O_EXCL, 0666)
                       : CreateReplacement(path, &replacement);
    file_ = std::make_unique<detail::OpenFile>(std::move(fd), path);
    replacement_ = replacement;
}

QByteArray ReadAllBytes(const QString& path) {
    return ReadFileStart(path, std::numeric_limits<std::int64_t>::max());
}

QByteArray ReadFileStart(const QString& path, std::int64_t maxBytes) {
    const posix::Fd fd = posix::OpenOwned(nullptr, path, O_RDONLY | O_NONBLOCK);
    RequireRegular(fd);
    QByteArray out;
    char buf[65536];
    while (out.size() < maxBytes) {
        const auto want = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(sizeof buf), maxBytes - out.size()));
        const ssize_t n = ::read(fd.Get(), buf, want);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            RaiseErrno(errno);
        }
        if (n == 0) {
            break;
        }
        out.append(buf, n);
    }
    return out;
}

void RenameFile(const QString& from, const QString& to) {
    MaybeFail(hooks::FileOp::Rename, from);
    const posix::ParentOf a(nullptr, from), b(nullptr, to);
    if (const int e = posix::RenameNoReplaceAt(a.Dir(), a.Name(), b.Dir(), b.Name(), false);
        e != 0) {
        RaiseErrno(e);
    }
}

void DeleteFile(const QString& path, TreeAnchor* beneath) {
    MaybeFail(hooks::FileOp::Delete, path);
    const posix::ParentOf p(beneath, path);
    if (p.Error() != 0) {
        RaiseErrno(p.Error());
    }
    // The run's count of a file's names inside its tree follows each removal.
    const posix::FileKey key =
        p.Anchored() ? posix::CensusKeyAt(p.Dir(), p.Name()) : posix::FileKey{};
    if (::unlinkat(p.Dir(), p.Name(), 0) != 0) {
        RaiseErrno(errno);
    }
    posix::NoteNameRemoved(beneath, key);
}

namespace {

// The object the path names, not through a link; beneath a folder run's top,
// resolved there. 0 or the errno value.
int StatNoFollow(TreeAnchor* beneath, const QString& path, struct stat* st) {
    if (!posix::Anchored(beneath, path)) {
        return ::lstat(posix::NativePath(path).constData(), st) == 0 ? 0 : errno;
    }
    const posix::Fd fd(posix::OpenNoFollow(beneath, path, O_PATH));
    if (!fd.IsOpen()) {
        return errno;
    }
    return ::fstat(fd.Get(), st) == 0 ? 0 : errno;
}

}  // namespace

FileKind KindOf(const QString& path, TreeAnchor* beneath) {
    if (path.isEmpty()) {
        return FileKind::Missing;
    }
    struct stat st {};
    if (StatNoFollow(beneath, path, &st) != 0) {
        return FileKind::Missing;
    }
    if (S_ISLNK(st.st_mode)) {
        return FileKind::Link;
    }
    if (S_ISREG(st.st_mode)) {
        return FileKind::Regular;
    }
    if (S_ISDIR(st.st_mode)) {
        return FileKind::Folder;
    }
    return FileKind::Other;
}

bool ExistsNormalFile(const QString& path, TreeAnchor* beneath) {
    // The test the per-file wipe makes of the file it holds.
    return HeldFile(path, beneath).IsNormalFile();
}

}  // namespace platform
