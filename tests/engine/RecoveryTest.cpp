// After a wipe, the raw device holds no copy of the file's data.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "engine/Dialog.h"
#include "engine/Wipe.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

bool RunTool(const QString& program, const QStringList& args, QString* output = nullptr) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    bool ok =
        p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (output)
        *output = QString::fromLocal8Bit(p.readAll());
    return ok;
}

TEST(Recovery, TheRawImageHoldsNoCopyOfTheMarker) {
    if (!RunningAsRoot())
        GTEST_SKIP() << "loop mounts need root";
    if (QStandardPaths::findExecutable(QStringLiteral("mkfs.ext4")).isEmpty() &&
        !QFile::exists(QStringLiteral("/sbin/mkfs.ext4"))) {
        GTEST_SKIP() << "mkfs.ext4 (e2fsprogs) is not installed";
    }
    // A private mount namespace: the mount is this process's alone and goes with it.
    if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr)) {
        GTEST_SKIP() << "no private mount namespace can be made here";
    }
    ResetEngineState();
    FillMarkedTexts();
    FakeMainWindow form1;
    BoxRecorder boxes;
    TempFolder folder;
    const QString image = folder.File(QStringLiteral("disk.img"));
    const QString mnt = folder.File(QStringLiteral("mnt"));
    ASSERT_TRUE(QDir().mkpath(mnt));
    QString out;
    ASSERT_TRUE(
        RunTool(QStringLiteral("truncate"), {QStringLiteral("-s"), QStringLiteral("24M"), image}));
    ASSERT_TRUE(RunTool(QStringLiteral("mkfs.ext4"),
                        {QStringLiteral("-q"), QStringLiteral("-F"), image}, &out))
        << out.toStdString();
    if (!RunTool(QStringLiteral("mount"),
                 {QStringLiteral("-o"), QStringLiteral("loop"), image, mnt}, &out)) {
        GTEST_SKIP() << "a loop device cannot be mounted here: " << out.toStdString();
    }

    const QByteArray marker("QX-MARKER-5e1f0c2b-");
    for (int method : {1, 2}) {
        SCOPED_TRACE(method);
        QByteArray data;
        while (data.size() < 96 * 1024) data += marker + QByteArray::number(method);
        const QString path = mnt + QStringLiteral("/secret%1.txt").arg(method);
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            ASSERT_EQ(f.write(data), data.size());
            ASSERT_TRUE(f.flush());
            ASSERT_EQ(fsync(f.handle()), 0);
        }
        ASSERT_TRUE(RunTool(QStringLiteral("sync"), {}));
        engine::WipeFile(path, static_cast<std::int16_t>(method));
        EXPECT_FALSE(QFile::exists(path));
        EXPECT_TRUE(boxes.boxes.empty());
        engine::Dialog().Unload();
    }
    ASSERT_TRUE(RunTool(QStringLiteral("umount"), {mnt}, &out)) << out.toStdString();

    QFile raw(image);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    EXPECT_EQ(bytes.indexOf(marker), -1) << "the marker survived on the device";
}

}  // namespace
