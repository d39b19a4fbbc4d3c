#include <fcntl.h>
#include <sys/stat.h>

#include <QFile>
#include <QHash>
#include <cerrno>

#include "platform/Drives.h"

namespace platform {

namespace {

// The file system (st_dev) under each folder of the last listing.
QHash<QString, dev_t>& Listed() {
    static QHash<QString, dev_t> listed;
    return listed;
}

bool StatNoFollow(const QString& path, struct stat& st) {
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Whether the folder is the root of a mount.
bool IsMountRoot(const QString& path, const struct stat& st) {
    if (path == QLatin1String("/"))
        return true;
#if defined(STATX_ATTR_MOUNT_ROOT)
    struct statx sx {};
    if (::statx(AT_FDCWD, QFile::encodeName(path).constData(), AT_SYMLINK_NOFOLLOW, 0, &sx) == 0 &&
        (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT)) {
        return (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    }
#endif
    // Without the kernel's answer: a mount root lies on another file system than
    // its parent (a folder bound onto itself is missed, which only refuses).
    struct stat parent {};
    if (::stat(QFile::encodeName(path + QStringLiteral("/..")).constData(), &parent) != 0)
        return false;
    return parent.st_dev != st.st_dev || parent.st_ino == st.st_ino;
}

}  // namespace

namespace detail {
void RecordListed(const QStringList& roots) {
    Listed().clear();
    for (const QString& root : roots) {
        struct stat st {};
        if (StatNoFollow(root, st) && S_ISDIR(st.st_mode))
            Listed().insert(root, st.st_dev);
    }
}
}  // namespace detail

bool StillMountedAsListed(const QString& root) {
    if (root.isEmpty())
        return false;
    const auto it = Listed().constFind(root);
    if (it == Listed().constEnd())
        return false;
    struct stat st {};
    if (!StatNoFollow(root, st) || !S_ISDIR(st.st_mode) || st.st_dev != it.value())
        return false;
    return IsMountRoot(root, st);
}

}  // namespace platform
