// The platform layer's contracts that the engine relies on.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest/QTest>
#include <cerrno>
#include <cmath>
#include <set>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/Currency.h"
#include "platform/Errors.h"
#include "platform/FileSystems.h"
#include "platform/Files.h"
#include "platform/FillFiles.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "support/FileSupport.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

TEST(Errors, PosixErrorsMapOntoTheProgramsNumbers) {
    const std::pair<int, int> cases[] = {
        {ENOENT, 53}, {ENOSPC, 61}, {EACCES, 70}, {EPERM, 70},  {EROFS, 70},
        {EBADF, 52},  {EEXIST, 58}, {EIO, 57},    {EMFILE, 67}, {ENOTDIR, 76},
        {EDQUOT, 70}, {EFBIG, 63},  {ENODEV, 68},
    };
    for (auto [e, number] : cases) {
        auto error = platform::ErrorFromErrno(e);
        EXPECT_EQ(error.Number(), number) << e;
        EXPECT_FALSE(error.Description().isEmpty());
        EXPECT_EQ(platform::DescribeWithNumber(error),
                  error.Description() + QStringLiteral(" (%1)").arg(number));
    }
    EXPECT_EQ(platform::RuntimeError(11).Description(), QStringLiteral("Division by zero"));
}

TEST(Files, ByteFileWritesInPlaceWithoutTruncating) {
    TempFolder folder;
    QString path = folder.Write(QStringLiteral("f.bin"), "abcdefghij");
    platform::ByteFile f(path);
    EXPECT_EQ(f.Length(), 10);
    f.Seek(4);
    f.Write("XYZ", 3);
    f.Sync();
    f.Close();
    EXPECT_EQ(ReadFile(path), QByteArray("abcXYZghij"));
    EXPECT_THROW(platform::ByteFile(folder.File(QStringLiteral("missing"))),
                 platform::RuntimeError);
    try {
        platform::ByteFile missing(folder.File(QStringLiteral("missing")));
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.Number(), 53) << "byte access never creates a file";
    }
    EXPECT_EQ(folder.Entries().size(), 1);
}

// Each kind of file refuses every use while it is not open (52) and a second open
// while it is (55); a second close does nothing.
TEST(Files, AFileIsUsedOnlyWhileItIsOpen) {
    TempFolder folder;
    const QString path = folder.Write(QStringLiteral("f.bin"), "abc");
    platform::ByteFile bytes;
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(ErrorOf([&] { bytes.Write("x", 1); }), 52);
        EXPECT_EQ(ErrorOf([&] { bytes.Seek(1); }), 52);
        EXPECT_EQ(ErrorOf([&] { bytes.Length(); }), 52);
        EXPECT_EQ(ErrorOf([&] { bytes.Sync(); }), 52);
        bytes.Open(path);
        EXPECT_EQ(ErrorOf([&] { bytes.Open(path); }), 55);
        bytes.Close();
        bytes.Close();
        EXPECT_FALSE(bytes.IsOpen());
    }

    const QString text = folder.File(QStringLiteral("out.txt"));
    platform::OutputFile out;
    EXPECT_EQ(ErrorOf([&] { out.WriteRaw("x"); }), 52);
    EXPECT_EQ(ErrorOf([&] { out.Sync(); }), 52);
    out.Open(text);
    EXPECT_EQ(ErrorOf([&] { out.Open(text); }), 55);
    out.PrintLine(QStringLiteral("line"));
    out.Close();
    out.Close();
    EXPECT_EQ(ReadFile(text), QByteArray("line\r\n"));

    platform::FillFile fill;
    platform::HeldFolder held;
    EXPECT_EQ(ErrorOf([&] { fill.Write("x", 1); }), 52);
    EXPECT_EQ(ErrorOf([&] { fill.Sync(); }), 52);
    EXPECT_EQ(ErrorOf([&] { fill.Create(held, QStringLiteral("fill")); }), 52);
    held.Open(folder.Path());
    fill.Create(held, QStringLiteral("fill"));
    fill.Write("ab", 2);
    EXPECT_EQ(ErrorOf([&] { fill.Create(held, QStringLiteral("other")); }), 55);
    fill.Close();
    fill.Close();
    EXPECT_EQ(fill.Written(), 2) << "the count outlives the file";
    EXPECT_EQ(ReadFile(folder.File(QStringLiteral("fill"))), QByteArray("ab"));
}

