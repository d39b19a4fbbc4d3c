// The free-space wipe through the free-space button, on small file systems of
// the test's own in a private mount namespace, where the disk really fills up.
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTest>
#include <QWidget>
#include <fstream>
#include <map>
#include <string>

#include "AppFixture.h"
#include "engine/Dialog.h"
#include "engine/Wipe.h"
#include "engine/WipeSpace.h"
#include "platform/Clock.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "platform/Format.h"
#include "platform/FreeSpace.h"
#include "platform/Shell.h"
#include "support/FileSupport.h"
#include "support/MountSupport.h"

namespace apptest {
namespace {

using testsupport::Names;
using testsupport::RunTool;
using testsupport::ShownBox;

const QString CR(QChar(13));
const QString kDummy(24, QLatin1Char('Z'));

QString E(int n) {
    return QStringLiteral("E%1").arg(n);
}

// The write-failure box's prompt names what the error struck and what the
// system said (its number among them), then text 31.
void ExpectFailurePrompt(const QString& prompt, const QString& where, int number) {
    EXPECT_TRUE(prompt.startsWith(where + QStringLiteral(": "))) << prompt.toStdString();
    EXPECT_TRUE(prompt.contains(QStringLiteral(" (%1)").arg(number))) << prompt.toStdString();
    EXPECT_TRUE(prompt.endsWith(QString(QChar(13)) + QChar(13) + E(31))) << prompt.toStdString();
}

long long AvailableMemory() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    long long kib = 0;
    while (meminfo >> key >> kib) {
        if (key == "MemAvailable:")
            return kib * 1024;
        meminfo.ignore(256, '\n');
    }
    return 0;
}

// What becomes of the names in watched folders, in the order the kernel saw it:
// "+name" made, "-name" removed, "<name" renamed away, ">name" the new name; the
// events of a folder watched by a label carry it in front.
class NameEvents {
  public:
    NameEvents() : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~NameEvents() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool Watch(const QString& folder, const QString& label = QString()) {
        const int wd = inotify_add_watch(fd_, QFile::encodeName(folder).constData(),
                                         IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO);
        labels_[wd] = label.isEmpty() ? QString() : label + QLatin1Char(' ');
        return wd >= 0;
    }
    QStringList Read() {
        alignas(inotify_event) char buffer[64 * 1024];
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0)
                return events_;
            for (ssize_t at = 0; at < n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
                const char* kind = e->mask & IN_CREATE       ? "+"
                                   : e->mask & IN_DELETE     ? "-"
                                   : e->mask & IN_MOVED_FROM ? "<"
                                   : e->mask & IN_MOVED_TO   ? ">"
                                                             : nullptr;
                if (kind && e->len > 0)
                    events_ << labels_[e->wd] + QLatin1String(kind) + QFile::decodeName(e->name);
                at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            }
        }
    }

  private:
    int fd_;
    std::map<int, QString> labels_;
    QStringList events_;
};

// The main window over a drive list that shows a file system of the test's own.
class FreeSpaceTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        std::string reason;
        if (!testsupport::EnterPrivateMounts(&reason))
            GTEST_SKIP() << reason;
        drive_ = folder_.File(QStringLiteral("drive"));
        ASSERT_TRUE(QDir().mkpath(drive_));
        platform::hooks::SetStartHook([this](const QString& program, const QStringList& args) {
            started_.push_back({program, args});
            return true;
        });
    }
    void TearDown() override {
        platform::SetYieldHook(nullptr);
        platform::SetClockHook(nullptr);
        platform::hooks::SetFaultInjector(nullptr);
        platform::hooks::SetWriteObserver(nullptr);
        platform::hooks::SetSyncObserver(nullptr);
        platform::hooks::SetStartHook(nullptr);
        if (mounted_)
            umount2(QFile::encodeName(drive_).constData(), MNT_DETACH);
        AppTest::TearDown();
    }

    // Mounts a tmpfs of the given size on the drive folder; false when it cannot.
    bool MountTmpfs(const char* options, unsigned long flags = 0) {
        mounted_ =
            mount("tmpfs", QFile::encodeName(drive_).constData(), "tmpfs", flags, options) == 0;
        return mounted_;
    }
    void Unmount() {
        ASSERT_EQ(umount2(QFile::encodeName(drive_).constData(), 0), 0);
        mounted_ = false;
    }

    // Starts the program with the drive listed and selected, and the method chosen.
    void StartOn(int method, long long largest = 64LL << 20) {
        platform::hooks::SetMountedVolumes(
            std::vector<platform::MountedVolume>{
                {QStringLiteral("/"), QStringLiteral("/dev/sda1"), QStringLiteral("ext4")},
                {drive_, QStringLiteral("quellix-test"), QStringLiteral("ext4")},
            },
            drive_);
        StartUp();
        form().Combo1.SetListIndex(method);
        ASSERT_EQ(form().Drive1.Drive(), drive_);
        // Never fill anything but the small file system made here.
        ASSERT_NO_FATAL_FAILURE(testsupport::AssertSmallTmpfs(drive_, largest));
    }

    // A click on the free-space button, as the user makes it.
    void ClickFreeSpace() { QTest::mouseClick(form().Command2.Widget(), Qt::LeftButton); }

    // An ext4 image of 24 MiB mounted on the drive folder; its loop device's name.
    void MountExt4(const QString& image, QString* device) {
        mounted_ = true;  // whatever gets mounted goes at the end
        ASSERT_NO_FATAL_FAILURE(testsupport::MountExt4Image(image, drive_, 24));
        if (IsSkipped())
            return;
        QString out;
        ASSERT_TRUE(RunTool("findmnt", {"-n", "-o", "SOURCE", drive_}, &out));
        *device = QFileInfo(out.trimmed()).fileName();
    }
    void StartOnExt4(const QString& device) {
        platform::hooks::SetMountedVolumes(
            std::vector<platform::MountedVolume>{
                {QStringLiteral("/"), QStringLiteral("/dev/sda1"), QStringLiteral("ext4")},
                {drive_, QStringLiteral("/dev/") + device, QStringLiteral("ext4")},
            },
            drive_);
        StartUp();
        form().Combo1.SetListIndex(1);
        ASSERT_EQ(form().Drive1.Drive(), drive_);
    }

    QString FreeText() { return platform::Format(form().Totale.tenThousandths, u"###,###,###"); }
    std::vector<QString> Titles() const {
        std::vector<QString> titles;
        for (const ShownBox& b : boxes_.boxes) titles.push_back(b.title);
        return titles;
    }
    // After every run: the progress window closed, the main window back, the clock stopped.
    void ExpectClosedDown() {
        EXPECT_FALSE(engine::Dialog().IsLoaded());
        EXPECT_TRUE(form().IsShown());
        EXPECT_EQ(engine::Annullato, 0);
        EXPECT_EQ(form().Timer1.Interval(), 0);
    }

    QString drive_;
    bool mounted_ = false;
    testsupport::BoxRecorder boxes_;
    std::vector<platform::CommandLine> started_;
};

