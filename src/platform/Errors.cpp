#include "platform/Errors.h"

#include <cerrno>
#include <cstring>

namespace platform {

RuntimeError::RuntimeError(int number, QString description)
    : number_(number), description_(std::move(description)) {
    what_ = (description_ + QStringLiteral(" (") + QString::number(number_) + QStringLiteral(")"))
                .toUtf8();
}

RuntimeError::RuntimeError(int number) : RuntimeError(number, DescriptionForNumber(number)) {}

const char* RuntimeError::what() const noexcept {
    return what_.constData();
}

int ErrorNumberForErrno(int e) {
    switch (e) {
        case ENOENT:
            return err::FileNotFound;
        case ENOTDIR:
            return err::PathNotFound;
        case ENOSPC:
            return err::DiskFull;
        case EFBIG:
            // The file has reached the largest size the file system allows.
            return err::BadRecordNumber;
#ifdef EDQUOT
        // A quota is a refusal, not a full drive: the free-space wipe must not
        // report it as a wiped drive.
        case EDQUOT:
#endif
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY:
            return err::PermissionDenied;
        case EBADF:
        case ENAMETOOLONG:
        case EINVAL:
            return err::BadFileNameOrNumber;
        case EEXIST:
        case ENOTEMPTY:
            return err::FileAlreadyExists;
        case EMFILE:
        case ENFILE:
            return err::TooManyFiles;
        case EXDEV:
            return err::RenameAcrossDisks;
        case EISDIR:
        case ELOOP:
            return err::PathFileAccessError;
        case ENXIO:
        case ENODEV:
            return err::DeviceUnavailable;
        case EBUSY:
            return err::PermissionDenied;
        case EIO:
        default:
            return err::DeviceIoError;
    }
}

QString DescriptionForNumber(int number) {
    switch (number) {
        case err::Overflow:
            return QStringLiteral("Overflow");
        case err::DivisionByZero:
            return QStringLiteral("Division by zero");
        case err::BadFileNameOrNumber:
            return QStringLiteral("Bad file name or number");
        case err::FileNotFound:
            return QStringLiteral("File not found");
        case err::BadFileMode:
            return QStringLiteral("Bad file mode");
        case err::FileAlreadyOpen:
            return QStringLiteral("File already open");
        case err::DeviceIoError:
            return QStringLiteral("Device I/O error");
        case err::FileAlreadyExists:
            return QStringLiteral("File already exists");
        case err::DiskFull:
            return QStringLiteral("Disk full");
        case err::BadRecordNumber:
            return QStringLiteral("Bad record number");
        case err::InputPastEnd:
            return QStringLiteral("Input past end of file");
        case err::TooManyFiles:
            return QStringLiteral("Too many files");
        case err::DeviceUnavailable:
            return QStringLiteral("Device unavailable");
        case err::PermissionDenied:
            return QStringLiteral("Permission denied");
        case err::DiskNotReady:
            return QStringLiteral("Disk not ready");
        case err::RenameAcrossDisks:
            return QStringLiteral("Can't rename with different drive");
        case err::PathFileAccessError:
            return QStringLiteral("Path/File access error");
        case err::PathNotFound:
            return QStringLiteral("Path not found");
        default:
            return QStringLiteral("Application-defined or object-defined error");
    }
}

RuntimeError ErrorFromErrno(int e) {
    return RuntimeError(ErrorNumberForErrno(e), QString::fromLocal8Bit(std::strerror(e)));
}

void RaiseErrno(int e) {
    throw ErrorFromErrno(e);
}

void Raise(int number) {
    throw RuntimeError(number);
}

QString DescribeWithNumber(const RuntimeError& error) {
    return error.Description() + QStringLiteral(" (") + QString::number(error.Number()) +
           QStringLiteral(")");
}

}  // namespace platform
