// The free-space query against the system's own figures.
#include <gtest/gtest.h>

#include <sys/statvfs.h>

#include <QFile>

#include "platform/FreeSpace.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

TEST(FreeSpaceTest, CountsAllFreeBytesOfTheFolder_sFileSystem) {
    TempFolder folder;
    struct statvfs vfs {};
    ASSERT_EQ(::statvfs(QFile::encodeName(folder.Path()).constData(), &vfs), 0);
    const double expected = static_cast<double>(vfs.f_bfree) * static_cast<double>(vfs.f_frsize);
    auto measured = platform::TotalFreeBytes(folder.Path());
    ASSERT_TRUE(measured);
    // Other programs write meanwhile; the root's reserve (bfree, not bavail) counts.
    EXPECT_NEAR(static_cast<double>(*measured), expected, 64.0 * 1024 * 1024);

    EXPECT_FALSE(platform::TotalFreeBytes(folder.File(QStringLiteral("missing"))));
    EXPECT_FALSE(platform::TotalFreeBytes(QString()));
}

}  // namespace
