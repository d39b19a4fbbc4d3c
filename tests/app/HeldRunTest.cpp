// A run holds what it acts on: a second process that changes names between two
// steps of a run (a folder swapped for a link, a new name replaced by a hard
// link, a top renamed while the question is up, a mount made mid-run) never
// leads the run to data that was not chosen, and an ending that leaves chosen
// data readable says how many.
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <functional>

#include "OperationFixture.h"
#include "engine/Dialog.h"
#include "engine/Wipe.h"
#include "platform/DroppedFiles.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/HeldFile.h"
#include "platform/TreeAnchor.h"
#include "support/FileSupport.h"
#include "support/MountSupport.h"

namespace apptest {
namespace {

using platform::hooks::Fault;
using platform::hooks::FileOp;
using testsupport::FilesBelow;
using testsupport::Native;
using testsupport::ReadFile;

const QString kCompleted = QStringLiteral("E17     ");

QString KeptData(int n) {
    return QStringLiteral("E17\r\rE84%1").arg(n);
}

enum class Via { Dialog, Drop };
enum class Link { Absolute, Relative };

class HeldRunTest : public OperationTest {
  protected:
    void TearDown() override {
        platform::hooks::SetFaultInjector(nullptr);
        platform::hooks::SetFolderPickerHook(nullptr);
        boxes.onBox = nullptr;
        OperationTest::TearDown();
    }