TEST_F(FreeSpaceTest, FullRunsFillTheDriveAndLeaveNothingBehind) {
    struct Case {
        int method;
        QByteArray firstCycle;  // the fill file after the first cycle
    } cases[] = {
        {1, QByteArray(1024000, '0')},
        {5, QByteArray(3 * 1024000, '0') + QByteArray(3 * 1024000, '1')},
        // No method chosen is method 0: each block one value of 1 to 255, drawn anew.
        {-1, QByteArray(4 * 1024000, '?')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        ASSERT_TRUE(MountTmpfs("size=16m")) << "tmpfs cannot be mounted here";
        folder_.Write(QStringLiteral("drive/keep.txt"), "the user's");
        StartOn(c.method);
        boxes_.boxes.clear();

        QByteArray first;
        int attempts = 0, writes = 0;
        platform::SetYieldHook([&] {
            const QString fill = drive_ + QStringLiteral("/QX/zzzzzzz.z1");
            if (first.isEmpty() && QFileInfo(fill).size() >= c.firstCycle.size())
                first = testsupport::ReadFile(fill);
        });
        platform::hooks::SetFaultInjector([&](platform::hooks::FileOp op, const QString&) {
            attempts += op == platform::hooks::FileOp::Write;
            return platform::hooks::Fault::None;
        });
        platform::hooks::SetWriteObserver(
            [&](const QString&, std::int64_t, const unsigned char*, std::size_t) { ++writes; });
        QString bar, status, written;
        int interval = -1;
        boxes_.onBox = [&](const ShownBox& b) {
            if (b.title == E(18)) {
                interval = form().Timer1.Interval();
                bar = QString::number(engine::Dialog().ImgBar.Width());
                status = engine::Dialog().Label8.Caption();
                written = engine::Dialog().Label2.Caption();
            }
        };
        ClickFreeSpace();
        platform::SetYieldHook(nullptr);
        platform::hooks::SetFaultInjector(nullptr);
        platform::hooks::SetWriteObserver(nullptr);
        boxes_.onBox = nullptr;

        ASSERT_EQ(boxes_.boxes.size(), 2u);
        EXPECT_EQ(boxes_.boxes[0].prompt, E(22) + CR + E(23) + CR + CR + E(24));
        EXPECT_EQ(boxes_.boxes[0].style, 64);
        EXPECT_EQ(boxes_.boxes[0].title, E(25));
        EXPECT_TRUE(boxes_.boxes[1].prompt.startsWith(E(29)))
            << boxes_.boxes[1].prompt.toStdString();
        EXPECT_TRUE(
            boxes_.boxes[1].prompt.endsWith(QStringLiteral(" ") + E(30) + QStringLiteral("!")));
        EXPECT_EQ(boxes_.boxes[1].style, 64);
        EXPECT_EQ(interval, 0);  // the clock stopped before the summary
        EXPECT_EQ(bar, QStringLiteral("6390"));
        EXPECT_EQ(status, E(74) + CR + QStringLiteral("100%"));
        EXPECT_EQ(written, E(73) + QStringLiteral(" ") + FreeText() + QStringLiteral(" / ") +
                               FreeText() + QStringLiteral(" Kb"));
        EXPECT_FALSE(FreeText().isEmpty());
        // The ladder to its ninth step: nine writes the full disk refused.
        EXPECT_EQ(attempts - writes, 9);
        ASSERT_GE(first.size(), c.firstCycle.size());
        if (c.method < 0) {
            QSet<char> values;
            for (int k = 0; k < 4; ++k) {
                const QByteArray block = first.mid(k * 1024000, 1024000);
                EXPECT_EQ(block.count(block[0]), block.size());
                EXPECT_NE(block[0], '\0');
                values.insert(block[0]);
            }
            EXPECT_GT(values.size(), 1);
        } else {
            EXPECT_EQ(first.left(c.firstCycle.size()), c.firstCycle);
        }
        if (c.method == 5) {
            const QByteArray random = first.mid(6 * 1024000, 1024000);
            EXPECT_EQ(random.size(), 1024000);
            EXPECT_NE(random.count('0'), random.size());
        }
        EXPECT_EQ(Names(drive_), QStringList{QStringLiteral("keep.txt")});
        EXPECT_EQ(testsupport::ReadFile(drive_ + QStringLiteral("/keep.txt")), "the user's");
        EXPECT_TRUE(started_.empty());
        ExpectClosedDown();
        form().Unload();
        Unmount();
    }
}

TEST_F(FreeSpaceTest, TheDiskFullLadderStepsDownAndCountsNothingOfTheInterruptedCycle) {
    ASSERT_TRUE(MountTmpfs("size=16m")) << "tmpfs cannot be mounted here";
    StartOn(5);
    // The third block of the first cycle finds the disk full, then every other write does.
    int attempt = 0;
    platform::hooks::SetFaultInjector([&](platform::hooks::FileOp op, const QString&) {
        if (op != platform::hooks::FileOp::Write)
            return platform::hooks::Fault::None;
        ++attempt;
        return attempt == 3 || (attempt > 10 && attempt % 2 == 0) ? platform::hooks::Fault::DiskFull
                                                                  : platform::hooks::Fault::None;
    });
    std::vector<std::size_t> sizes;
    platform::hooks::SetWriteObserver(
        [&](const QString&, std::int64_t, const unsigned char*, std::size_t n) {
            if (sizes.empty() || sizes.back() != n)
                sizes.push_back(n);
        });
    std::int64_t firstCount = -1, firstLength = -1;
    form().KbScritti = 0;  // what the run before counted
    platform::SetYieldHook([&] {
        if (firstCount < 0 && form().KbScritti > 0) {
            firstCount = form().KbScritti;
            firstLength = QFileInfo(drive_ + QStringLiteral("/QX/zzzzzzz.z1")).size();
        }
    });
    ClickFreeSpace();

    EXPECT_EQ(sizes, (std::vector<std::size_t>{1024000, 4096, 2048, 1024, 512, 256, 128, 64, 1}));
    // The two blocks written before the error stay in the file, uncounted.
    EXPECT_EQ(firstCount, 7 * 4);
    EXPECT_EQ(firstLength, 2 * 1024000 + 7 * 4096);
    ASSERT_EQ(boxes_.boxes.size(), 2u);
    EXPECT_EQ(boxes_.boxes[1].title, E(18));
    EXPECT_TRUE(Names(drive_).isEmpty());
    ExpectClosedDown();
}

TEST_F(FreeSpaceTest, Methods6And7YieldInsideTheirCycles) {
    struct Case {
        int method;
        const char* firstCycle;  // blocks written, and y for each yield
    } cases[] = {
        {6, "ZOyZOyZOyRy"},
        {7, "FyNyDyDyDyDyDyy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        ASSERT_TRUE(MountTmpfs("size=16m")) << "tmpfs cannot be mounted here";
        StartOn(c.method);
        form().Timer1.Timer = nullptr;  // no clock ticks among the yields
        QString log;
        bool running = false;
        platform::SetYieldHook([&] { log += running ? QStringLiteral("y") : QString(); });
        platform::hooks::SetWriteObserver(
            [&](const QString&, std::int64_t, const unsigned char* data, std::size_t n) {
                running = true;
                const QByteArray b(reinterpret_cast<const char*>(data), static_cast<qsizetype>(n));
                const auto all = [&](char ch) { return b.count(ch) == b.size(); };
                bool digits =
                    std::all_of(b.begin(), b.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
                log += all('0')      ? "Z"
                       : all('1')    ? "O"
                       : all('\xff') ? "F"
                       : all('\0')   ? "N"
                       : digits      ? "D"
                                     : "R";
            });
        ClickFreeSpace();
        platform::SetYieldHook(nullptr);
        platform::hooks::SetWriteObserver(nullptr);
        form().Timer1.Timer = [] { engine::Timer1_Timer(); };
        EXPECT_TRUE(log.startsWith(QString::fromLatin1(c.firstCycle) +
                                   QString::fromLatin1(c.firstCycle).left(1)))
            << log.left(40).toStdString();
        EXPECT_TRUE(Names(drive_).isEmpty());
        form().Unload();
        Unmount();
    }
}

float FixedClock() {
    return 43210.5f;
}

// The generator is seeded from the clock when the run starts: its first random
// block is what the generator gives after that seed, whatever it held before.
TEST_F(FreeSpaceTest, TheRunSeedsTheGeneratorFromTheClockFirst) {
    ASSERT_TRUE(MountTmpfs("size=4m")) << "tmpfs cannot be mounted here";
    StartOn(2);
    platform::SetClockHook(&FixedClock);
    QByteArray first;
    platform::hooks::SetWriteObserver(
        [&](const QString&, std::int64_t offset, const unsigned char* data, std::size_t n) {
            if (first.isEmpty() && offset == 0)
                first = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(n));
        });
    const platform::detail::RandomState before{0x0123456789ABCDEFull, 0x0FEDCBA987654321ull};
    platform::detail::g_random = before;
    ClickFreeSpace();
    platform::hooks::SetWriteObserver(nullptr);

    platform::detail::g_random = before;
    platform::Randomize(FixedClock());
    QByteArray expected(1024000, '\0');
    engine::FillRandom(reinterpret_cast<unsigned char*>(expected.data()), 1024000, 0, 255);
    platform::SetClockHook(nullptr);
    EXPECT_TRUE(first == expected);
    EXPECT_EQ(boxes_.boxes.back().title, E(18));
    EXPECT_TRUE(Names(drive_).isEmpty());
}

TEST_F(FreeSpaceTest, CancelAndShutdownAtTheEnd) {
    struct Case {
        const char* name;
        int cancelAt;  // the yield at which Cancel is clicked; 0 for none
        bool shutdown;
    } cases[] = {
        {"cancelled with the shutdown box ticked", 4, true},
        {"shutdown box ticked", 0, true},
        // The first yield is the operation's own, before the wipe: that Cancel does not count.
        {"cancelled before the wipe began", 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(MountTmpfs("size=16m")) << "tmpfs cannot be mounted here";
        StartOn(1);
        form().Check1.SetValue(c.shutdown ? 1 : 0);
        boxes_.boxes.clear();
        started_.clear();
        int yields = 0;
        QString progressAtCancel, progressAtBox;
        const auto progress = [] {
            return QString::number(engine::Dialog().ImgBar.Width()) + QLatin1Char(' ') +
                   engine::Dialog().Label8.Caption();
        };
        platform::SetYieldHook([&] {
            if (++yields == c.cancelAt) {
                progressAtCancel = progress();
                QTest::mouseClick(engine::Dialog().CancelButton.Widget(), Qt::LeftButton);
            }
        });
        std::int64_t writtenAtCancel = 0;
        boxes_.onBox = [&](const ShownBox&) {
            writtenAtCancel = form().KbScritti;
            progressAtBox = progress();
        };
        ClickFreeSpace();
        platform::SetYieldHook(nullptr);
        boxes_.onBox = nullptr;

        if (c.cancelAt > 1) {
            ASSERT_EQ(Titles(), (std::vector<QString>{E(25), E(26)}));
            EXPECT_EQ(boxes_.boxes[1].prompt, E(27));
            EXPECT_EQ(writtenAtCancel, 3 * 1024);  // stopped after the cycle in hand
            // The bar and the percentage stay as the cycle left them: no full bar.
            EXPECT_EQ(progressAtBox, progressAtCancel);
            EXPECT_TRUE(started_.empty());
        } else {
            EXPECT_EQ(Titles(), std::vector<QString>{E(25)});
            EXPECT_EQ(started_, platform::ShutdownCommandLines());
        }
        EXPECT_TRUE(Names(drive_).isEmpty());
        ExpectClosedDown();
        form().Unload();
        Unmount();
    }
}

TEST_F(FreeSpaceTest, MethodEightIsRefusedFromTheButtonAndTheMenu) {
    ASSERT_TRUE(MountTmpfs("size=4m")) << "tmpfs cannot be mounted here";
    StartOn(8);
    for (bool menu : {false, true}) {
        SCOPED_TRACE(menu ? "Destroy > Free space" : "the free-space button");
        boxes_.boxes.clear();
        form().Totale = platform::Currency{1};
        if (menu)
            form().mnuDistruggiSpazioLibero.Action()->trigger();
        else
            ClickFreeSpace();
        ASSERT_EQ(boxes_.boxes.size(), 1u);
        EXPECT_EQ(boxes_.boxes[0].prompt, E(19) + CR + CR + E(20));
        EXPECT_EQ(boxes_.boxes[0].style, 64);
        EXPECT_EQ(boxes_.boxes[0].title, E(21));
        EXPECT_EQ(form().Totale, platform::Currency{1});  // not measured
        EXPECT_FALSE(engine::Dialog().IsLoaded());
        EXPECT_TRUE(Names(drive_).isEmpty());
    }
}

TEST_F(FreeSpaceTest, WhatLiesAtTheRootBeforehand) {
    struct Case {
        const char* name;
        std::function<void(const QString& root)> prepare;
        std::vector<QString> titles;  // after the notice
        QStringList left;             // what the root holds afterwards
        std::function<void(const QString& root)> check;
    } cases[] = {
        {"a root that cannot be listed: nothing at all",
         [](const QString& root) {
             platform::hooks::SetFaultInjector(
                 [root](platform::hooks::FileOp op, const QString& path) {
                     return op == platform::hooks::FileOp::List && path == root
                                ? platform::hooks::Fault::AccessDenied
                                : platform::hooks::Fault::None;
                 });
         },
         {},
         {},
         nullptr},
        {"fill files 1 to 3 of an earlier run, the first a hard link to a user's file",
         [this](const QString& root) {
             QDir(root).mkdir(QStringLiteral("QX"));
             folder_.Write(QStringLiteral("drive/user.txt"), "the user's data");
             ASSERT_EQ(::link(QFile::encodeName(root + "/user.txt").constData(),
                              QFile::encodeName(root + "/QX/zzzzzzz.z1").constData()),
                       0);
             folder_.Write(QStringLiteral("drive/QX/zzzzzzz.z2"), "old");
             folder_.Write(QStringLiteral("drive/QX/zzzzzzz.z3"), "old");
         },
         {E(18)},
         {QStringLiteral("QX"), QStringLiteral("user.txt")},
         // The first name is taken anew, never written through; the run reaches no other.
         [](const QString& root) {
             EXPECT_EQ(testsupport::ReadFile(root + "/user.txt"), "the user's data");
             EXPECT_EQ(Names(root + QStringLiteral("/QX")),
                       (QStringList{QStringLiteral("zzzzzzz.z2"), QStringLiteral("zzzzzzz.z3")}));
             EXPECT_EQ(testsupport::ReadFile(root + "/QX/zzzzzzz.z3"), "old");
         }},
        // Only what the run made goes: a folder QX of the user's stays, with their file.
        {"a user's own file named like a fill file in their folder QX",
         [this](const QString& root) {
             ASSERT_TRUE(QDir(root).mkdir(QStringLiteral("QX")));
             folder_.Write(QStringLiteral("drive/QX/zzzzzzz.z9"), "mine");
         },
         {E(18)},
         {QStringLiteral("QX")},
         [](const QString& root) {
             EXPECT_EQ(Names(root + QStringLiteral("/QX")), QStringList{"zzzzzzz.z9"});
             EXPECT_EQ(testsupport::ReadFile(root + "/QX/zzzzzzz.z9"), "mine");
         }},
        {"a user's empty folder QX",
         [](const QString& root) { ASSERT_TRUE(QDir(root).mkdir(QStringLiteral("QX"))); },
         {E(18)},
         {QStringLiteral("QX")},
         [](const QString& root) { EXPECT_TRUE(Names(root + QStringLiteral("/QX")).isEmpty()); }},
        {"a user's file named QX",
         [this](const QString&) { folder_.Write(QStringLiteral("drive/QX"), "the user's QX"); },
         {QStringLiteral(" 58"), QStringLiteral(" 76"), E(14)},
         {QStringLiteral("QX")},
         [](const QString& root) {
             EXPECT_EQ(testsupport::ReadFile(root + "/QX"), "the user's QX");
         }},
        {"a user's folder named like the removed work folder",
         [this](const QString& root) {
             QDir(root).mkdir(kDummy);
             folder_.Write(QStringLiteral("drive/") + kDummy + QStringLiteral("/mine.txt"), "mine");
         },
         {E(18)},
         {kDummy},
         [](const QString& root) {
             EXPECT_EQ(testsupport::ReadFile(root + "/" + kDummy + "/mine.txt"), "mine");
         }},
        // An empty one too: the removal of the renamed work folder would take it.
        {"a user's empty folder named like the removed work folder",
         [](const QString& root) { QDir(root).mkdir(kDummy); },
         {E(18)},
         {kDummy},
         nullptr},
        {"a link named QX to another folder",
         [](const QString& root) {
             QDir(root).mkdir(QStringLiteral("elsewhere"));
             ASSERT_TRUE(QFile::link(root + QStringLiteral("/elsewhere"), root + "/QX"));
         },
         {QStringLiteral(" 58"), QStringLiteral(" 76"), E(14)},
         {QStringLiteral("QX"), QStringLiteral("elsewhere")},
         [](const QString& root) {
             EXPECT_TRUE(Names(root + QStringLiteral("/elsewhere")).isEmpty());
             EXPECT_EQ(platform::KindOf(root + "/QX"), platform::FileKind::Link);
         }},
        {"a user's folder QX that cannot be read",
         [this](const QString& root) {
             ASSERT_TRUE(QDir(root).mkdir(QStringLiteral("QX")));
             folder_.Write(QStringLiteral("drive/QX/mine.txt"), "mine");
             const QString qx = root + QStringLiteral("/QX");
             platform::hooks::SetFaultInjector(
                 [qx](platform::hooks::FileOp op, const QString& path) {
                     using platform::hooks::FileOp;
                     return (op == FileOp::List && path == qx) ||
                                    (op == FileOp::Open && path.startsWith(qx + QLatin1Char('/')))
                                ? platform::hooks::Fault::AccessDenied
                                : platform::hooks::Fault::None;
                 });
         },
         {E(14)},
         {QStringLiteral("QX")},
         [](const QString& root) {
             EXPECT_EQ(testsupport::ReadFile(root + QStringLiteral("/QX/mine.txt")), "mine");
         }},
        // Another drive mounted on a folder QX: filling it would wipe the wrong one.
        {"a folder QX with another file system mounted on it",
         [](const QString& root) {
             const QByteArray qx = QFile::encodeName(root + QStringLiteral("/QX"));
             ASSERT_TRUE(QDir(root).mkdir(QStringLiteral("QX")));
             ASSERT_EQ(mount("tmpfs", qx.constData(), "tmpfs", 0, "size=2m"), 0);
             ASSERT_NO_FATAL_FAILURE(
                 testsupport::AssertSmallTmpfs(root + QStringLiteral("/QX"), 2LL << 20));
             QFile mine(root + QStringLiteral("/QX/zzzzzzz.z1"));
             ASSERT_TRUE(mine.open(QIODevice::WriteOnly) && mine.write("theirs") == 6);
         },
         {E(14)},
         {QStringLiteral("QX")},
         [](const QString& root) {
             EXPECT_EQ(Names(root + QStringLiteral("/QX")), QStringList{"zzzzzzz.z1"});
             EXPECT_EQ(testsupport::ReadFile(root + "/QX/zzzzzzz.z1"), "theirs");
             EXPECT_EQ(umount2(QFile::encodeName(root + QStringLiteral("/QX")).constData(), 0), 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(MountTmpfs("size=8m")) << "tmpfs cannot be mounted here";
        c.prepare(drive_);
        StartOn(1);
        boxes_.boxes.clear();
        ClickFreeSpace();
        platform::hooks::SetFaultInjector(nullptr);
        std::vector<QString> titles = c.titles;
        titles.insert(titles.begin(), E(25));
        EXPECT_EQ(Titles(), titles);
        QStringList left = c.left;
        left.sort();
        EXPECT_EQ(Names(drive_), left);
        if (c.check)
            c.check(drive_);
        ExpectClosedDown();
        form().Unload();
        Unmount();
    }
}

TEST_F(FreeSpaceTest, ADriveThatCannotBeWrittenEndsWithTheWriteFailureBox) {
    struct Case {
        const char* name;
        bool readOnly;
        bool unmountAfterListing;
        const char* options = "size=4m";
    } cases[] = {
        {"a read-only mount", true, false},
        {"an entry no longer mounted", false, true},
        // Room for data but not for one more name: nothing can be wiped, so no summary.
        {"no work folder can be made", false, false, "size=4m,nr_inodes=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // What lies beneath the entry is a small file system of the test's own too, so a
        // wipe that did not see the entry gone could fill nothing else.
        if (c.unmountAfterListing) {
            ASSERT_TRUE(MountTmpfs("size=4m")) << "tmpfs cannot be mounted here";
        }
        ASSERT_TRUE(MountTmpfs(c.options, c.readOnly ? MS_RDONLY : 0))
            << "tmpfs cannot be mounted here";
        StartOn(1);
        if (c.unmountAfterListing) {
            Unmount();
            mounted_ = true;  // the one beneath
            ASSERT_NO_FATAL_FAILURE(testsupport::AssertSmallTmpfs(drive_, 4LL << 20));
        }
        boxes_.boxes.clear();
        bool overProgress = false, clockRunning = false;
        boxes_.onBox = [&](const ShownBox& b) {
            if (b.title == E(14)) {
                overProgress = engine::Dialog().IsLoaded();
                clockRunning = form().Timer1.Interval() != 0;
            }
        };
        ClickFreeSpace();
        boxes_.onBox = nullptr;
        ASSERT_EQ(Titles(), (std::vector<QString>{E(25), E(14)}));
        EXPECT_FALSE(overProgress) << "the progress window is closed before the box";
        EXPECT_FALSE(clockRunning);
        // An entry no longer mounted is refused before anything is tried; the work
        // folder that cannot be made is named with the system's error.
        if (c.unmountAfterListing)
            EXPECT_EQ(boxes_.boxes[1].prompt, E(31));
        else
            ExpectFailurePrompt(
                boxes_.boxes[1].prompt, drive_ + QStringLiteral("/QX"),
                c.readOnly ? platform::err::PermissionDenied : platform::err::DiskFull);
        EXPECT_EQ(boxes_.boxes[1].style, 48);
        // Nothing written: neither on the mount nor, once it is gone, on what lies beneath.
        EXPECT_TRUE(Names(drive_).isEmpty());
        ExpectClosedDown();
        form().Unload();
        if (mounted_)
            Unmount();
    }
}

// A failed write or flush ends the run once, with the write-failure box; the fill
// files are gone before the box shows, so it never waits over a full drive.
TEST_F(FreeSpaceTest, AFailedWriteOrFlushEndsTheRunAfterTheCleanup) {
    using platform::hooks::Fault;
    using platform::hooks::FileOp;
    struct Case {
        const char* name;
        FileOp op;
        int at;  // the operation of that kind that fails, counted from 1
        Fault fault;
        bool ofTheDrive = false;  // the flush of the whole file system, not of a file
    } cases[] = {
        {"the third block written", FileOp::Write, 3, Fault::DeviceError},
        // Each disk-full error is followed by a flush of the fill file.
        {"the flush after the first disk-full error", FileOp::Sync, 1, Fault::DeviceError},
        {"the flush after the second disk-full error", FileOp::Sync, 2, Fault::DeviceError},
        {"the flush after the third disk-full error", FileOp::Sync, 3, Fault::DeviceError},
        // Data taken as written that finds no room on the device is a failed write.
        {"a flush that finds the disk full", FileOp::Sync, 1, Fault::DiskFull},
        // After the eight steps of the ladder: the flush of the fill file when the
        // filling ends, then that of the whole file system.
        {"the fill file's flush at the end", FileOp::Sync, 9, Fault::DeviceError},
        {"the file system's flush at the end", FileOp::Sync, 10, Fault::DeviceError, true},
        {"the file system's flush at the end finds the disk full", FileOp::Sync, 10,
         Fault::DiskFull, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(MountTmpfs("size=8m")) << "tmpfs cannot be mounted here";
        StartOn(1);
        boxes_.boxes.clear();
        struct statfs empty {};
        ASSERT_EQ(::statfs(QFile::encodeName(drive_).constData(), &empty), 0);
        int seen = 0, filled = 0;
        QString failed;
        platform::hooks::SetFaultInjector([&](FileOp op, const QString& path) {
            filled += op == FileOp::Write && path.endsWith(QStringLiteral("/QX/zzzzzzz.z1"));
            if (op != c.op || ++seen != c.at)
                return platform::hooks::Fault::None;
            failed = path;
            return c.fault;
        });
        QStringList namesAtBox;
        std::uint64_t freeAtBox = 0;
        bool overProgress = true, clockRunning = true;
        boxes_.onBox = [&](const ShownBox& b) {
            if (b.title != E(14))
                return;
            namesAtBox = Names(drive_);
            freeAtBox = platform::detail::SystemTotalFreeBytes(drive_).value_or(0);
            overProgress = engine::Dialog().IsLoaded();
            clockRunning = form().Timer1.Interval() != 0;
        };
        ClickFreeSpace();
        platform::hooks::SetFaultInjector(nullptr);
        boxes_.onBox = nullptr;

        EXPECT_EQ(failed, c.ofTheDrive ? drive_ : drive_ + QStringLiteral("/QX/zzzzzzz.z1"));
        if (c.op == FileOp::Write) {
            EXPECT_EQ(seen, c.at);
        }
        EXPECT_GT(filled, 0);
        EXPECT_EQ(Titles(), (std::vector<QString>{E(25), E(14)}));
        if (boxes_.boxes.size() == 2) {
            ExpectFailurePrompt(boxes_.boxes[1].prompt, failed,
                                c.fault == Fault::DiskFull ? platform::err::DiskFull
                                                           : platform::err::DeviceIoError);
            EXPECT_EQ(boxes_.boxes[1].style, 48);
        }
        EXPECT_TRUE(namesAtBox.isEmpty()) << namesAtBox.join(' ').toStdString();
        EXPECT_EQ(freeAtBox, static_cast<std::uint64_t>(empty.f_bfree) * empty.f_bsize);
        EXPECT_FALSE(overProgress) << "the progress window is closed before the box";
        EXPECT_FALSE(clockRunning);
        EXPECT_TRUE(Names(drive_).isEmpty());
        ExpectClosedDown();
        form().Unload();
        Unmount();
    }
}

TEST_F(FreeSpaceTest, TheBarAndThePercentageAgainstTheMeasuredFreeAmount) {
    struct Case {
        const char* name;
        std::uint64_t measuredBytes;
        std::vector<int> bars;  // after each of the first cycles
        std::vector<QString> percentages;
    } cases[] = {
        // 4,093 Kb measured: past full at the fourth cycle, once more, then left alone.
        {"more written than measured",
         4093000,
         {1598, 3197, 4796, 6394, 7993, 7993},
         {"25.0%", "50.0%", "75.1%", "100.1%", "125.1%", "125.1%"}},
        // Nothing measured: no bar, no division by zero, no box per cycle.
        {"a free amount of 0", 0, {0, 0, 0}, {"0.0%", "0.0%", "0.0%"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(MountTmpfs("size=8m")) << "tmpfs cannot be mounted here";
        StartOn(1);
        boxes_.boxes.clear();
        form().KbScritti = 0;  // what the run before counted
        bool noticeShown = false, measuredBeforeNotice = false;
        boxes_.onBox = [&](const ShownBox&) { noticeShown = true; };
        platform::hooks::SetFreeSpaceQuery([&](const QString&) -> std::optional<std::uint64_t> {
            measuredBeforeNotice |= !noticeShown;
            return c.measuredBytes;
        });
        std::vector<int> bars;
        std::vector<QString> percentages;
        int interval = -1;
        platform::SetYieldHook([&] {
            if (form().KbScritti == 0 || bars.size() >= c.bars.size())
                return;
            bars.push_back(engine::Dialog().ImgBar.Width());
            percentages.push_back(engine::Dialog().Label8.Caption());
            interval = form().Timer1.Interval();
        });
        ClickFreeSpace();
        platform::SetYieldHook(nullptr);
        platform::hooks::SetFreeSpaceQuery(nullptr);
        EXPECT_EQ(bars, c.bars);
        // The status line reads text 74 and the percentage all through the run.
        std::vector<QString> expected;
        for (const QString& p : c.percentages) expected.push_back(E(74) + CR + p);
        EXPECT_EQ(percentages, expected);
        EXPECT_EQ(interval, 600);  // the clock runs while the drive fills
        EXPECT_FALSE(measuredBeforeNotice);
        boxes_.onBox = nullptr;
        EXPECT_EQ(Titles(), (std::vector<QString>{E(25), E(18)}));
        EXPECT_TRUE(Names(drive_).isEmpty());
        form().Unload();
        Unmount();
    }
}

TEST_F(FreeSpaceTest, AFillFileAtTheLargestSizeAllowedGivesWayToTheNext) {
    struct Case {
        const char* name;
        rlim_t limit;
        std::vector<QString> titles;
        qint64 first;         // the first fill file when the second appears
        std::int64_t kbFile;  // the count of the file then
        bool flushed;         // what was written reached the device
        bool noSecondFile = false;
    } cases[] = {
        // The third block stops part-way: the file keeps what it took, its count goes on.
        {"a limit within the third block", 2100000, {E(25), E(18)}, 2100000, 3 * 1024, true},
        // Not a byte fits: one write-failure box, not endless empty files.
        {"a limit of nothing", 0, {E(25), E(14)}, -1, -1, false},
        // The drive takes no second file: the filling ends with the first one closed.
        {"no room for a second file", 2100000, {E(25), E(18)}, -1, -1, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(MountTmpfs("size=8m")) << "tmpfs cannot be mounted here";
        StartOn(1);
        boxes_.boxes.clear();
        qint64 first = -1;
        std::int64_t kbFile = -1;
        QStringList flushed, flushedBeforeSecond;
        platform::hooks::SetSyncObserver(
            [&](const QString& path) { flushed << QFileInfo(path).fileName(); });
        platform::SetYieldHook([&] {
            if (kbFile < 0 && QFile::exists(drive_ + QStringLiteral("/QX/zzzzzzz.z2"))) {
                kbFile = form().KbFile;
                first = QFileInfo(drive_ + QStringLiteral("/QX/zzzzzzz.z1")).size();
                flushedBeforeSecond = flushed;
            }
        });
        int flushes = 0;
        platform::hooks::SetFaultInjector([&](platform::hooks::FileOp op, const QString& path) {
            flushes += op == platform::hooks::FileOp::Sync;
            return c.noSecondFile && op == platform::hooks::FileOp::Open &&
                           path.endsWith(QStringLiteral("/zzzzzzz.z2"))
                       ? platform::hooks::Fault::DiskFull
                       : platform::hooks::Fault::None;
        });
        rlimit before{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
        rlimit limit = before;
        limit.rlim_cur = c.limit;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        ClickFreeSpace();
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &before), 0);
        platform::SetYieldHook(nullptr);
        platform::hooks::SetFaultInjector(nullptr);
        platform::hooks::SetSyncObserver(nullptr);
        EXPECT_EQ(flushes > 0, c.flushed);
        // The first file, complete at the limit, reached the device before the second began.
        if (c.first >= 0) {
            EXPECT_EQ(flushedBeforeSecond, QStringList{QStringLiteral("zzzzzzz.z1")});
        }
        EXPECT_EQ(first, c.first);
        EXPECT_EQ(kbFile, c.kbFile);
        EXPECT_EQ(Titles(), c.titles);
        EXPECT_TRUE(Names(drive_).isEmpty());
        ExpectClosedDown();
        form().Unload();
        Unmount();
    }
}

// Fill files of 2.1 MB each (the process's file-size limit) on a drive that
// measures terabytes free: the counters run past 16 and 32 bits from a start
// near those limits. At the end every fill file takes the 24-Z name and is
// deleted under it, then the work folder takes that name and is removed.
TEST_F(FreeSpaceTest, TheCountersPassTheirLimitsAndTheCleanupRemovesUnderTheDummyName) {
    struct Case {
        const char* name;
        std::int64_t kbStart, fileStart;
    } cases[] = {
        {"a run's own start", 0, 0},
        {"past 16 bits", 32767 - 4096, 32765},
        {"past 32 bits", 2147483647LL - 4096, 2147483645LL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(MountTmpfs("size=8m")) << "tmpfs cannot be mounted here";
        StartOn(1);
        boxes_.boxes.clear();
        engine::hooks::SetSpaceCountersStart(c.kbStart, c.fileStart);
        platform::hooks::SetFreeSpaceQuery(
            [](const QString&) -> std::optional<std::uint64_t> { return 8'000'000'000'000; });
        NameEvents events;
        ASSERT_TRUE(events.Watch(drive_));
        QStringList files;
        platform::hooks::SetWriteObserver(
            [&](const QString& path, std::int64_t, const unsigned char*, std::size_t) {
                const QString name = QFileInfo(path).fileName();
                if (files.isEmpty() || files.back() != name)
                    files << name;
            });
        std::vector<std::int64_t> amounts;
        bool watched = false;
        platform::SetYieldHook([&] {
            if (!watched && QFileInfo(drive_ + QStringLiteral("/QX")).isDir())
                watched = events.Watch(drive_ + QStringLiteral("/QX"), QStringLiteral("QX"));
            const QString line = engine::Dialog().Label2.Caption();
            if (line.startsWith(E(73) + QStringLiteral(" "))) {
                QString number = line.mid(E(73).size() + 1).section(QStringLiteral(" / "), 0, 0);
                number.remove(QLatin1Char(','));
                amounts.push_back(number.toLongLong());
            }
        });
        rlimit before{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
        rlimit limit = before;
        limit.rlim_cur = 2100000;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        ClickFreeSpace();
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &before), 0);
        platform::SetYieldHook(nullptr);
        platform::hooks::SetWriteObserver(nullptr);
        platform::hooks::SetFreeSpaceQuery(nullptr);
        engine::hooks::SetSpaceCountersStart(0, 0);

        EXPECT_EQ(Titles(), (std::vector<QString>{E(25), E(18)}));
        ASSERT_GE(files.size(), 3);
        QStringList expectedFiles, expectedEvents{QStringLiteral("+QX")};
        for (qsizetype k = 0; k < files.size(); ++k) {
            const QString name = QStringLiteral("zzzzzzz.z") + QString::number(c.fileStart + 1 + k);
            expectedFiles << name;
            expectedEvents << QStringLiteral("QX <") + name << QStringLiteral("QX >") + kDummy
                           << QStringLiteral("QX -") + kDummy;
        }
        expectedEvents << QStringLiteral("<QX") << QStringLiteral(">") + kDummy
                       << QStringLiteral("-") + kDummy;
        EXPECT_EQ(files, expectedFiles);
        QStringList seen = events.Read();
        seen.removeIf([](const QString& e) { return e.startsWith(QStringLiteral("QX +")); });
        EXPECT_EQ(seen, expectedEvents);
        // The written amount counts on from its start, one cycle at a time.
        ASSERT_GE(amounts.size(), 6u);
        EXPECT_EQ(amounts.front(), c.kbStart + 1024);
        EXPECT_TRUE(std::is_sorted(amounts.begin(), amounts.end()));
        EXPECT_GE(amounts.back(), c.kbStart + 6 * 1024);
        EXPECT_TRUE(Names(drive_).isEmpty());
        ExpectClosedDown();
        form().Unload();
        Unmount();
    }
}

TEST_F(FreeSpaceTest, AFillFileIsCompleteAt1048000Kb) {
    const long long size = 1100LL << 20;
    if (AvailableMemory() < size + (1LL << 30))
        GTEST_SKIP() << "a tmpfs of 1.1 GiB needs more free memory than this machine has";
    ASSERT_TRUE(MountTmpfs("size=1100m")) << "tmpfs cannot be mounted here";
    StartOn(1, size);
    qint64 first = -1, second = -1;
    QString written;
    QStringList flushed, flushedBeforeSecond;
    platform::hooks::SetSyncObserver(
        [&](const QString& path) { flushed << QFileInfo(path).fileName(); });
    platform::SetYieldHook([&] {
        const QFileInfo two(drive_ + QStringLiteral("/QX/zzzzzzz.z2"));
        if (second < 0 && two.exists()) {
            first = QFileInfo(drive_ + QStringLiteral("/QX/zzzzzzz.z1")).size();
            second = two.size();
            written = engine::Dialog().Label2.Caption();
            flushedBeforeSecond = flushed;
        }
    });
    ClickFreeSpace();
    platform::hooks::SetSyncObserver(nullptr);
    // Each fill file reaches the device: the first when complete, the last when the filling ends.
    EXPECT_EQ(flushedBeforeSecond, QStringList{QStringLiteral("zzzzzzz.z1")});
    ASSERT_FALSE(flushed.isEmpty());
    EXPECT_EQ(flushed.back(), QStringLiteral("zzzzzzz.z2"));
    EXPECT_EQ(first, 1048576000);
    EXPECT_EQ(second, 1024000);
    // The cycle that completed the first file wrote no amount line: the last one is 1,023 cycles'.
    EXPECT_EQ(written,
              E(73) + QStringLiteral(" 1,047,552 / ") + FreeText() + QStringLiteral(" Kb"));
    EXPECT_EQ(boxes_.boxes.back().title, E(18));
    EXPECT_TRUE(Names(drive_).isEmpty());
}

// ext4 keeps a reserve of clusters from every writer unless it is set to 0;
// markers lying there could survive whatever the wipe does.
TEST_F(FreeSpaceTest, AfterTheWipeTheRawImageHoldsNoDeletedMarker) {
    const QString image = folder_.File(QStringLiteral("disk.img"));
    QString device;
    ASSERT_NO_FATAL_FAILURE(MountExt4(image, &device));
    if (IsSkipped())
        return;
    QFile reserve(QStringLiteral("/sys/fs/ext4/%1/reserved_clusters").arg(device));
    if (!reserve.open(QIODevice::WriteOnly) || reserve.write("0\n") != 2 || !reserve.flush())
        GTEST_SKIP() << "ext4's reserved clusters cannot be set to 0 here";
    reserve.close();

    const QByteArray marker("QX-FREE-MARKER-7d3a91-");
    for (int kib : {3, 50, 700, 4000}) {
        QByteArray data;
        while (data.size() < kib * 1024) data += marker + QByteArray::number(kib) + ' ';
        const QString path = drive_ + QStringLiteral("/secret%1.txt").arg(kib);
        ASSERT_NO_FATAL_FAILURE(testsupport::WriteSynced(path, data));
        ASSERT_TRUE(QFile::remove(path));
    }
    ::sync();

    StartOnExt4(device);
    ClickFreeSpace();
    ASSERT_EQ(Titles(), (std::vector<QString>{E(25), E(18)}));
    EXPECT_EQ(Names(drive_), QStringList{QStringLiteral("lost+found")});
    ASSERT_NO_FATAL_FAILURE(testsupport::ExpectImageHoldsNo(drive_, image, marker));
    mounted_ = false;
}

// With the reserve left as mkfs made it, the wipe cannot reach those clusters:
// the summary says how much the file system kept back.
TEST_F(FreeSpaceTest, OnExt4TheSummaryShowsTheSpaceKeptBack) {
    const QString image = folder_.File(QStringLiteral("disk.img"));
    QString device;
    ASSERT_NO_FATAL_FAILURE(MountExt4(image, &device));
    if (IsSkipped())
        return;
    StartOnExt4(device);
    // The free space when the last flush of the filling begins, fill files in place.
    std::uint64_t freeAtEnd = 0;
    platform::hooks::SetFaultInjector([&](platform::hooks::FileOp op, const QString& path) {
        if (op == platform::hooks::FileOp::Sync && path == drive_)
            freeAtEnd = platform::detail::SystemTotalFreeBytes(drive_).value_or(0);
        return platform::hooks::Fault::None;
    });
    ClickFreeSpace();
    platform::hooks::SetFaultInjector(nullptr);
    ASSERT_EQ(Titles(), (std::vector<QString>{E(25), E(18)}));
    QFile clusters(QStringLiteral("/sys/fs/ext4/%1/reserved_clusters").arg(device));
    if (clusters.open(QIODevice::ReadOnly)) {
        struct statfs fs {};
        ASSERT_EQ(::statfs(QFile::encodeName(drive_).constData(), &fs), 0);
        EXPECT_GE(freeAtEnd, clusters.readAll().trimmed().toULongLong() * fs.f_bsize);
    }
    ASSERT_GT(freeAtEnd, 0u);
    const QString prompt = boxes_.boxes[1].prompt;
    const QString line =
        CR + E(85) + QStringLiteral(" ") +
        platform::Format(static_cast<std::int64_t>((freeAtEnd + 999) / 1000), u"###,###,###") +
        QStringLiteral(" Kb");
    EXPECT_TRUE(prompt.startsWith(E(29)));
    EXPECT_TRUE(prompt.endsWith(QStringLiteral(" ") + E(30) + QStringLiteral("!") + line))
        << prompt.toStdString();
    EXPECT_EQ(Names(drive_), QStringList{QStringLiteral("lost+found")});
}

}  // namespace
}  // namespace apptest
