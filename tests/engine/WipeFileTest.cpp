// What a caller finds after WipeFile, row by row, and the safety of the existence test.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "engine/Dialog.h"
#include "engine/ProgressWindow.h"
#include "engine/Wipe.h"
#include "platform/Errors.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

using namespace testsupport;
using platform::hooks::Fault;
using platform::hooks::FileOp;

namespace {

class WipeFileTest : public EngineTest {
  protected:
    TempFolder folder;
    FakeMainWindow form1;
    BoxRecorder boxes;
};

// Records what happens to the file under its new name before it goes.
struct RemovalRecorder {
    QString renamedTo;
    std::vector<FileOp> ops;
    RemovalRecorder() {
        platform::hooks::SetFaultInjector([this](FileOp op, const QString& path) {
            ops.push_back(op);
            if (op == FileOp::Delete)
                renamedTo = path;
            return platform::hooks::Fault::None;
        });
    }
    ~RemovalRecorder() { platform::hooks::SetFaultInjector(nullptr); }
};

TEST_F(WipeFileTest, FlagSetOnEntryLeavesEverythingAlone) {
    QString path = folder.Write(QStringLiteral("keep.txt"), "data");
    engine::Annullato = 1;
    engine::WipeFile(path, 1);
    EXPECT_EQ(ReadFile(path), QByteArray("data"));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(engine::Annullato, 1);
}

TEST_F(WipeFileTest, MissingFileAndFolderAreSkippedSilently) {
    engine::WipeFile(folder.File(QStringLiteral("nothing.txt")), 1);
    QDir(folder.Path()).mkdir(QStringLiteral("sub"));
    engine::WipeFile(folder.File(QStringLiteral("sub")), 1);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(QFileInfo(folder.File(QStringLiteral("sub"))).isDir());
    EXPECT_EQ(engine::Annullato, 0);
}

TEST_F(WipeFileTest, EmptyFileIsDeletedUnderItsOwnName) {
    QString path = folder.Write(QStringLiteral("empty.txt"), "");
    RemovalRecorder rec;
    engine::WipeFile(path, 4);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(rec.renamedTo, path) << "deleted under its own name";
    EXPECT_EQ(std::count(rec.ops.begin(), rec.ops.end(), FileOp::Rename), 0);
    EXPECT_FALSE(engine::Dialog().IsLoaded());
    EXPECT_EQ(form1.hides, 0);
}

TEST_F(WipeFileTest, SmallFileIsRenamedTruncatedAndDeleted) {
    QString path = folder.Write(QStringLiteral("small.txt"), QByteArray(500, 'q'));
    QByteArray contentBeforeDelete;
    QString deleted;
    platform::hooks::SetFaultInjector([&](FileOp op, const QString& p) {
        if (op == FileOp::Delete) {
            deleted = p;
            contentBeforeDelete = ReadFile(p);
        }
        return platform::hooks::Fault::None;
    });
    engine::WipeFile(path, 4);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(folder.Entries().isEmpty());
    QFileInfo info(deleted);
    EXPECT_EQ(info.absolutePath(), QFileInfo(path).absolutePath()) << "renamed in its own folder";
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Y]{24}$")).match(info.fileName()).hasMatch())
        << info.fileName().toStdString();
    EXPECT_EQ(contentBeforeDelete, QByteArray(" \r\n"));
    EXPECT_EQ(form1.CartellaFile, folder.Path() + "/");
    EXPECT_EQ(form1.Lunghezza, 500);
    EXPECT_FALSE(engine::Dialog().IsLoaded());
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(WipeFileTest, NewNamesHave24LettersAndNoZ) {
    QString all;
    for (int i = 0; i < 40; ++i) {
        QString path = folder.Write(QStringLiteral("n.txt"), "abc");
        QString deleted;
        platform::hooks::SetFaultInjector([&](FileOp op, const QString& p) {
            if (op == FileOp::Delete)
                deleted = QFileInfo(p).fileName();
            return platform::hooks::Fault::None;
        });
        engine::WipeFile(path, -1);
        ASSERT_EQ(deleted.size(), 24);
        all += deleted;
    }
    EXPECT_FALSE(all.contains(QLatin1Char('Z')));
    EXPECT_TRUE(all.contains(QLatin1Char('A')) && all.contains(QLatin1Char('Y')));
}

TEST_F(WipeFileTest, NoMethodRemovesWithoutOverwrite) {
    for (int method : {-1, 9}) {
        SCOPED_TRACE(method);
        QString path = folder.Write(QStringLiteral("x.txt"), QByteArray(5000, 'k'));
        WriteRecorder rec;
        engine::WipeFile(path, static_cast<std::int16_t>(method));
        EXPECT_TRUE(rec.writes.empty());
        EXPECT_TRUE(folder.Entries().isEmpty());
        EXPECT_FALSE(engine::Dialog().IsLoaded());
    }
}

TEST_F(WipeFileTest, CancelKeepsTheFileUnderItsName) {
    QString path = folder.Write(QStringLiteral("keep.bin"), QByteArray(30000, 'k'));
    int chunks = 0;
    platform::SetYieldHook([&] {
        if (++chunks == 150)
            engine::Dialog().CancelButton_Click();
    });
    engine::WipeFile(path, 5);
    EXPECT_EQ(QFileInfo(path).size(), 30000);
    ASSERT_NO_FATAL_FAILURE(ExpectCancelNotice(boxes));
    EXPECT_EQ(engine::Annullato, 1);
    EXPECT_TRUE(form1.hidden);
    EXPECT_EQ(form1.pointer, 0);
}

TEST_F(WipeFileTest, FailuresShowTheErrorBoxAndTheNextFileStillWorks) {
    struct Case {
        const char* what;
        FileOp op;
        Fault fault;
        int number;
        bool keepsOwnName;
    };
    const Case cases[] = {
        {"cannot open", FileOp::Open, Fault::AccessDenied, 70, true},
        {"disk full in a pass", FileOp::Write, Fault::DiskFull, 61, true},
        {"flush fails", FileOp::Sync, Fault::DeviceError, 57, true},
        {"rename fails", FileOp::Rename, Fault::AlreadyExists, 58, true},
        {"truncation fails", FileOp::OpenOutput, Fault::AccessDenied, 70, false},
        {"deletion fails", FileOp::Delete, Fault::NotPermitted, 70, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("locked.dat"));
        QString next = dir.filePath(QStringLiteral("next.dat"));
        for (const QString& p : {path, next}) {
            QFile f(p);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(2000, 'z'));
        }
        boxes.boxes.clear();
        // The first operation of that kind fails: it acts on this file.
        bool fired = false;
        platform::hooks::SetFaultInjector([&](FileOp op, const QString&) {
            if (fired || op != c.op)
                return platform::hooks::Fault::None;
            fired = true;
            return c.fault;
        });
        // The count is the run's: the three wipes below are one run.
        const engine::WipeRun run;
        engine::WipeFile(path, 1);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_TRUE(boxes.boxes[0].prompt.endsWith(QStringLiteral(" (%1)").arg(c.number)))
            << boxes.boxes[0].prompt.toStdString();
        EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("T28"));
        EXPECT_EQ(boxes.boxes[0].style, 48);
        EXPECT_EQ(QFileInfo::exists(path), c.keepsOwnName);
        EXPECT_EQ(engine::Annullato, 0);
        // The box names the file where it lies now, under its own name or its new one.
        const QStringList left = QDir(dir.path()).entryList(QDir::Files);
        ASSERT_EQ(left.size(), 2);
        const QString lies = dir.filePath(left[0] == "next.dat" ? left[1] : left[0]);
        EXPECT_EQ(lies == path, c.keepsOwnName);
        EXPECT_TRUE(boxes.boxes[0].prompt.startsWith(lies + ": "))
            << boxes.boxes[0].prompt.toStdString();
        EXPECT_GT(boxes.boxes[0].prompt.size(), lies.size() + 7) << "a description comes first";
        EXPECT_EQ(run.NotWiped(), 1);