    // Runs the file wipe or a drop of these paths to its end.
    void Run(Via via, const QStringList& paths) {
        if (via == Via::Dialog) {
            ChooseFiles(paths);
            form().Command1_Click();
            return;
        }
        const DragAnswer a =
            DragAndDrop(form().Window(), Background(6000, 5300), paths, kAllActions);
        ASSERT_TRUE(a.dropAccepted);
        QCoreApplication::processEvents();
    }
    void RunPicked(const QString& folder) {
        platform::hooks::SetFolderPickerHook([folder](const QString&) { return folder; });
        form().Command3_Click();
    }
    // Puts a symbolic link at `at` that leads to `target`, as the kind says.
    void LinkTo(const QString& target, const QString& at, Link kind) {
        const QString text =
            kind == Link::Absolute ? target : QFileInfo(at).absoluteDir().relativeFilePath(target);
        ASSERT_EQ(::symlink(Native(text).constData(), Native(at).constData()), 0)
            << text.toStdString();
    }
    QString Last() const { return boxes.boxes.empty() ? QString() : boxes.boxes.back().prompt; }
    std::size_t ErrorBoxes() const {
        return static_cast<std::size_t>(
            std::count_if(boxes.boxes.begin(), boxes.boxes.end(),
                          [](const auto& b) { return b.title == "E28"; }));
    }
};

TEST_F(HeldRunTest, AFileWhoseFolderIsSwappedForALinkBetweenPassesIsWipedWhereItWent) {
    form().Combo1.SetListIndex(4);  // three passes
    for (Via via : {Via::Dialog, Via::Drop}) {
        for (Link kind : {Link::Absolute, Link::Relative}) {
            SCOPED_TRACE(std::string(via == Via::Dialog ? "dialog" : "drop") +
                         (kind == Link::Absolute ? ", absolute link" : ", relative link"));
            const QString chosen = MakeFile(QStringLiteral("d/f"), 700);
            ASSERT_TRUE(QDir().mkpath(folder_.File("elsewhere")));
            const QString elsewhere = folder_.Write(QStringLiteral("elsewhere/f"), "not chosen");
            const QString moved = folder_.File(QStringLiteral("moved"));
            int opens = 0;
            platform::hooks::SetFaultInjector([&](FileOp op, const QString& p) {
                // The second pass's open: d is moved away and a link takes its name.
                if (op == FileOp::Open && p == chosen && ++opens == 3) {
                    EXPECT_EQ(
                        ::rename(Native(folder_.File("d")).constData(), Native(moved).constData()),
                        0);
                    LinkTo(folder_.File("elsewhere"), folder_.File("d"), kind);
                }
                return Fault::None;
            });
            boxes.boxes.clear();
            Run(via, {chosen});
            ASSERT_GE(opens, 3);
            EXPECT_EQ(ReadFile(elsewhere), "not chosen");
            EXPECT_EQ(QDir(folder_.File("elsewhere")).entryList(QDir::Files), QStringList{"f"});
            EXPECT_TRUE(FilesBelow(moved).isEmpty()) << "the chosen file was wiped where it went";
            EXPECT_EQ(Last(), via == Via::Dialog ? kCompleted : QStringLiteral("E17"));
            ASSERT_TRUE(QFile::remove(folder_.File("d")));
            ASSERT_TRUE(QDir(moved).removeRecursively());
            ASSERT_TRUE(QDir(folder_.File("elsewhere")).removeRecursively());
        }
    }
}

TEST_F(HeldRunTest, ANewNameReplacedByAHardLinkToAnotherFileLeavesThatFileWhole) {
    for (FileOp step : {FileOp::OpenOutput, FileOp::Delete}) {
        SCOPED_TRACE(step == FileOp::OpenOutput ? "before the open for output" : "before deletion");
        const QString mine = folder_.Write(QStringLiteral("mine.txt"), "someone else's data");
        const QString chosen = MakeFile(QStringLiteral("d/f"), 300);
        platform::hooks::SetFaultInjector([&](FileOp op, const QString& p) {
            if (op == step && p.startsWith(folder_.File("d/")) && p != chosen) {
                EXPECT_EQ(::unlink(Native(p).constData()), 0);
                EXPECT_EQ(::link(Native(mine).constData(), Native(p).constData()), 0);
            }
            return Fault::None;
        });
        boxes.boxes.clear();
        Run(Via::Dialog, {chosen});
        EXPECT_EQ(ReadFile(mine), "someone else's data");
        EXPECT_EQ(ErrorBoxes(), 1u);
        EXPECT_EQ(Last(), KeptData(1));
        ASSERT_TRUE(QDir(folder_.File("d")).removeRecursively());
        ASSERT_TRUE(QFile::remove(mine));
    }
}

// The folder picker returns, then while the question is up another process
// moves names about. The run acts on the folder that was picked.
TEST_F(HeldRunTest, TheFolderNamedIsTheOneWipedWhateverHappensWhileTheQuestionIsUp) {
    struct Case {
        const char* what;
        bool dropped;
        // Changes the disk; gives the folder the picked tree now lies in.
        std::function<QString(const QString& parent, const QString& top)> change;
    };
    const QString decoy = folder_.File(QStringLiteral("decoy"));
    const QString aside = folder_.File(QStringLiteral("aside"));
    const auto move = [](const QString& from, const QString& to) {
        EXPECT_EQ(::rename(Native(from).constData(), Native(to).constData()), 0);
    };
    const Case cases[] = {
        {"the top's folder swapped for a link", false,
         [&](const QString& parent, const QString& top) {
             move(parent, aside);
             LinkTo(decoy, parent, Link::Relative);
             return aside + '/' + QFileInfo(top).fileName();
         }},
        {"the top renamed", false,
         [&](const QString&, const QString& top) {
             move(top, top + "-renamed");
             return top + "-renamed";
         }},
        {"the top swapped for a link", false,
         [&](const QString& parent, const QString& top) {
             move(top, aside);
             LinkTo(decoy + "/R", top, Link::Absolute);
             (void)parent;
             return aside;
         }},
        {"a dropped top swapped for a link", true,
         [&](const QString& parent, const QString& top) {
             move(top, aside);
             LinkTo(decoy + "/R", top, Link::Relative);
             (void)parent;
             return aside;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString parent = folder_.File(QStringLiteral("P"));
        const QString top = parent + "/R";
        for (const char* name :
             {"P/R/a.txt", "P/R/sub/b.txt", "decoy/R/a.txt", "decoy/R/sub/b.txt"}) {
            ASSERT_TRUE(QDir().mkpath(QFileInfo(folder_.File(name)).path()));
            folder_.Write(QString::fromLatin1(name), name);
        }
        QString now;
        boxes.boxes.clear();
        boxes.onBox = [&](const testsupport::ShownBox& b) {
            if (boxes.boxes.size() == 1 && now.isEmpty() && !b.prompt.startsWith("E17"))
                now = c.change(parent, top);
        };
        if (c.dropped) {
            Run(Via::Drop, {top});
        } else {
            RunPicked(top);
        }
        ASSERT_FALSE(now.isEmpty()) << "the question was asked";
        EXPECT_TRUE(FilesBelow(now).isEmpty()) << "the picked tree was wiped where it went";
        EXPECT_EQ(ReadFile(decoy + "/R/a.txt"), "decoy/R/a.txt");
        EXPECT_EQ(ReadFile(decoy + "/R/sub/b.txt"), "decoy/R/sub/b.txt");
        EXPECT_EQ(Last(), c.dropped ? QStringLiteral("E17") : kCompleted);
        boxes.onBox = nullptr;
        for (const QString& f : {parent, aside, decoy, top + "-renamed"}) {
            QFile::remove(f);  // a link
            QDir(f).removeRecursively();
        }
    }
}

TEST_F(HeldRunTest, SeparatorsAreMadeOneAndDotNamesAreLeftAndCounted) {
    struct Case {
        const char* what;
        QString (*path)(const QString& tree);
        bool dropped;
        bool wiped;
    };
    const Case cases[] = {
        {"a dropped tree/", [](const QString& t) { return t + "/"; }, true, true},
        {"a dropped tree//", [](const QString& t) { return t + "//"; }, true, true},
        {"a picked tree/", [](const QString& t) { return t + "/"; }, false, true},
        {"a dropped tree/.", [](const QString& t) { return t + "/."; }, true, false},
        {"a dropped tree/sub/..", [](const QString& t) { return t + "/sub/.."; }, true, false},
        {"a picked tree/.", [](const QString& t) { return t + "/."; }, false, false},
        {"a picked tree/sub/..", [](const QString& t) { return t + "/sub/.."; }, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString tree = folder_.File(QStringLiteral("tree"));
        MakeFile(QStringLiteral("tree/f"), 300);
        MakeFile(QStringLiteral("tree/sub/g"), 300);
        boxes.boxes.clear();
        if (c.dropped) {
            // Handed over as it stands, as a drop from another program could.
            platform::DataObject data;
            data.Files = {c.path(tree)};
            form().RilasciaFiles(
                data, platform::effect::Copy | platform::effect::Move | platform::effect::Link);
        } else {
            RunPicked(c.path(tree));
        }
        if (c.wiped) {
            EXPECT_FALSE(QFileInfo::exists(tree));
            EXPECT_EQ(Last(), c.dropped ? QStringLiteral("E17") : kCompleted);
        } else {
            EXPECT_TRUE(Untouched(tree + "/f", 300));
            EXPECT_TRUE(Untouched(tree + "/sub/g", 300));
            // Never "completed" over a tree left whole.
            if (c.dropped)
                EXPECT_EQ(Last(), KeptData(1));
            else
                EXPECT_TRUE(boxes.boxes.empty()) << Last().toStdString();
        }
        QDir(tree).removeRecursively();
    }
    // A file named through ".." is left and counted the same way.
    const QString f = MakeFile(QStringLiteral("tree/sub/f"), 300);
    boxes.boxes.clear();
    Run(Via::Dialog, {folder_.File("tree/sub/../sub/f")});
    EXPECT_TRUE(Untouched(f, 300));
    EXPECT_EQ(Last(), KeptData(1));
}

TEST_F(HeldRunTest, AMountMadeOverASubfolderMidRunIsCountedAndWhatItHidesStays) {
    std::string reason;
    if (!testsupport::EnterPrivateMounts(&reason))
        GTEST_SKIP() << reason;
    MakeFile(QStringLiteral("R/a.txt"), 300);
    const QString hidden1 = MakeFile(QStringLiteral("R/s/one"), 300);
    const QString hidden2 = MakeFile(QStringLiteral("R/s/two"), 300);
    const QString sub = folder_.File(QStringLiteral("R/s"));
    // The folder under the mount, held to read what the mount hides, and the
    // mount's own root, held to take it away wherever the run moved the tree.
    const int under = ::open(Native(sub).constData(), O_PATH | O_DIRECTORY);
    ASSERT_GE(under, 0);
    int root = -1;
    platform::hooks::SetFaultInjector([&](FileOp op, const QString& p) {
        if (root < 0 && op == FileOp::Open && p.endsWith("/R/a.txt")) {
            EXPECT_EQ(::mount("tmpfs", Native(sub).constData(), "tmpfs", 0, "size=1m"), 0);
            root = ::open(Native(sub).constData(), O_PATH | O_DIRECTORY);
        }
        return Fault::None;
    });
    RunPicked(folder_.File(QStringLiteral("R")));
    ASSERT_GE(root, 0);
    EXPECT_EQ(Last(), KeptData(1));
    const QByteArray proc = "/proc/self/fd/" + QByteArray::number(root);
    ASSERT_EQ(::umount2(proc.constData(), MNT_DETACH), 0);
    ::close(root);
    const QByteArray where = "/proc/self/fd/" + QByteArray::number(under);
    EXPECT_TRUE(Untouched(QString::fromLatin1(where + "/one"), 300));
    EXPECT_TRUE(Untouched(QString::fromLatin1(where + "/two"), 300));
    ::close(under);
    (void)hidden1, (void)hidden2;
}

// A file with a name outside the tree is left alone, and a mount inside the
// tree that shows that very file again never makes it count as the tree's own.
TEST_F(HeldRunTest, AFileSeenThroughAMountInsideTheTreeIsNotTheTreesOwn) {
    std::string reason;
    if (!testsupport::EnterPrivateMounts(&reason))
        GTEST_SKIP() << reason;
    ASSERT_TRUE(QDir().mkpath(folder_.File("outside")));
    const QString outside = folder_.Write(QStringLiteral("outside/o"), "outside's data");
    const QString tree = folder_.File(QStringLiteral("R"));
    ASSERT_TRUE(QDir().mkpath(tree));
    ASSERT_EQ(::link(Native(outside).constData(), Native(tree + "/h").constData()), 0);
    const QString shown = folder_.Write(QStringLiteral("R/b"), QByteArray());
    ASSERT_EQ(
        ::mount(Native(outside).constData(), Native(shown).constData(), nullptr, MS_BIND, nullptr),
        0);
    // Held to take the mount away wherever the run moves the tree.
    const int root = ::open(Native(shown).constData(), O_PATH);
    ASSERT_GE(root, 0);
    RunPicked(tree);
    EXPECT_EQ(ReadFile(outside), "outside's data");
    // The file left for its other name, and the mount point.
    EXPECT_EQ(Last(), KeptData(2));
    const QByteArray proc = "/proc/self/fd/" + QByteArray::number(root);
    EXPECT_EQ(::umount2(proc.constData(), MNT_DETACH), 0);
    ::close(root);
}

// A file with two names in the tree is counted by its names; the count is never
// fooled by a new file that got the number of a counted one that was deleted.
TEST(HeldCensusTest, AReusedInodeNumberIsNotTakenForAFileCounted) {
    testsupport::TempFolder folder;
    const QString m = folder.File(QStringLiteral("m"));
    // Inodes too small for a birth time: the count must tell files apart all the same.
    ASSERT_NO_FATAL_FAILURE(testsupport::MountExt4Image(folder.File("img"), m, 8, {"-I", "128"}));
    if (::testing::Test::IsSkipped())
        return;
    const QString tree = m + "/tree";
    ASSERT_TRUE(QDir().mkpath(tree + "/d"));
    {
        QFile f(tree + "/h1");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("inside");
    }
    ASSERT_EQ(::link(Native(tree + "/h1").constData(), Native(tree + "/d/h2").constData()), 0);
    struct stat before {};
    ASSERT_EQ(::stat(Native(tree + "/h1").constData(), &before), 0);
    platform::TreeAnchor anchor(tree);
    {
        // Both names lie in the tree: the file may be wiped.
        platform::HeldFile held(tree + "/h1", &anchor);
        EXPECT_NO_THROW(platform::ByteFile file(held));
    }
    // Someone deletes both names, makes a file of their own (it gets the freed
    // number) and puts a second name of it into the tree.
    ASSERT_EQ(::unlink(Native(tree + "/h1").constData()), 0);
    ASSERT_EQ(::unlink(Native(tree + "/d/h2").constData()), 0);
    const QString theirs = m + "/theirs";
    {
        QFile f(theirs);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("theirs");
    }
    struct stat after {};
    ASSERT_EQ(::stat(Native(theirs).constData(), &after), 0);
    if (after.st_ino != before.st_ino)
        GTEST_SKIP() << "the file system gave the new file another number";
    ASSERT_EQ(::link(Native(theirs).constData(), Native(tree + "/h1").constData()), 0);
    platform::HeldFile held(tree + "/h1", &anchor);
    EXPECT_THROW(platform::ByteFile file(held), platform::FileHasOtherNames);
    EXPECT_THROW(
        {
            platform::OutputFile out;
            out.Open(held);
        },
        platform::FileHasOtherNames);
    EXPECT_EQ(ReadFile(theirs), "theirs");
}

// On a file system that writes every change to new blocks, a file written over in
// place keeps its old blocks: it is wiped, and counted as still on the drive.
TEST_F(HeldRunTest, AFileOnACopyOnWriteDriveIsWipedAndCounted) {
    std::string reason;
    if (!testsupport::EnterPrivateMounts(&reason))
        GTEST_SKIP() << reason;
    const QString mkfs = QStandardPaths::findExecutable(QStringLiteral("mkfs.btrfs"),
                                                        {"/usr/sbin", "/sbin", "/usr/bin"});
    if (mkfs.isEmpty())
        GTEST_SKIP() << "mkfs.btrfs (btrfs-progs) is not installed";
    const QString image = folder_.File(QStringLiteral("btrfs.img"));
    const QString m = folder_.File(QStringLiteral("cow"));
    ASSERT_TRUE(QDir().mkpath(m));
    QString out;
    ASSERT_TRUE(testsupport::RunTool(QStringLiteral("truncate"), {"-s", "128M", image}, &out))
        << out.toStdString();
    ASSERT_TRUE(testsupport::RunTool(mkfs, {"-q", "-f", image}, &out)) << out.toStdString();
    if (!testsupport::RunTool(QStringLiteral("mount"), {"-o", "loop", image, m}, &out))
        GTEST_SKIP() << "a btrfs image cannot be mounted here: " << out.toStdString();
    struct statfs fs {};
    ASSERT_EQ(::statfs(Native(m).constData(), &fs), 0);
    ASSERT_EQ(fs.f_type, BTRFS_SUPER_MAGIC) << "the folder is not the test's btrfs image";
    const QString a = m + "/a.bin", b = m + "/b.bin";
    for (const QString& f : {a, b}) testsupport::WriteSynced(f, QByteArray(5000, 'm'));
    Run(Via::Dialog, {a, b});
    EXPECT_FALSE(QFileInfo::exists(a));
    EXPECT_FALSE(QFileInfo::exists(b));
    EXPECT_EQ(Last(), KeptData(2));
    EXPECT_TRUE(testsupport::RunTool(QStringLiteral("umount"), {m}, &out)) << out.toStdString();
}

}  // namespace
}  // namespace apptest
