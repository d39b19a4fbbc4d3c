#include "platform/Drives.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>
#include <algorithm>

#include "platform/FileSystems.h"

namespace platform {

namespace {

std::optional<std::vector<MountedVolume>> g_volumes;
QString g_currentFolder;

// File systems that hold no storage of their own, or only memory.
bool IsPseudoFileSystem(const QString& type) {
    static const QSet<QString> notStorage = {
        QStringLiteral("tmpfs"),
        QStringLiteral("ramfs"),
        // Read-only package images: nothing to wipe there.
        QStringLiteral("squashfs"),
        // The desktop's virtual folders.
        QStringLiteral("fuse.gvfsd-fuse"),
        QStringLiteral("fuse.portal"),
    };
    return detail::IsKernelFileSystem(type) || notStorage.contains(type);
}

// Whether the mount point is the folder itself or one of its parents.
bool IsAbove(const QString& root, const QString& folder) {
    if (root == QLatin1String("/"))
        return folder.startsWith(QLatin1Char('/'));
    return folder == root || folder.startsWith(root + QLatin1Char('/'));
}

// The entry of the list mounted nearest above the folder, or -1.
int Nearest(const std::vector<MountedVolume>& list, const QString& folder) {
    int best = -1;
    for (int i = 0; i < static_cast<int>(list.size()); ++i) {
        const QString& root = list[static_cast<std::size_t>(i)].root;
        if (IsAbove(root, folder) &&
            (best < 0 || root.size() > list[static_cast<std::size_t>(best)].root.size())) {
            best = i;
        }
    }
    return best;
}

std::vector<MountedVolume> SystemVolumes() {
    std::vector<MountedVolume> all;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes()) {
        if (!s.isValid() || !s.isReady())
            continue;
        all.push_back({s.rootPath(), QString::fromLocal8Bit(s.device()),
                       QString::fromLatin1(s.fileSystemType()), QFileInfo(s.rootPath()).isDir()});
    }
    // The root file system is always there, even where the mount table cannot be read.
    if (std::none_of(all.begin(), all.end(),
                     [](const MountedVolume& v) { return v.root == QLatin1String("/"); })) {
        QStorageInfo root = QStorageInfo::root();
        all.push_back({QStringLiteral("/"), QString::fromLocal8Bit(root.device()),
                       QString::fromLatin1(root.fileSystemType()), true});
    }
    return all;
}

}  // namespace

std::vector<MountedVolume> StorageVolumes(const std::vector<MountedVolume>& all) {
    std::vector<MountedVolume> kept;
    for (const MountedVolume& v : all) {
        if (!v.isFolder || IsPseudoFileSystem(v.fileSystemType) || v.root.isEmpty())
            continue;
        auto same = std::find_if(kept.begin(), kept.end(), [&](const MountedVolume& k) {
            return k.device == v.device && !v.device.isEmpty();
        });
        if (same == kept.end()) {
            kept.push_back(v);
        } else if (v.root.size() < same->root.size()) {
            *same = v;
        }
    }
    std::sort(kept.begin(), kept.end(),
              [](const MountedVolume& a, const MountedVolume& b) { return a.root < b.root; });
    return kept;
}

int VolumeIndexFor(const std::vector<MountedVolume>& all, const std::vector<MountedVolume>& storage,
                   const QString& folder) {
    int mounted = Nearest(all, folder);
    if (mounted >= 0) {
        const QString& device = all[static_cast<std::size_t>(mounted)].device;
        for (int i = 0; i < static_cast<int>(storage.size()); ++i) {
            if (!device.isEmpty() && storage[static_cast<std::size_t>(i)].device == device) {
                return i;
            }
        }
    }
    return Nearest(storage, folder);
}

DriveListing ListDrives() {
    std::vector<MountedVolume> all = g_volumes ? *g_volumes : SystemVolumes();
    QString folder = g_volumes ? g_currentFolder : QDir::current().canonicalPath();
    std::vector<MountedVolume> storage = StorageVolumes(all);
    DriveListing listing;
    for (const MountedVolume& v : storage) listing.drives << v.root;
    listing.current = VolumeIndexFor(all, storage, folder);
    if (listing.current < 0 && !listing.drives.isEmpty())
        listing.current = 0;
    detail::RecordListed(listing.drives);
    return listing;
}

namespace hooks {
void SetMountedVolumes(std::optional<std::vector<MountedVolume>> volumes, QString currentFolder) {
    g_volumes = std::move(volumes);
    g_currentFolder = std::move(currentFolder);
}
}  // namespace hooks

}  // namespace platform