        platform::hooks::SetFaultInjector(nullptr);
        engine::WipeFile(next, 1);
        EXPECT_FALSE(QFileInfo::exists(next)) << "the next file is wiped";
        EXPECT_EQ(run.NotWiped(), 1);
        // A later try of the same file that wipes it takes it out of the count.
        engine::WipeFile(lies, 1);
        EXPECT_FALSE(QFileInfo::exists(lies));
        EXPECT_EQ(run.NotWiped(), 0);
        engine::Dialog().Unload();
    }
}

// A pass that did not reach the file (its box shown) stops that file's wipe: the
// file keeps its name and length, and the caller goes on with its next file.
TEST_F(WipeFileTest, AFailedPassLeavesTheFileUnderItsNameAndTheRunGoesOn) {
    struct Case {
        const char* what;
        int method;
        int length;
        FileOp op;
        int failAt;  // the operation of that kind that fails, from 1
        Fault fault;
        int number;
        int passesWritten;
    };
    const Case cases[] = {
        {"random pass of a small file, write refused", 2, 500, FileOp::Write, 1, Fault::DiskFull,
         61, 0},
        {"the third pass of method 4, small file", 4, 500, FileOp::Write, 3, Fault::DeviceError, 57,
         2},
        {"flush of a small random pass", 2, 500, FileOp::Sync, 1, Fault::DeviceError, 57, 1},
        {"flush of a chunked pass", 3, 5000, FileOp::Sync, 1, Fault::DeviceError, 57, 1},
        {"pass 5 of the 35-pass method", 8, 500, FileOp::Write, 5, Fault::DeviceError, 57, 4},
        {"flush of the 35-pass method's first pass", 8, 2000, FileOp::Sync, 1, Fault::DeviceError,
         57, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ResetEngineState();
        const engine::WipeRun run;
        boxes.boxes.clear();
        const QByteArray original(c.length, 'o');
        QString path = folder.Write(QStringLiteral("fails.bin"), original);
        QString next = folder.Write(QStringLiteral("next.bin"), original);
        int seen = 0;
        std::vector<FileOp> ops;
        platform::hooks::SetFaultInjector([&](FileOp op, const QString&) {
            ops.push_back(op);
            return op == c.op && ++seen == c.failAt ? c.fault : platform::hooks::Fault::None;
        });
        WriteRecorder rec;
        engine::WipeFile(path, static_cast<std::int16_t>(c.method));

        ASSERT_EQ(boxes.boxes.size(), 1u) << "the failed pass's box, and no other";
        EXPECT_TRUE(boxes.boxes[0].prompt.startsWith(path + ": "));
        EXPECT_TRUE(boxes.boxes[0].prompt.endsWith(QStringLiteral(" (%1)").arg(c.number)))
            << boxes.boxes[0].prompt.toStdString();
        EXPECT_EQ(run.NotWiped(), 1);
        EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("T28"));
        EXPECT_EQ(boxes.boxes[0].style, 48);
        EXPECT_EQ(QFileInfo(path).size(), c.length) << "under its own name, same length";
        EXPECT_EQ(std::count(ops.begin(), ops.end(), FileOp::Rename), 0);
        EXPECT_EQ(std::count(ops.begin(), ops.end(), FileOp::Delete), 0);
        std::size_t starts = 0;
        for (const auto& w : rec.writes) starts += w.offset == 0;
        EXPECT_EQ(starts, static_cast<std::size_t>(c.passesWritten))
            << "no pass after the failed one";
        EXPECT_EQ(engine::Annullato, 0);

        platform::hooks::SetFaultInjector(nullptr);
        engine::WipeFile(next, static_cast<std::int16_t>(c.method));
        EXPECT_FALSE(QFileInfo::exists(next)) << "the next file is wiped";
        EXPECT_EQ(boxes.boxes.size(), 1u);
        QFile::remove(path);
    }
}