// A name joined to a folder has one separator before it, a drive's root too.
TEST(Paths, ANameJoinsItsFolderWithOneSeparator) {
    EXPECT_EQ(platform::JoinPath(QStringLiteral("/"), QStringLiteral("QX")), QStringLiteral("/QX"));
    EXPECT_EQ(platform::JoinPath(QStringLiteral("/mnt/usb"), QStringLiteral("QX")),
              QStringLiteral("/mnt/usb/QX"));
    EXPECT_EQ(platform::JoinPath(QStringLiteral("/mnt/usb/"), QStringLiteral("a b")),
              QStringLiteral("/mnt/usb/a b"));
}

// Files of the kernel's own file systems are switches, not data: never a file to wipe.
// (The cases only test and open; nothing is written.)
TEST(Files, TheKernelsOwnFilesAreNeverFilesToWipe) {
    TempFolder folder;
    EXPECT_TRUE(platform::ExistsNormalFile(folder.Write(QStringLiteral("plain"), "x")));
    int seen = 0;
    for (const char* path : {"/proc/self/comm", "/proc/sysrq-trigger", "/sys/kernel/uevent_helper",
                             "/sys/power/state"}) {
        const QString p = QString::fromLatin1(path);
        if (platform::KindOf(p) != platform::FileKind::Regular)
            continue;
        ++seen;
        EXPECT_FALSE(platform::ExistsNormalFile(p)) << path;
        try {
            platform::ByteFile f(p);
            ADD_FAILURE() << path << " was opened for the passes";
        } catch (const platform::RuntimeError& e) {
            EXPECT_EQ(e.Number(), 75) << path;
        }
    }
    if (seen == 0)
        GTEST_SKIP() << "no kernel file system with regular files is mounted here";
}

// statfs's type field is a signed int on 32-bit systems: the numbers with the
// high bit set (bpf, efivarfs, selinuxfs) arrive negative and must still match.
TEST(Files, KernelTypeNumbersMatchAsTheirThirtyTwoBitsFromASignedField) {
    struct Case {
        std::uint32_t magic;
        bool kernel;
        bool memory;
    };
    const Case cases[] = {
        {0xcafe4a11u, true, false},  // bpf
        {0xde5e81e4u, true, false},  // efivarfs
        {0xf97cff8cu, true, false},  // selinuxfs
        {0x9fa0u, true, false},      // proc
        {0x01021994u, false, true},  // tmpfs
        {0x858458f6u, false, true},  // ramfs
        {0xef53u, false, false},     // ext4
    };
    for (const Case& c : cases) {
        // As a 32-bit signed field gives it, and as a 64-bit one sign-extends that.
        const auto asInt = static_cast<std::int32_t>(c.magic);
        for (long long field : {static_cast<long long>(asInt), static_cast<long long>(c.magic)}) {
            const std::uint32_t type = platform::detail::FileSystemTypeOf(field);
            EXPECT_EQ(type, c.magic) << std::hex << field;
            EXPECT_EQ(platform::detail::IsKernelFileSystemType(type), c.kernel)
                << std::hex << field;
            EXPECT_EQ(platform::detail::IsMemoryFileSystemType(type), c.memory)
                << std::hex << field;
        }
    }
}

