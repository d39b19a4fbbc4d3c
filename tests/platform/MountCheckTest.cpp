// The free-space wipe's check that a drive entry is still the mount it was.
#include <gtest/gtest.h>

#include "platform/Drives.h"
#include "support/TestSupport.h"

namespace {

TEST(MountCheck, OnlyAListedFolderAtTheRootOfAMountPasses) {
    testsupport::TempFolder folder;
    const QString file = folder.Write(QStringLiteral("file"), "x");
    platform::hooks::SetMountedVolumes(
        std::vector<platform::MountedVolume>{
            {QStringLiteral("/"), QStringLiteral("/dev/sda1"), QStringLiteral("ext4")},
            {folder.Path(), QStringLiteral("/dev/sdb1"), QStringLiteral("ext4")},
            {file, QStringLiteral("/dev/sdc1"), QStringLiteral("ext4")},
        },
        QStringLiteral("/"));
    (void)platform::ListDrives();
    struct Case {
        QString drive;
        bool passes;
    } cases[] = {
        {QStringLiteral("/"), true},
        {QString(), false},                   // an empty list
        {folder.Path(), false},               // a folder that is no mount (any more)
        {file, false},                        // not a folder
        {QStringLiteral("/nowhere"), false},  // never listed
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::StillMountedAsListed(c.drive), c.passes) << c.drive.toStdString();
    }
    platform::hooks::SetMountedVolumes(std::nullopt);
}

}  // namespace