// The owner's missing write permission makes a file read-only, also when root
// runs the program (root's open() ignores the mode bits).
TEST_F(WipeFileTest, ReadOnlyFileIsRefusedWhoeverRunsTheProgram) {
    for (int method : {1, 4, 8}) {
        SCOPED_TRACE(method);
        boxes.boxes.clear();
        const QByteArray data(2000, 'r');
        QString path = folder.Write(QStringLiteral("ro.txt"), data);
        QString next = folder.Write(QStringLiteral("next.txt"), data);
        ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0444), 0);
        WriteRecorder rec;
        engine::WipeFile(path, static_cast<std::int16_t>(method));
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].prompt, path + QStringLiteral(": Permission denied (70)"));
        EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("T28"));
        EXPECT_EQ(boxes.boxes[0].style, 48);
        EXPECT_EQ(ReadFile(path), data) << "the file stays";
        EXPECT_TRUE(rec.writes.empty());
        EXPECT_EQ(engine::Annullato, 0);

        engine::WipeFile(next, static_cast<std::int16_t>(method));
        EXPECT_FALSE(QFileInfo::exists(next)) << "the next file is wiped";
        EXPECT_EQ(boxes.boxes.size(), 1u);
        QFile::remove(path);
        engine::Dialog().Unload();
    }
}