// A flush of a few pages is made on the calling thread, where it costs least,
// until one takes long enough to freeze the window: then every later one to that
// drive runs on the helper thread while the window goes on. A file on another
// drive (a folder of the test's own in memory) still flushes on the calling thread.
TEST(Files, SmallFlushesLeaveTheWindowsThreadOnceOneStallsOnThatDriveOnly) {
    TempFolder folder;
    const QString path = folder.Write(QStringLiteral("small"), "x");
    QTemporaryDir memory(QStringLiteral("/dev/shm/quellix-test.XXXXXX"));
    ASSERT_TRUE(memory.isValid());
    const QString other = memory.filePath(QStringLiteral("other"));
    {
        QFile f(other);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    struct stat a {
    }, b{};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &a), 0);
    ASSERT_EQ(::stat(QFile::encodeName(other).constData(), &b), 0);
    if (a.st_dev == b.st_dev)
        GTEST_SKIP() << "the temporary folder lies in memory too";
    std::vector<bool> onWindowsThread;
    platform::hooks::SetFaultInjector([&](platform::hooks::FileOp op, const QString&) {
        if (op == platform::hooks::FileOp::Sync) {
            onWindowsThread.push_back(QThread::currentThread() == qApp->thread());
            if (onWindowsThread.size() == 1)
                QThread::msleep(80);
        }
        return platform::hooks::Fault::None;
    });
    platform::ByteFile file(path);
    platform::ByteFile elsewhere(other);
    for (int i = 0; i < 3; ++i) {
        file.Write("abc", 3);
        file.Sync();
        elsewhere.Write("abc", 3);
        elsewhere.Sync();
    }
    file.Close();
    elsewhere.Close();
    platform::hooks::SetFaultInjector(nullptr);
    EXPECT_EQ(onWindowsThread, (std::vector<bool>{true, true, false, true, false, true}));
}

TEST(Files, RenameNeverReplacesAnExistingFile) {
    TempFolder folder;
    QString a = folder.Write(QStringLiteral("a"), "A");
    QString b = folder.Write(QStringLiteral("b"), "B");
    try {
        platform::RenameFile(a, b);
        FAIL() << "rename replaced a file";
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.Number(), 58);
    }
    EXPECT_EQ(ReadFile(b), QByteArray("B"));
    platform::RenameFile(a, folder.File(QStringLiteral("c")));
    EXPECT_EQ(ReadFile(folder.File(QStringLiteral("c"))), QByteArray("A"));
}

TEST(Files, OutputFileTruncatesAndEndsLinesWithCrLf) {
    TempFolder folder;
    QString path = folder.Write(QStringLiteral("o.txt"), "old content");
    platform::OutputFile out(path);
    out.PrintLine(QStringLiteral(" "));
    out.PrintLine(QStringLiteral("è"));
    out.Close();
    EXPECT_EQ(ReadFile(path), QByteArray(" \r\n\xC3\xA8\r\n"));
}

#ifndef _WIN32
// What the name held before the open, set up beside a file of the user's.
enum class Held { Nothing, File, HardLink, Link, RelativeLink, DanglingLink, Folder };

void Plant(Held held, const QString& name, const QString& mine) {
    const QByteArray at = QFile::encodeName(name);
    switch (held) {
        case Held::Nothing:
            return;
        case Held::File:
            ASSERT_TRUE(QFile(name).open(QIODevice::WriteOnly));
            return;
        case Held::HardLink:
            ASSERT_EQ(::link(QFile::encodeName(mine).constData(), at.constData()), 0);
            return;
        case Held::Link:
            ASSERT_EQ(::symlink(QFile::encodeName(mine).constData(), at.constData()), 0);
            return;
        case Held::RelativeLink:
            ASSERT_EQ(::symlink("../mine.txt", at.constData()), 0);
            return;
        case Held::DanglingLink:
            ASSERT_EQ(::symlink("../gone.txt", at.constData()), 0);
            return;
        case Held::Folder:
            ASSERT_TRUE(QDir().mkdir(name));
            return;
    }
}

// A new file only: whatever holds the name is refused untouched (58), a link and a
// name planted for a file of someone else's too.
TEST(Files, AnOutputFileCreatedNewNeverOpensWhatHoldsItsName) {
    for (Held held : {Held::Nothing, Held::File, Held::HardLink, Held::Link, Held::RelativeLink,
                      Held::DanglingLink, Held::Folder}) {
        SCOPED_TRACE(static_cast<int>(held));
        TempFolder folder;
        const QString mine = folder.Write(QStringLiteral("mine.txt"), "mine");
        ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("own")));
        const QString path = folder.File(QStringLiteral("own/out.txt"));
        Plant(held, path, mine);
        platform::OutputFile out;
        const int error = ErrorOf([&] { out.Open(path, platform::OutputFile::Mode::CreateNew); });
        EXPECT_EQ(error, held == Held::Nothing ? 0 : 58);
        EXPECT_EQ(out.IsOpen(), error == 0);
        if (out.IsOpen()) {
            out.PrintLine(QStringLiteral("new"));
            out.Close();
            EXPECT_EQ(ReadFile(path), "new\r\n");
        }
        EXPECT_EQ(ReadFile(mine), "mine");
        EXPECT_FALSE(QFileInfo::exists(folder.File(QStringLiteral("gone.txt"))));
    }
}

