#include "support/MountSupport.h"

#include <gtest/gtest.h>
#include <linux/magic.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "support/TestSupport.h"

namespace testsupport {

bool RunTool(const QString& program, const QStringList& args, QString* output) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    const bool ok =
        p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (output)
        *output = QString::fromLocal8Bit(p.readAll());
    return ok;
}

bool EnterPrivateMounts(std::string* reason) {
    static bool entered = false;
    if (entered)
        return true;
    if (!RunningAsRoot()) {
        *reason = "mounting a file system of the test's own needs root";
        return false;
    }
    if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr)) {
        *reason = "no private mount namespace can be made here";
        return false;
    }
    entered = true;
    return true;
}

void MountExt4Image(const QString& image, const QString& folder, int mib,
                    const QStringList& options) {
    std::string reason;
    if (!EnterPrivateMounts(&reason))
        GTEST_SKIP() << reason;
    ASSERT_TRUE(QDir().mkpath(folder)) << folder.toStdString();
    if (QStandardPaths::findExecutable(QStringLiteral("mkfs.ext4")).isEmpty() &&
        !QFile::exists(QStringLiteral("/sbin/mkfs.ext4"))) {
        GTEST_SKIP() << "mkfs.ext4 (e2fsprogs) is not installed";
    }
    QString out;
    ASSERT_TRUE(RunTool(QStringLiteral("truncate"),
                        {QStringLiteral("-s"), QStringLiteral("%1M").arg(mib), image}, &out))
        << out.toStdString();
    ASSERT_TRUE(RunTool(QStringLiteral("mkfs.ext4"),
                        QStringList{QStringLiteral("-q"), QStringLiteral("-F")} << options << image,
                        &out))
        << out.toStdString();
    if (!RunTool(QStringLiteral("mount"),
                 {QStringLiteral("-o"), QStringLiteral("loop"), image, folder}, &out)) {
        GTEST_SKIP() << "a loop device cannot be mounted here: " << out.toStdString();
    }
    // Never write to anything but the small file system made here.
    struct statfs fs {};
    ASSERT_EQ(::statfs(QFile::encodeName(folder).constData(), &fs), 0);
    ASSERT_EQ(fs.f_type, EXT4_SUPER_MAGIC) << "the folder is not the test's ext4 image";
    ASSERT_LE(static_cast<long long>(fs.f_blocks) * fs.f_bsize, static_cast<long long>(mib) << 20)
        << "the folder is not the test's small ext4 image";
}

long long TmpfsSize(const QString& folder) {
    struct statfs fs {};
    if (::statfs(QFile::encodeName(folder).constData(), &fs) != 0 || fs.f_type != TMPFS_MAGIC)
        return -1;
    return static_cast<long long>(fs.f_blocks) * fs.f_bsize;
}

void AssertSmallTmpfs(const QString& folder, long long largest) {
    const long long size = TmpfsSize(folder);
    ASSERT_GT(size, 0) << folder.toStdString() << " is not on the test's tmpfs";
    ASSERT_LE(size, largest) << folder.toStdString() << " is not on the test's small tmpfs";
}

void ExpectImageHoldsNo(const QString& folder, const QString& image, const QByteArray& marker) {
    QString out;
    ASSERT_TRUE(RunTool(QStringLiteral("umount"), {folder}, &out)) << out.toStdString();
    const QByteArray bytes = ReadFile(image);
    ASSERT_GT(bytes.size(), 0) << "the image cannot be read";
    EXPECT_EQ(bytes.indexOf(marker), -1) << "a marker survived on the device";
}

void WriteSynced(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(data), data.size());
    ASSERT_TRUE(f.flush());
    ASSERT_EQ(fsync(f.handle()), 0);
}

}  // namespace testsupport