TEST_F(WipeFileTest, LinksAndFifosAreNeverOpened) {
    QString target = folder.Write(QStringLiteral("target.txt"), "precious");
    QString link = folder.File(QStringLiteral("link.txt"));
    ASSERT_EQ(symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()),
              0);
    QString fifo = folder.File(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    for (const QString& p : {link, fifo}) {
        engine::WipeFile(p, 2);
    }
    EXPECT_EQ(ReadFile(target), QByteArray("precious"));
    EXPECT_EQ(platform::KindOf(link), platform::FileKind::Link);
    EXPECT_EQ(platform::KindOf(fifo), platform::FileKind::Other);
    EXPECT_TRUE(boxes.boxes.empty());
    // The byte-access open refuses them too, should one slip past the test.
    EXPECT_THROW(platform::ByteFile{link}, platform::RuntimeError);
    EXPECT_THROW(platform::ByteFile{fifo}, platform::RuntimeError);
}

TEST_F(WipeFileTest, LargeFileLeavesTheWindowShownAndTheMainWindowHidden) {
    QString path = folder.Write(QStringLiteral("big.bin"), QByteArray(50000, 'b'));
    engine::WipeFile(path, 7);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(engine::Dialog().IsShown());
    EXPECT_EQ(engine::Dialog().ImgBar.Width(), engine::kBarFull);
    EXPECT_TRUE(form1.hidden);
    EXPECT_EQ(engine::Annullato, 0);
}

TEST_F(WipeFileTest, ChunkedCharacterPassesSetTheTotalTo99) {
    for (int method : {1, 2}) {
        form1.Totale = platform::Currency::FromWhole(7);
        QString path = folder.Write(QStringLiteral("t.bin"), QByteArray(3000, 'b'));
        engine::WipeFile(path, static_cast<std::int16_t>(method));
        EXPECT_EQ(form1.Totale, platform::Currency::FromWhole(method == 1 ? 99 : 7));
    }
}

// One run lives at a time; its count and its stop flag are its own, and a run
// begins with neither. The flag it ended with stays readable after it.
TEST_F(WipeFileTest, OneRunLivesAtATimeAndOwnsItsCountAndItsFlag) {
    engine::Annullato = 1;
    {
        const engine::WipeRun run;
        ASSERT_TRUE(run.Started());
        EXPECT_EQ(engine::Annullato, 0) << "a run begins unstopped";
        {
            const engine::WipeRun second;
            EXPECT_FALSE(second.Started());
            engine::CountNotWiped(2);
            engine::Annullato = 1;
        }
        EXPECT_EQ(engine::WipeRun::Current(), &run);
        EXPECT_EQ(run.NotWiped(), 2);
        EXPECT_EQ(engine::Annullato, 1);
    }
    EXPECT_EQ(engine::WipeRun::Current(), nullptr);
    EXPECT_EQ(engine::Annullato, 1) << "what the run ended with";
    const engine::WipeRun next;
    EXPECT_EQ(next.NotWiped(), 0);
    EXPECT_EQ(engine::Annullato, 0);
}

}  // namespace