// A replacement: the name keeps what it held until the close, then holds the new
// file alone, whatever it held; nothing it held is written, and no other name is
// left in the folder, also when the replacement fails or is dropped.
TEST(Files, AnOutputFileThatReplacesRenamesANewFileOverTheName) {
    for (Held held : {Held::Nothing, Held::File, Held::HardLink, Held::Link, Held::RelativeLink,
                      Held::DanglingLink, Held::Folder}) {
        for (bool closed : {true, false}) {
            SCOPED_TRACE(static_cast<int>(held) * 10 + closed);
            TempFolder folder;
            const QString mine = folder.Write(QStringLiteral("mine.txt"), "mine");
            ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("own")));
            const QString path = folder.File(QStringLiteral("own/out.ini"));
            Plant(held, path, mine);
            const QFileInfo before(path);
            {
                platform::OutputFile out(path, platform::OutputFile::Mode::Replace);
                out.PrintLine(QStringLiteral("1"));
                out.PrintLine(QStringLiteral("two"));
                EXPECT_EQ(QFileInfo(path).isSymLink(), before.isSymLink());
                const bool toMine =
                    held == Held::HardLink || held == Held::Link || held == Held::RelativeLink;
                EXPECT_EQ(ReadFile(path), toMine ? "mine" : "");
                if (closed) {
                    EXPECT_EQ(ErrorOf([&] { out.Close(); }) != 0, held == Held::Folder);
                }
            }
            EXPECT_EQ(ReadFile(mine), "mine");
            EXPECT_EQ(QDir(folder.Path() + "/own")
                          .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                     QDir::System),
                      held == Held::Nothing && !closed ? QStringList() : QStringList{"out.ini"});
            if (held == Held::Folder) {
                EXPECT_TRUE(QFileInfo(path).isDir());
            } else if (closed) {
                struct stat st {};
                ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0);
                EXPECT_TRUE(S_ISREG(st.st_mode));
                EXPECT_EQ(st.st_nlink, 1u);
                EXPECT_EQ(ReadFile(path), "1\r\ntwo\r\n");
            } else {
                EXPECT_EQ(QFileInfo(path).isSymLink(), before.isSymLink());
            }
        }
    }
}
#endif

TEST(Random, DrawsStayInRangeAndReseedsDoNotRepeat) {
    float lo = 1, hi = 0;
    for (int i = 0; i < 100000; ++i) {
        float r = platform::Rnd();
        lo = std::min(lo, r);
        hi = std::max(hi, r);
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
    }
    EXPECT_LT(lo, 0.001f);
    EXPECT_GT(hi, 0.999f);
    // The same seed twice gives other draws: the seed is mixed into the state.
    platform::Randomize(1234.5);
    float a = platform::Rnd();
    platform::Randomize(1234.5);
    float b = platform::Rnd();
    EXPECT_NE(a, b);
}

TEST(Clock, TimerIsSecondsSinceMidnight) {
    float t = platform::Timer();
    EXPECT_GE(t, 0.0f);
    EXPECT_LT(t, 86400.0f);
}

TEST(Currency, RoundsToFourPlaces) {
    EXPECT_EQ(platform::CurrencyFromDouble(52428800000 / 1e7).tenThousandths, 52428800);
    EXPECT_EQ(platform::CurrencyFromDouble(123456789012 / 1e7).tenThousandths, 123456789);
    EXPECT_EQ(platform::CurrencyFromDouble(-0.00006).tenThousandths, -1);
    EXPECT_THROW(platform::CurrencyFromDouble(1e20), platform::RuntimeError);
}

