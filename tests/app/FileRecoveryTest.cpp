// After the file wipe, the raw device holds no copy of the chosen files' data.
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "OperationFixture.h"

namespace apptest {
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

class FileRecoveryTest : public OperationTest {};

TEST_F(FileRecoveryTest, TheRawImageHoldsNoCopyOfTheChosenFiles) {
    if (!testsupport::RunningAsRoot())
        GTEST_SKIP() << "loop mounts need root";
    if (QStandardPaths::findExecutable(QStringLiteral("mkfs.ext4")).isEmpty() &&
        !QFile::exists(QStringLiteral("/sbin/mkfs.ext4"))) {
        GTEST_SKIP() << "mkfs.ext4 (e2fsprogs) is not installed";
    }
    // A private mount namespace: the mount is this process's alone and goes with it.
    if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr)) {
        GTEST_SKIP() << "no private mount namespace can be made here";
    }
    const QString image = folder_.File(QStringLiteral("disk.img"));
    const QString mnt = folder_.File(QStringLiteral("mnt"));
    ASSERT_TRUE(QDir().mkpath(mnt));
    QString out;
    ASSERT_TRUE(
        RunTool(QStringLiteral("truncate"), {QStringLiteral("-s"), QStringLiteral("32M"), image}));
    ASSERT_TRUE(RunTool(QStringLiteral("mkfs.ext4"),
                        {QStringLiteral("-q"), QStringLiteral("-F"), image}, &out))
        << out.toStdString();
    if (!RunTool(QStringLiteral("mount"),
                 {QStringLiteral("-o"), QStringLiteral("loop"), image, mnt}, &out)) {
        GTEST_SKIP() << "a loop device cannot be mounted here: " << out.toStdString();
    }

    const QByteArray marker("QX-MARKER-9b3e7d41-");
    for (int method : {1, 2}) {
        SCOPED_TRACE(method);
        form().Combo1.SetListIndex(method);
        QStringList files;
        for (int size : {600, 40 * 1024, 3 * 1024 * 1024}) {
            QByteArray data;
            const QByteArray tag =
                marker + QByteArray::number(method) + "-" + QByteArray::number(size) + ";";
            while (data.size() < size) data += tag;
            data.truncate(size);
            const QString path = mnt + QStringLiteral("/secret-%1-%2.txt").arg(method).arg(size);
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            ASSERT_EQ(f.write(data), data.size());
            ASSERT_TRUE(f.flush());
            ASSERT_EQ(fsync(f.handle()), 0);
            files << path;
        }
        ASSERT_TRUE(RunTool(QStringLiteral("sync"), {}));
        ChooseFiles(files);
        boxes.boxes.clear();
        form().Command1_Click();
        for (const QString& f : files) EXPECT_FALSE(QFileInfo::exists(f));
        ASSERT_EQ(boxes.boxes.size(), 2u) << "the question and the completion box";
        EXPECT_EQ(boxes.boxes[1].prompt, QStringLiteral("E17     "));
    }
    ASSERT_TRUE(RunTool(QStringLiteral("umount"), {mnt}, &out)) << out.toStdString();

    QFile raw(image);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    EXPECT_EQ(bytes.indexOf(marker), -1) << "a marker survived on the device";
}

}  // namespace
}  // namespace apptest
