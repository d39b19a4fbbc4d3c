// The drives of the drive list: the mounted file systems that hold storage.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace platform {

struct MountedVolume {
    QString root;            // the mount point
    QString device;          // what is mounted there
    QString fileSystemType;  // "ext4", "proc", …
    bool isFolder = true;    // a file can be mounted over a file (a bind mount)
};

// The volumes that hold storage: no kernel or memory file systems (proc, sysfs,
// cgroup, devpts, tmpfs and the like), no mount that is not a folder, and each
// device once, at its shortest mount point. Sorted by mount point.
std::vector<MountedVolume> StorageVolumes(const std::vector<MountedVolume>& all);

// The entry of `storage` that holds `folder` (an absolute, canonical path): the
// one on the device of the volume mounted nearest above the folder, else the
// storage volume mounted nearest above it; -1 when none is.
int VolumeIndexFor(const std::vector<MountedVolume>& all, const std::vector<MountedVolume>& storage,
                   const QString& folder);

// The drive list's entries (mount points) and the index of the current folder's drive.
struct DriveListing {
    QStringList drives;
    int current = -1;
};
DriveListing ListDrives();

// Whether the folder is still what the drive list showed when it was last
// filled: a folder (not a link) at the root of a mount, of the same file system.
// False for an empty text, a folder the list never showed, and an entry that has
// been unmounted since (its folder now lies on another file system).
bool StillMountedAsListed(const QString& root);

namespace detail {
// Notes the file system under each listed folder, for StillMountedAsListed.
void RecordListed(const QStringList& roots);
}  // namespace detail

namespace hooks {
// Replaces the system's mounted volumes and the current folder (tests);
// std::nullopt goes back to the system's.
void SetMountedVolumes(std::optional<std::vector<MountedVolume>> volumes,
                       QString currentFolder = QString());
}  // namespace hooks

}  // namespace platform