// The real boxes: the buttons, the icon and the default of each style.
TEST(MessageBoxes, StylesGiveTheirButtonsIconAndDefault) {
    struct Case {
        int style;
        QMessageBox::Icon icon;
        bool yesNo;
    };
    const Case cases[] = {{324, QMessageBox::Information, true},
                          {308, QMessageBox::Warning, true},
                          {64, QMessageBox::Information, false},
                          {48, QMessageBox::Warning, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        QString seenText;
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        int buttons = 0;
        bool noIsDefault = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seenText = box->text();
            seenIcon = box->icon();
            buttons = static_cast<int>(box->buttons().size());
            if (c.yesNo) {
                noIsDefault = box->defaultButton() == box->button(QMessageBox::No);
            }
            // Enter takes the default button.
            box->defaultButton()->click();
        });
        int answer = platform::MsgBox(QStringLiteral("one") + QChar(13) + QStringLiteral("two"),
                                      c.style, QStringLiteral("Title"));
        EXPECT_EQ(seenText, QStringLiteral("one\ntwo"));
        EXPECT_EQ(seenIcon, c.icon);
        EXPECT_EQ(buttons, c.yesNo ? 2 : 1);
        if (c.yesNo) {
            EXPECT_TRUE(noIsDefault);
            EXPECT_EQ(answer, 7);
        } else {
            EXPECT_EQ(answer, 1);
        }
    }
}

// A small form for the form and control contract.
class TestForm : public platform::Form {
  public:
    TestForm() : Form(QStringLiteral("TestForm")) {}
    platform::Label Label1{*this, QStringLiteral("Label1")};
    int loads = 0;

  protected:
    void Design() override {
        SetClientSize(3000, 1500);
        Label1.Move(120, 240, 1455, 435);
        Label1.SetCaption(QStringLiteral("design"));
    }
    void Form_Load() override { ++loads; }
};

TEST(Forms, ControlsKeepTheirTwipsAndReloadOnATouch) {
    TestForm form;
    form.Label1.SetLeft(1234);  // a touch: loads the form hidden
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_FALSE(form.IsShown());
    EXPECT_EQ(form.loads, 1);
    EXPECT_EQ(form.Label1.Left(), 1234) << "what is set is what is read back";
    EXPECT_EQ(form.Label1.Width(), 1455);
    EXPECT_EQ(form.Label1.WidgetIfLoaded()->x(), platform::TwipsToPixels(1234));
    EXPECT_EQ(form.Window()->width(), platform::TwipsToPixels(3000));
    form.Label1.SetCaption(QStringLiteral("changed"));
    form.Unload();
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(form.Label1.Caption(), QStringLiteral("design")) << "fresh controls after a reload";
    EXPECT_EQ(form.loads, 2);
}

// A run sets a caption at every step: a shown label keeps its size and place, and
// its new text posts no layout request (an event, a wake-up and a poll each).
TEST(Forms, ANewCaptionKeepsTheLabelsSizeAndAsksForNoLayout) {
    class LayoutRequests : public QObject {
      public:
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::LayoutRequest)
                ++count;
            return false;
        }
        int count = 0;
    };
    TestForm form;
    form.Show();
    QCoreApplication::processEvents();
    QWidget* label = form.Label1.Widget();
    const QRect before = label->geometry();
    LayoutRequests requests;
    QCoreApplication::instance()->installEventFilter(&requests);
    for (int i = 0; i < 10; ++i)
        form.Label1.SetCaption(
            QStringLiteral("step %1 of a much longer caption than before").arg(i));
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(&requests);
    EXPECT_EQ(requests.count, 0);
    EXPECT_EQ(label->geometry(), before);
    form.Label1.SetWidth(2000);
    EXPECT_EQ(label->width(), platform::TwipsToPixels(2000)) << "the form still sizes it";
    form.Unload();
}

// A MouseUp handler that unloads its form ends the release there: no crash, no
// Click, and no silent reload of the form.
TEST(Forms, AMouseUpThatUnloadsTheFormEndsTheRelease) {
    TestForm form;
    form.Show();
    int clicks = 0;
    form.Label1.MouseUp = [&form](int, int, float, float) { form.Unload(); };
    form.Label1.Click = [&clicks] { ++clicks; };
    QWidget* label = form.Label1.Widget();
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(form.loads, 1);
    QCoreApplication::processEvents();
}

}  // namespace
