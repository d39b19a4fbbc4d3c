// The free-space wipe while another process changes what the drive's paths lead
// to: the work folder swapped for a link, a file system mounted over the drive's
// folder, the drive lazily unmounted. Each change is made for real, on small file
// systems of the test's own in a private mount namespace, at a step the file
// fault seam picks.
#include <dirent.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTest>
#include <cstring>
#include <functional>
#include <vector>

#include "AppFixture.h"
#include "engine/Dialog.h"
#include "platform/Files.h"
#include "platform/Shell.h"
#include "support/FileSupport.h"
#include "support/MountSupport.h"

namespace apptest {
namespace {

using platform::hooks::Fault;
using platform::hooks::FileOp;
using testsupport::Names;
using testsupport::Native;
using testsupport::ShownBox;
using testsupport::TmpfsSize;

QString E(int n) {
    return QStringLiteral("E%1").arg(n);
}

long long FreeBytes(const QString& folder) {
    struct statvfs vfs {};
    return ::statvfs(Native(folder).constData(), &vfs) == 0
               ? static_cast<long long>(vfs.f_bfree) * vfs.f_frsize
               : -1;
}

// A file system the test keeps hold of, whatever is later mounted over its folder
// or however it is unmounted: what it holds and how much of it is free.
class HeldFileSystem {
  public:
    explicit HeldFileSystem(const QString& root)
        : fd_(::open(Native(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    ~HeldFileSystem() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    HeldFileSystem(const HeldFileSystem&) = delete;
    HeldFileSystem& operator=(const HeldFileSystem&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    dev_t Device() const {
        struct stat st {};
        return ::fstat(fd_, &st) == 0 ? st.st_dev : 0;
    }
    long long Free() const {
        struct statvfs vfs {};
        return ::fstatvfs(fd_, &vfs) == 0 ? static_cast<long long>(vfs.f_bfree) * vfs.f_frsize : -1;
    }
    QStringList Names() const {
        QStringList names;
        const int dirFd = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd < 0)
            return {QStringLiteral("(cannot be read)")};
        DIR* dir = ::fdopendir(dirFd);
        while (const dirent* e = dir ? ::readdir(dir) : nullptr) {
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                names << QFile::decodeName(e->d_name);
        }
        if (dir)
            ::closedir(dir);
        else
            ::close(dirFd);
        names.sort();
        return names;
    }

  private:
    int fd_;
};

// Fill files of 2.1 MB (the process's file-size limit), so that a small drive
// takes several of them and a change can come between two.
class SmallFillFiles {
  public:
    SmallFillFiles() {
        ok_ = ::getrlimit(RLIMIT_FSIZE, &before_) == 0;
        rlimit limit = before_;
        limit.rlim_cur = 2100000;
        ok_ = ok_ && ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~SmallFillFiles() {
        if (ok_)
            ::setrlimit(RLIMIT_FSIZE, &before_);
    }
    bool Ok() const { return ok_; }

  private:
    rlimit before_{};
    bool ok_ = false;
};

class FreeSpaceRaceTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        std::string reason;
        if (!testsupport::EnterPrivateMounts(&reason))
            GTEST_SKIP() << reason;
        drive_ = folder_.File(QStringLiteral("drive"));
        ASSERT_TRUE(QDir().mkpath(drive_));
        platform::hooks::SetStartHook([](const QString&, const QStringList&) { return true; });
    }
    void TearDown() override {
        platform::hooks::SetFaultInjector(nullptr);
        platform::hooks::SetStartHook(nullptr);
        for (auto it = mounts_.rbegin(); it != mounts_.rend(); ++it)
            ::umount2(Native(*it).constData(), MNT_DETACH);
        AppTest::TearDown();
    }

    // Mounts a tmpfs at the folder (made when missing) and checks it is that small one.
    void MountTmpfs(const QString& at, long long bytes) {
        ASSERT_TRUE(QDir().mkpath(at));
        const QByteArray options = "size=" + QByteArray::number(bytes);
        ASSERT_EQ(::mount("tmpfs", Native(at).constData(), "tmpfs", 0, options.constData()), 0)
            << "tmpfs cannot be mounted here";
        mounts_.push_back(at);
        ASSERT_EQ(TmpfsSize(at), bytes) << "the folder is not the test's small tmpfs";
    }

    // Starts the program with the drive listed and selected, method 1 chosen.
    void StartOnDrive() {
        platform::hooks::SetMountedVolumes(
            std::vector<platform::MountedVolume>{
                {QStringLiteral("/"), QStringLiteral("/dev/sda1"), QStringLiteral("ext4")},
                {drive_, QStringLiteral("quellix-test"), QStringLiteral("ext4")},
            },
            drive_);
        StartUp();
        form().Combo1.SetListIndex(1);
        ASSERT_EQ(form().Drive1.Drive(), drive_);
        ASSERT_NO_FATAL_FAILURE(testsupport::AssertSmallTmpfs(drive_, 8LL << 20));
    }

    void ClickFreeSpace() { QTest::mouseClick(form().Command2.Widget(), Qt::LeftButton); }

    std::vector<QString> Titles() const {
        std::vector<QString> titles;
        for (const ShownBox& b : boxes_.boxes) titles.push_back(b.title);
        return titles;
    }

    QString drive_;
    std::vector<QString> mounts_;
    testsupport::BoxRecorder boxes_;
};

// The work folder is swapped, while the second fill file is being made, for a
// link to a user's folder that holds a file of the first fill file's name, or
// for a user's own empty folder. The run goes on in the folder it made and
// holds, removes its own fill files from there, and touches nothing of the
// user's: not their file, nor their folder, nor the link.
TEST_F(FreeSpaceRaceTest, AWorkFolderSwappedDuringTheFillLeavesTheUsersFilesAlone) {
    struct Case {
        const char* name;
        const char* link;  // what the link QX holds; nullptr: a user's empty folder QX
    } cases[] = {
        {"an absolute link", "<outside>"},
        {"a relative link", "../outside"},
        {"a user's empty folder", nullptr},
    };
    const QString outside = folder_.File(QStringLiteral("outside"));
    const QByteArray theirs("the user's own bytes, not a fill file");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(MountTmpfs(drive_, 8LL << 20));
        ASSERT_NO_FATAL_FAILURE(MountTmpfs(outside, 1LL << 20));
        folder_.Write(QStringLiteral("outside/zzzzzzz.z1"), theirs);
        const long long emptyFree = FreeBytes(drive_);
        ASSERT_NO_FATAL_FAILURE(StartOnDrive());
        boxes_.boxes.clear();

        const QString qx = drive_ + QStringLiteral("/QX");
        const QString moved = drive_ + QStringLiteral("/moved");
        bool swapped = false;
        long long freeAtFlush = -1;
        platform::hooks::SetFaultInjector([&](FileOp op, const QString& path) {
            if (!swapped && op == FileOp::Open && path == qx + QStringLiteral("/zzzzzzz.z2")) {
                swapped = ::rename(Native(qx).constData(), Native(moved).constData()) == 0;
                const QString target =
                    c.link && QByteArray(c.link) == "<outside>" ? outside : QString(c.link);
                swapped = swapped && (c.link ? ::symlink(Native(target).constData(),
                                                         Native(qx).constData()) == 0
                                             : ::mkdir(Native(qx).constData(), 0755) == 0);
            }
            if (op == FileOp::Sync && path == drive_)
                freeAtFlush = FreeBytes(drive_);
            return Fault::None;
        });
        {
            SmallFillFiles small;
            ASSERT_TRUE(small.Ok());
            ClickFreeSpace();
        }
        platform::hooks::SetFaultInjector(nullptr);

        ASSERT_TRUE(swapped);
        EXPECT_EQ(testsupport::ReadFile(outside + QStringLiteral("/zzzzzzz.z1")), theirs);
        EXPECT_EQ(Names(outside), QStringList{QStringLiteral("zzzzzzz.z1")});
        // The link or the user's folder stays as they made it.
        if (c.link) {
            EXPECT_EQ(QFile::symLinkTarget(qx), QFileInfo(outside).absoluteFilePath());
        } else {
            EXPECT_TRUE(QFileInfo(qx).isDir() && !QFileInfo(qx).isSymLink());
        }
        EXPECT_EQ(Names(drive_), (QStringList{QStringLiteral("QX"), QStringLiteral("moved")}));
        // The run's own folder, wherever its name went, holds none of its fill files.
        EXPECT_EQ(Names(moved), QStringList{});
        EXPECT_TRUE(Names(qx).isEmpty() || c.link);
        // The drive was filled, then emptied again.
        EXPECT_GE(freeAtFlush, 0);
        EXPECT_LT(freeAtFlush, 64 * 1024);
        EXPECT_GE(FreeBytes(drive_), emptyFree - 16 * 1024);
        EXPECT_EQ(Titles(), (std::vector<QString>{E(25), E(18)}));
        EXPECT_FALSE(engine::Dialog().IsLoaded());
        form().Unload();
        for (const QString& at : {outside, drive_}) {
            ASSERT_EQ(::umount2(Native(at).constData(), 0), 0);
            mounts_.pop_back();
        }
    }
}

// Once the first fill file is complete, another file system comes over the
// drive's folder, or the drive is lazily unmounted so that the folder shows what
// lies beneath it. The rest of the fill still goes to the drive the run opened:
// what the folder shows now is neither filled nor touched, the chosen drive is
// full when the filling ends and empty afterwards, and the summary is about it.
TEST_F(FreeSpaceRaceTest, TheFillStaysOnTheDriveItOpenedWhateverComesOverItsFolder) {
    struct Case {
        const char* name;
        bool lazyUnmount;  // else a mount over the folder
    } cases[] = {
        {"another file system mounted over the drive's folder", false},
        {"the drive lazily unmounted", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // What the folder shows after the change is a small file system of the test's too,
        // so a run that followed the folder there could fill nothing else.
        if (c.lazyUnmount) {
            ASSERT_NO_FATAL_FAILURE(MountTmpfs(drive_, 4LL << 20));
        }
        ASSERT_NO_FATAL_FAILURE(MountTmpfs(drive_, 8LL << 20));
        HeldFileSystem chosen(drive_);
        ASSERT_TRUE(chosen.IsOpen());
        const long long emptyFree = chosen.Free();
        ASSERT_NO_FATAL_FAILURE(StartOnDrive());
        boxes_.boxes.clear();

        bool changed = false;
        long long chosenFreeAtFlush = -1;
        QStringList otherAtFlush(QStringLiteral("(no flush)"));
        long long otherFreeAtFlush = -1, otherSize = -1;
        platform::hooks::SetFaultInjector([&](FileOp op, const QString& path) {
            if (!changed && op == FileOp::Close &&
                path == drive_ + QStringLiteral("/QX/zzzzzzz.z1")) {
                if (c.lazyUnmount) {
                    changed = ::umount2(Native(drive_).constData(), MNT_DETACH) == 0;
                    mounts_.pop_back();
                } else {
                    changed = ::mount("tmpfs", Native(drive_).constData(), "tmpfs", 0,
                                      "size=4194304") == 0;
                    mounts_.push_back(drive_);
                }
                otherSize = TmpfsSize(drive_);
                changed = changed && otherSize == 4LL << 20;
            }
            if (op == FileOp::Sync && path == drive_) {
                chosenFreeAtFlush = chosen.Free();
                otherAtFlush = Names(drive_);
                otherFreeAtFlush = FreeBytes(drive_);
            }
            return Fault::None;
        });
        {
            SmallFillFiles small;
            ASSERT_TRUE(small.Ok());
            ClickFreeSpace();
        }
        platform::hooks::SetFaultInjector(nullptr);

        ASSERT_TRUE(changed) << "the change could not be made, or it is not the test's tmpfs";
        ASSERT_NE(chosen.Device(), HeldFileSystem(drive_).Device());
        // The other file system: nothing written, nothing made.
        EXPECT_EQ(otherAtFlush, QStringList{});
        EXPECT_EQ(otherFreeAtFlush, otherSize);
        EXPECT_EQ(Names(drive_), QStringList{});
        EXPECT_EQ(FreeBytes(drive_), otherSize);
        // The chosen drive: full when the filling ended, nothing of the run left on it.
        EXPECT_GE(chosenFreeAtFlush, 0);
        EXPECT_LT(chosenFreeAtFlush, 64 * 1024);
        EXPECT_EQ(chosen.Names(), QStringList{});
        EXPECT_EQ(chosen.Free(), emptyFree);
        EXPECT_EQ(Titles(), (std::vector<QString>{E(25), E(18)}));
        EXPECT_FALSE(engine::Dialog().IsLoaded());
        form().Unload();
        while (!mounts_.empty()) {
            ASSERT_EQ(::umount2(Native(mounts_.back()).constData(), MNT_DETACH), 0);
            mounts_.pop_back();
        }
    }
}

}  // namespace
}  // namespace apptest
