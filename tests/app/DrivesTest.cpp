// The drive list's entries: the mounted file systems that hold storage.
#include <gtest/gtest.h>

#include <QDir>

#include "platform/Drives.h"

namespace {

using platform::MountedVolume;

std::vector<MountedVolume> Volumes() {
    return {
        {"/", "/dev/sda1", "ext4"},
        {"/proc", "proc", "proc"},
        {"/sys", "sysfs", "sysfs"},
        {"/sys/fs/cgroup", "cgroup2", "cgroup2"},
        {"/dev/pts", "devpts", "devpts"},
        {"/dev", "udev", "devtmpfs"},
        {"/run", "tmpfs", "tmpfs"},
        {"/tmp", "tmpfs", "tmpfs"},
        {"/snap/core/1", "/dev/loop0", "squashfs"},
        {"/media/usb", "/dev/sdb1", "vfat"},
        {"/home", "/dev/sda2", "btrfs"},
        {"/srv/home-again", "/dev/sda2", "btrfs"},   // the same file system bound elsewhere
        {"/etc/hosts", "/dev/sda1", "ext4", false},  // a file mounted over a file
    };
}

TEST(Drives, OnlyStorageIsListedEachFileSystemOnce) {
    std::vector<MountedVolume> kept = platform::StorageVolumes(Volumes());
    QStringList roots;
    for (const MountedVolume& v : kept) roots << v.root;
    EXPECT_EQ(roots, QStringList({"/", "/home", "/media/usb"}));
}

TEST(Drives, CurrentFolderSelectsItsFileSystem) {
    const std::vector<MountedVolume> all = Volumes();
    const std::vector<MountedVolume> kept = platform::StorageVolumes(all);
    struct Case {
        const char* folder;
        int index;
    } cases[] = {
        {"/", 0},
        {"/home/user/work", 1},
        {"/homework", 0},          // not inside /home
        {"/srv/home-again/x", 1},  // the same file system as /home
        {"/media/usb", 2},
        {"/tmp/build", 0},  // memory: the storage it lies on
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::VolumeIndexFor(all, kept, c.folder), c.index) << c.folder;
    }
}

TEST(Drives, SystemListHoldsTheCurrentFolder) {
    platform::DriveListing listing = platform::ListDrives();
    ASSERT_FALSE(listing.drives.isEmpty());
    ASSERT_GE(listing.current, 0);
    const QString root = listing.drives.at(listing.current);
    const QString here = QDir::current().canonicalPath();
    EXPECT_TRUE(root == "/" || here == root || here.startsWith(root + "/")) << root.toStdString();
}

}  // namespace
