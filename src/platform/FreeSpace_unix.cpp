#include <sys/statvfs.h>

#include <QFile>
#include <cerrno>
#include <limits>

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
    const std::uint64_t blocks = vfs.f_bfree;
    const std::uint64_t size = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
    if (size != 0 && blocks > std::numeric_limits<std::uint64_t>::max() / size) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return blocks * size;
}

}  // namespace platform::detail
