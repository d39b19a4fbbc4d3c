// The wipes over a drive whose writes really fail: the failure comes from the
// writeback wait, the flush or the file system's flush themselves, as a dying
// device or a full thin volume gives it, never from the fault seam. A failure
// the program took for success would delete a file whose passes never reached
// the device, or report a free space that was never wiped.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "AppFixture.h"
#include "engine/Dialog.h"
#include "platform/FileDialogs.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "support/FailingDrive.h"
#include "support/FileSupport.h"
#include "support/MountSupport.h"

namespace apptest {
namespace {

const QChar CR(13);
const QString kKeptOne = QStringLiteral("E17") + CR + CR + QStringLiteral("E841");

class FailingDeviceTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        testsupport::ResetEngineState();
        drive_ = folder_.File(QStringLiteral("drive"));
        ASSERT_NO_FATAL_FAILURE(device_.Mount(folder_.Path(), drive_, 16));
        if (IsSkipped())
            return;
        platform::hooks::SetMountedVolumes(
            std::vector<platform::MountedVolume>{
                {QStringLiteral("/"), QStringLiteral("/dev/sda1"), QStringLiteral("ext4")},
                {drive_, device_.Device(), QStringLiteral("ext4")},
            },
            drive_);
        // Method 1: one pass.
        WriteSettings("1\r\nEnglish.lng\r\n");
        StartUp();
        ASSERT_EQ(form().Combo1.ListIndex(), 1);
        ASSERT_EQ(form().Drive1.Drive(), drive_);
    }
    void TearDown() override {
        testsupport::ResetEngineState();
        AppTest::TearDown();
    }

    // A file of the drive, its bytes on the device.
    QString MakeFile(const QString& name, int size) {
        const QString path = drive_ + QLatin1Char('/') + name;
        EXPECT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        testsupport::WriteSynced(path, QByteArray(size, 'm'));
        return path;
    }
    // The error boxes (those of a file that keeps its data) and whether each named the file.
    int ErrorBoxesNaming(const QString& path) const {
        int n = 0;
        for (const auto& b : boxes_.boxes) {
            if (b.title == QStringLiteral("E28")) {
                EXPECT_TRUE(b.prompt.startsWith(path + QStringLiteral(": ")))
                    << b.prompt.toStdString();
                ++n;
            }
        }
        return n;
    }

    QString drive_;
    testsupport::FailingDrive device_;
    testsupport::BoxRecorder boxes_{platform::mb::Yes};
};

// The flush of a pass meets the failure (a file below the smallest writeback
// window), or the wait for a writeback window does (a larger file with a small
// window, whose first window alone fails: the kernel tells that failure once, so
// the flush after it would succeed).
struct Failure {
    const char* name;
    int size;
    std::int64_t window;  // 0: the measured one
    std::int64_t failingBytes;
};
const Failure kFailures[] = {
    {"the flush of the pass", 3000, 0, std::numeric_limits<std::int64_t>::max()},
    {"the wait for a writeback window", 1 << 20, 64 << 10, 64 << 10},
};

// The files of every case, all made while the drive still takes writes.
QString FileOf(const Failure& c) {
    return QStringLiteral("file%1.bin").arg(c.size);
}
QString TreeOf(const Failure& c) {
    return QStringLiteral("tree%1").arg(c.size);
}

TEST_F(FailingDeviceTest, AFileWipeKeepsTheFileUnderItsNameAndCountsIt) {
    for (const Failure& c : kFailures) MakeFile(FileOf(c), c.size);
    for (const Failure& c : kFailures) {
        ASSERT_NO_FATAL_FAILURE(
            device_.FailBlocksOf(drive_ + QLatin1Char('/') + FileOf(c), c.failingBytes));
    }
    for (const Failure& c : kFailures) {
        SCOPED_TRACE(c.name);
        boxes_.boxes.clear();
        const QString file = drive_ + QLatin1Char('/') + FileOf(c);
        testsupport::HookGuard hooks;
        hooks.Set(platform::hooks::SetWritebackWindow, c.window);
        hooks.Set(platform::hooks::SetOpenDialogHook, [&](const platform::OpenDialogRequest&) {
            platform::OpenDialogResult result;
            result.files = QStringList{file};
            return result;
        });
        form().Command1_Click();
        EXPECT_TRUE(QFileInfo::exists(file)) << "the file keeps its name";
        EXPECT_EQ(QFileInfo(file).size(), c.size);
        EXPECT_EQ(ErrorBoxesNaming(file), 1);
        ASSERT_FALSE(boxes_.boxes.empty());
        EXPECT_EQ(boxes_.boxes.back().prompt, kKeptOne);
        EXPECT_EQ(boxes_.boxes.back().title, QStringLiteral("E18"));
        EXPECT_FALSE(engine::Dialog().IsLoaded());
        EXPECT_TRUE(form().IsShown());
    }
}

