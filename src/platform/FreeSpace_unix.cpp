#include <sys/statvfs.h>

#include <QFile>
#include <cerrno>

#include "platform/FreeSpace.h"

namespace platform::detail {

std::optional<std::uint64_t> SystemTotalFreeBytes(const QString& folder) {
    const QByteArray name = QFile::encodeName(folder);
    if (name.isEmpty())
        return std::nullopt;
    struct statvfs vfs {};
    int rc;
    do {
        rc = ::statvfs(name.constData(), &vfs);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0)
        return std::nullopt;
    return FreeBlockBytes(vfs.f_bfree, vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize);
}

}  // namespace platform::detail
