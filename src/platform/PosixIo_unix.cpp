#include <unistd.h>

#include <QFile>
#include <cerrno>

#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/PosixIo.h"

namespace platform {

namespace posix {

QByteArray NativePath(const QString& path) {
    return QFile::encodeName(path);
}

Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = other.Release();
    }
    return *this;
}

Fd::~Fd() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void Fd::Close() {
    const int fd = Release();
    if (fd >= 0 && ::close(fd) != 0 && errno != EINTR) {
        RaiseErrno(errno);
    }
}

int InjectedErrno(hooks::FileOp op, const QString& path) {
    switch (detail::InjectedFault(op, path)) {
        case hooks::Fault::None:
            return 0;
        case hooks::Fault::AccessDenied:
            return EACCES;
        case hooks::Fault::NotPermitted:
            return EPERM;
        case hooks::Fault::ReadOnly:
            return EROFS;
        case hooks::Fault::AlreadyExists:
            return EEXIST;
        case hooks::Fault::DiskFull:
            return ENOSPC;
        case hooks::Fault::DeviceError:
            break;
    }
    return EIO;
}

void MaybeFail(hooks::FileOp op, const QString& path) {
    if (const int e = InjectedErrno(op, path); e != 0) {
        RaiseErrno(e);
    }
}

void WriteAll(int fd, const void* data, std::size_t size, std::int64_t* offset) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = offset ? ::pwrite(fd, bytes, size, static_cast<off_t>(*offset))
                           : ::write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            RaiseErrno(errno);
        }
        if (n == 0) {
            // No progress and no error: the device has no room left.
            Raise(err::DiskFull);
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
        if (offset) {
            *offset += n;
        }
    }
}

}  // namespace posix

}  // namespace platform