TEST_F(FailingDeviceTest, AFolderWipeKeepsTheFileUnderItsNameAndCountsIt) {
    for (const Failure& c : kFailures) {
        MakeFile(TreeOf(c) + QStringLiteral("/other.txt"), 10);
        MakeFile(TreeOf(c) + QStringLiteral("/A/keep.bin"), c.size);
    }
    for (const Failure& c : kFailures) {
        ASSERT_NO_FATAL_FAILURE(device_.FailBlocksOf(
            drive_ + QLatin1Char('/') + TreeOf(c) + QStringLiteral("/A/keep.bin"), c.failingBytes));
    }
    for (const Failure& c : kFailures) {
        SCOPED_TRACE(c.name);
        boxes_.boxes.clear();
        const QString top = drive_ + QLatin1Char('/') + TreeOf(c);
        const QString file = top + QStringLiteral("/A/keep.bin");
        const QString other = top + QStringLiteral("/other.txt");
        testsupport::HookGuard hooks;
        hooks.Set(platform::hooks::SetWritebackWindow, c.window);
        hooks.Set(platform::hooks::SetFolderPickerHook, [&](const QString&) { return top; });
        const QStringList before = QDir(drive_).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        form().Command3_Click();
        // The file is left where the run put it (in its folders under their new
        // names), under its own name, and alone.
        QStringList moved = QDir(drive_).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString& d : before) moved.removeOne(d);
        ASSERT_EQ(moved.size(), 1) << moved.join(' ').toStdString();
        EXPECT_FALSE(QFileInfo::exists(top));
        const QStringList left = testsupport::FilesBelow(drive_ + QLatin1Char('/') + moved[0]);
        ASSERT_EQ(left.size(), 1) << left.join(' ').toStdString();
        EXPECT_EQ(QFileInfo(left[0]).fileName(), QStringLiteral("keep.bin"));
        EXPECT_EQ(QFileInfo(left[0]).size(), c.size);
        EXPECT_FALSE(QFileInfo::exists(other));
        // Each pass of the run tried it and told of it; the file is counted once.
        EXPECT_GE(ErrorBoxesNaming(file), 1);
        ASSERT_FALSE(boxes_.boxes.empty());
        EXPECT_EQ(boxes_.boxes.back().prompt, kKeptOne);
        EXPECT_FALSE(engine::Dialog().IsLoaded());
        EXPECT_TRUE(form().IsShown());
    }
}

// The fill files reach the device; the file system's own records, flushed at
// the end, do not: the run that could not flush them is a failed run.
TEST_F(FailingDeviceTest, AFreeSpaceWipeWhoseLastFlushFailsEndsInTheFailureBox) {
    bool failed = false;
    testsupport::HookGuard hooks;
    hooks.Set(platform::hooks::SetFaultInjector, [&](platform::hooks::FileOp op, const QString& p) {
        // The seam only tells when the file system's flush comes; nothing is injected.
        if (op == platform::hooks::FileOp::Sync && p == drive_ && !failed) {
            failed = true;
            device_.FailEverything();
            // A record that only the file system's flush would write, made once
            // nothing can reach the device: whenever the kernel writes it, it fails.
            EXPECT_TRUE(QFile(drive_ + QStringLiteral("/unflushed")).open(QIODevice::WriteOnly));
        }
        return platform::hooks::Fault::None;
    });
    form().Command2_Click();
    EXPECT_TRUE(failed) << "the run never flushed the file system";
    ASSERT_EQ(boxes_.boxes.size(), 2u);
    EXPECT_EQ(boxes_.boxes[0].title, QStringLiteral("E25"));
    // The drive's flush failed: the box names the drive and the system's error.
    const QString& prompt = boxes_.boxes[1].prompt;
    EXPECT_TRUE(prompt.startsWith(drive_ + QStringLiteral(": "))) << prompt.toStdString();
    EXPECT_TRUE(prompt.endsWith(QString(CR) + CR + QStringLiteral("E31"))) << prompt.toStdString();
    EXPECT_EQ(boxes_.boxes[1].title, QStringLiteral("E14"));
    EXPECT_FALSE(engine::Dialog().IsLoaded());
    EXPECT_TRUE(form().IsShown());
}

}  // namespace
}  // namespace apptest
