// Files dropped on the main window, delivered as the system delivers a drop.
#include <sys/stat.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QUrl>
#include <QWidget>
#include <QWindow>
#include <cstdio>

#include "OperationFixture.h"
#include "engine/Dialog.h"
#include "engine/Wipe.h"
#include "platform/Events.h"
#include "platform/FileDialogs.h"
#include "platform/Files.h"
#include "platform/Shell.h"

namespace apptest {
namespace {

const QString kConfirm = QStringLiteral("E12\r\rE13");
// The completion message of a drop that left n files with their data.
QString KeptData(int n) {
    return QStringLiteral("E17\r\rE84%1").arg(n);
}

class DropTest : public OperationTest {
  protected:
    // Drags the paths onto the point and drops them; the run follows once the
    // drop event has returned.
    void Drop(const QPoint& at, const QStringList& paths, Qt::DropActions offered = kAllActions) {
        const DragAnswer a = DragAndDrop(form().Window(), at, paths, offered);
        ASSERT_TRUE(a.dropAccepted);
        ASSERT_EQ(a.dropAction, Qt::CopyAction);
        EXPECT_TRUE(boxes.boxes.empty()) << "nothing runs inside the drop event";
        EXPECT_FALSE(engine::Dialog().IsLoaded());
        QCoreApplication::processEvents();
    }
    QPoint Anywhere() { return Background(6000, 5300); }
};

TEST_F(DropTest, OnlyADropOfferingCopyMoveAndLinkRuns) {
    const QString a = MakeFile(QStringLiteral("a.txt"), 100);
    for (Qt::DropActions offered :
         {Qt::DropActions(Qt::CopyAction), Qt::CopyAction | Qt::MoveAction,
          Qt::CopyAction | Qt::LinkAction}) {
        SCOPED_TRACE(static_cast<int>(offered));
        Drop(Anywhere(), {a}, offered);
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_TRUE(Untouched(a, 100));
        EXPECT_FALSE(engine::Dialog().IsLoaded());
        EXPECT_EQ(form().MousePointer(), 0);
    }
}

TEST_F(DropTest, NoLeavesEverythingAsItWas) {
    const QString a = MakeFile(QStringLiteral("a.txt"), 100);
    boxes.answer = platform::mb::No;
    int pointerAtBox = -1;
    boxes.onBox = [&](const testsupport::ShownBox&) { pointerAtBox = form().MousePointer(); };
    Drop(CentreOf(form().Label9), {a});
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].prompt, kConfirm);
    EXPECT_EQ(boxes.boxes[0].style, 324);
    EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("E14"));
    EXPECT_EQ(pointerAtBox, 0) << "the pointer changes only after Yes";
    EXPECT_EQ(form().MousePointer(), 0);
    EXPECT_TRUE(Untouched(a, 100));
    EXPECT_FALSE(engine::Dialog().IsLoaded());
    EXPECT_TRUE(form().IsShown());
}

TEST_F(DropTest, DroppedFilesGoOneByOneOnEveryTarget) {
    struct Case {
        const char* where;
        platform::Control* over;  // none: the background
    } cases[] = {{"background", nullptr},    {"Label9", &form().Label9},
                 {"Label4", &form().Label4}, {"Combo1", &form().Combo1},
                 {"Label1", &form().Label1}, {"Command1", &form().Command1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        boxes.boxes.clear();
        opened.clear();
        QStringList files;
        const int sizes[] = {300, 3000, 20};
        for (int i = 0; i < 3; ++i) files << MakeFile(QStringLiteral("d%1.bin").arg(i), sizes[i]);
        struct AtEnd {
            bool progressShown = false, mainHidden = false;
            int bar = -1, drawn = -1, pointer = -1;
        } atEnd;
        boxes.onBox = [&](const testsupport::ShownBox& b) {
            if (b.prompt != QStringLiteral("E17"))
                return;
            engine::DialogForm& dlg = engine::Dialog();
            atEnd = {dlg.IsShown(), !form().IsShown(), dlg.ImgBar.Width(),
                     dlg.ImgBar.Widget()->width(), form().MousePointer()};
        };
        Drop(c.over ? CentreOf(*c.over) : Anywhere(), files);
        ASSERT_EQ(opened.size(), 3u);
        const int bars[] = {2130, 4260, 6390};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(opened[static_cast<std::size_t>(i)].path, files[i]);
            EXPECT_TRUE(opened[static_cast<std::size_t>(i)].windowsOfARun);
            EXPECT_EQ(opened[static_cast<std::size_t>(i)].bar, bars[i]) << "before item " << i;
            EXPECT_FALSE(QFileInfo::exists(files[i]));
        }
        // The completion text alone, over the progress window with its full bar.
        ASSERT_EQ(boxes.boxes.size(), 2u);
        EXPECT_EQ(boxes.boxes[1].prompt, QStringLiteral("E17"));
        EXPECT_EQ(boxes.boxes[1].style, 64);
        EXPECT_EQ(boxes.boxes[1].title, QStringLiteral("E18"));
        EXPECT_TRUE(atEnd.progressShown);
        EXPECT_TRUE(atEnd.mainHidden);
        EXPECT_EQ(atEnd.bar, 6390);
        EXPECT_EQ(atEnd.drawn, platform::TwipsToPixels(6390));
        EXPECT_EQ(atEnd.pointer, 0);
        EXPECT_FALSE(engine::Dialog().IsLoaded());
        EXPECT_TRUE(form().IsShown());
        EXPECT_EQ(Shutdowns(), 0);
    }
}

TEST_F(DropTest, TickedShutdownBoxEndsInTheShutdownWithoutABox) {
    const QString a = MakeFile(QStringLiteral("a.txt"), 100);
    form().Check1.SetValue(1);
    Drop(Anywhere(), {a});
    EXPECT_FALSE(QFileInfo::exists(a));
    EXPECT_EQ(boxes.boxes.size(), 1u) << "only the question";
    EXPECT_EQ(Shutdowns(), static_cast<int>(platform::ShutdownCommandLines().size()));
    EXPECT_FALSE(engine::Dialog().IsLoaded());
    EXPECT_TRUE(form().IsShown());
}

// A cancel inside the first item's passes, a file or a file of a folder.
TEST_F(DropTest, CancelInsideADroppedItemLeavesTheRest) {
    for (bool inFolder : {false, true}) {
        for (int check : {0, 1}) {
            SCOPED_TRACE(inFolder ? "in a folder" : "a file");
            SCOPED_TRACE(check);
            boxes.boxes.clear();
            started.clear();
            const QString big = MakeFile(QStringLiteral("top%1/big.bin").arg(check), 20000);
            const QString next = MakeFile(QStringLiteral("next.bin"), 300);
            const QString item = inFolder ? QFileInfo(big).path() : big;
            form().Check1.SetValue(check);
            int yields = 0;
            platform::SetYieldHook([&] {
                if (++yields == 20)
                    ClickCancel();
            });
            Drop(Anywhere(), {item, next});
            platform::SetYieldHook(nullptr);
            EXPECT_EQ(QFileInfo(big).size(), 20000) << "stopped under its own name";
            EXPECT_TRUE(Untouched(next, 300));
            ASSERT_EQ(boxes.boxes.size(), 2u);
            EXPECT_EQ(boxes.boxes[1].prompt, QStringLiteral("E27"));
            EXPECT_EQ(Shutdowns(), 0);
            EXPECT_FALSE(engine::Dialog().IsLoaded());
            EXPECT_TRUE(form().IsShown());
            EXPECT_EQ(form().MousePointer(), 0);
            QFile::remove(big);
        }
    }
}

// A Cancel while the drop yields between two items (after the first item, or
// when the second one's turn has come) ends the drop before the next item, a
// folder too (the folder wipe would clear the flag and go on); the next drop
// starts afresh.
TEST_F(DropTest, CancelBetweenItemsEndsTheDropAndTheNextDropRuns) {
    for (int cancelAt : {2, 3}) {
        SCOPED_TRACE(cancelAt);
        boxes.boxes.clear();
        const QString first = MakeFile(QStringLiteral("b%1.bin").arg(cancelAt), 200);
        const QString inner = MakeFile(QStringLiteral("tree%1/sub/inner.bin").arg(cancelAt), 200);
        const QString tree = folder_.File(QStringLiteral("tree%1").arg(cancelAt));
        const QString last = MakeFile(QStringLiteral("c%1.bin").arg(cancelAt), 200);
        int yields = 0;
        platform::SetYieldHook([&] {
            if (++yields == cancelAt)
                ClickCancel();
        });
        Drop(Anywhere(), {first, tree, last});
        platform::SetYieldHook(nullptr);
        EXPECT_FALSE(QFileInfo::exists(first));
        EXPECT_TRUE(Untouched(inner, 200)) << "the folder is not wiped";
        EXPECT_TRUE(Untouched(last, 200));
        EXPECT_EQ(boxes.boxes.size(), 1u) << "only the question";
        EXPECT_FALSE(engine::Dialog().IsLoaded());
        EXPECT_TRUE(form().IsShown());

        boxes.boxes.clear();
        Drop(Anywhere(), {tree, last});
        EXPECT_FALSE(QFileInfo::exists(tree));
        EXPECT_FALSE(QFileInfo::exists(last));
        ASSERT_EQ(boxes.boxes.size(), 2u);
        EXPECT_EQ(boxes.boxes[1].prompt, QStringLiteral("E17"));
    }
}

// A dropped folder goes through the folder wipe, without its picker and without
// a second question. An empty folder's first file is the folder wipe's scratch
// file, opened before the folder sets a bar of its own: the drop's step shows.
TEST_F(DropTest, FileFolderFileGoInTurn) {
    int pickers = 0;
    platform::hooks::SetFolderPickerHook([&](const QString&) {
        ++pickers;
        return QString();
    });
    const QString scratch = folder_.File(QStringLiteral("temp.tmp"));
    for (bool empty : {true, false}) {
        SCOPED_TRACE(empty ? "empty folder" : "folder with a tree");
        boxes.boxes.clear();
        opened.clear();
        const QString first = MakeFile(QStringLiteral("first.bin"), 300);
        const QString tree = folder_.File(QStringLiteral("tree"));
        ASSERT_TRUE(QDir().mkpath(tree));
        const QString inner = empty ? QString() : MakeFile(QStringLiteral("tree/sub/in.bin"), 2000);
        const QString last = MakeFile(QStringLiteral("last.bin"), 300);
        Drop(Anywhere(), {first, tree, last});
        EXPECT_FALSE(QFileInfo::exists(first));
        EXPECT_FALSE(QFileInfo::exists(tree));
        EXPECT_FALSE(QFileInfo::exists(last));
        EXPECT_FALSE(QFileInfo::exists(scratch));
        EXPECT_EQ(pickers, 0);
        ASSERT_EQ(boxes.boxes.size(), 2u) << "the question and the completion box";
        EXPECT_EQ(boxes.boxes[1].prompt, QStringLiteral("E17"));
        ASSERT_EQ(opened.size(), empty ? 3u : 4u);
        EXPECT_EQ(opened.front().path, first);
        EXPECT_EQ(opened.front().bar, 2130);
        EXPECT_EQ(opened[1].path, empty ? scratch : inner);
        if (empty) {
            EXPECT_EQ(opened[1].bar, 4260);
        }
        EXPECT_EQ(opened.back().path, last);
        EXPECT_EQ(opened.back().bar, 6390);
        EXPECT_TRUE(opened.back().windowsOfARun);
        EXPECT_FALSE(engine::Dialog().IsLoaded());
        EXPECT_TRUE(form().IsShown());
        EXPECT_EQ(form().MousePointer(), 0);
    }
}

// A dropped name that is not valid UTF-8 cannot be named faithfully: it is left
// out, and the file its stand-in would name is never touched. The end of the
// run counts it among the files that keep their data.
TEST_F(DropTest, ANameThatIsNotUtf8IsLeftOut) {
    const QString kept = MakeFile(QStringLiteral("a\uFFFD"), 100);  // what "a\xFF" decodes to
    const QByteArray raw = QFile::encodeName(folder_.Path()) + "/a\xFF";
    {
        QFile f;
        ASSERT_TRUE(
            f.open(::fopen(raw.constData(), "w"), QIODevice::WriteOnly, QFile::AutoCloseHandle));
        f.write(QByteArray(100, 'm'));
    }
    const QString plain = MakeFile(QStringLiteral("plain.txt"), 100);
    QUrl bad = QUrl::fromLocalFile(folder_.Path());
    bad.setPath(bad.path(QUrl::FullyEncoded) + QStringLiteral("/a%FF"), QUrl::TolerantMode);
    ASSERT_TRUE(bad.isLocalFile());

    EXPECT_FALSE(
        DragAndDrop(form().Window(), Anywhere(), QList<QUrl>{bad}, kAllActions).enterAccepted)
        << "nothing in it can be named";
    const DragAnswer a = DragAndDrop(form().Window(), Anywhere(),
                                     QList<QUrl>{bad, QUrl::fromLocalFile(plain)}, kAllActions);
    ASSERT_TRUE(a.dropAccepted);
    QCoreApplication::processEvents();
    EXPECT_FALSE(QFileInfo::exists(plain));
    EXPECT_TRUE(Untouched(kept, 100));
    struct stat st {};
    EXPECT_EQ(::stat(raw.constData(), &st), 0);
    EXPECT_EQ(st.st_size, 100);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].prompt, KeptData(1));
    EXPECT_EQ(boxes.boxes[1].title, QStringLiteral("E18"));
}

// A folder dropped with a trailing separator is still the folder itself,
// whatever stands before the separator ("tree:/" is the folder "tree:"): its
// files are wiped and then the folder goes too. A link to a folder dropped so,
// or a link to a file, stays a link, what it leads to is untouched, and the end
// of the run counts each link as a file that was not wiped.
TEST_F(DropTest, AFolderWithATrailingSeparatorGoesWhole) {
    const QString elsewhere = MakeFile(QStringLiteral("elsewhere/kept.bin"), 300);
    const QString link = folder_.File(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(QFileInfo(elsewhere).path(), link));
    const QString colonLink = folder_.File(QStringLiteral("lnk2:"));
    ASSERT_TRUE(QFile::link(QFileInfo(elsewhere).path(), colonLink));
    const QString fileLink = folder_.File(QStringLiteral("file-link"));
    ASSERT_TRUE(QFile::link(elsewhere, fileLink));
    const QStringList before = folder_.Entries();
    const QString inner = MakeFile(QStringLiteral("tree/sub/in.bin"), 300);
    const QString tree = folder_.File(QStringLiteral("tree"));
    const QString colonInner = MakeFile(QStringLiteral("tree2:/in.bin"), 300);
    const QString colonTree = folder_.File(QStringLiteral("tree2:"));
    Drop(Anywhere(), {tree + QStringLiteral("/"), link + QStringLiteral("/"), fileLink,
                      colonTree + QStringLiteral("/"), colonLink + QStringLiteral("/")});
    EXPECT_FALSE(QFileInfo::exists(inner));
    EXPECT_FALSE(QFileInfo::exists(tree));
    EXPECT_FALSE(QFileInfo::exists(colonInner));
    EXPECT_FALSE(QFileInfo::exists(colonTree));
    EXPECT_EQ(folder_.Entries(), before) << "nothing of the trees is left, under any name";
    for (const QString& l : {link, colonLink, fileLink}) EXPECT_TRUE(QFileInfo(l).isSymLink());
    EXPECT_TRUE(Untouched(elsewhere, 300));
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].prompt, KeptData(3));
}

// One count for the whole drop: a folder dropped after a file that kept its
// data adds to it. Immutable and append-only files are simulated by refused
// opens and writes; each error box names its file.
TEST_F(DropTest, WhatADropLeftIsCountedOnceForTheWholeDrop) {
    const QString immutable = MakeFile(QStringLiteral("immutable.bin"), 300);
    const QString append = MakeFile(QStringLiteral("tree/sub/append.bin"), 300);
    const QString gone = MakeFile(QStringLiteral("tree/gone.bin"), 300);
    const QString second = MakeFile(QStringLiteral("tree2/x.bin"), 300);
    platform::hooks::SetFaultInjector([&](platform::hooks::FileOp op, const QString& path) {
        if (path == immutable && op == platform::hooks::FileOp::Open)
            return platform::hooks::Fault::NotPermitted;
        return path == append && op == platform::hooks::FileOp::Write
                   ? platform::hooks::Fault::NotPermitted
                   : platform::hooks::Fault::None;
    });
    Drop(Anywhere(), {immutable, QFileInfo(gone).path(), QFileInfo(second).path()});
    EXPECT_TRUE(Untouched(immutable, 300));
    EXPECT_FALSE(QFileInfo::exists(gone));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(second).path()));
    ASSERT_GE(boxes.boxes.size(), 3u);
    EXPECT_TRUE(boxes.boxes[1].prompt.startsWith(immutable + ": "));
    EXPECT_TRUE(boxes.boxes[2].prompt.startsWith(append + ": "));
    EXPECT_EQ(boxes.boxes.back().prompt, KeptData(2));
    EXPECT_EQ(boxes.boxes.back().style, 64);
    EXPECT_EQ(boxes.boxes.back().title, QStringLiteral("E18"));
}

// The dropped folder is handed to the folder wipe for that drop only: the next
// click on the folder button opens the picker.
TEST_F(DropTest, AfterADroppedFolderTheFolderButtonOpensThePicker) {
    const QString tree = QFileInfo(MakeFile(QStringLiteral("tree/in.bin"), 300)).path();
    Drop(Anywhere(), {tree});
    EXPECT_FALSE(QFileInfo::exists(tree));
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(form().CartellaRilasciata, QString());
    int pickers = 0;
    platform::hooks::SetFolderPickerHook([&](const QString&) {
        ++pickers;
        return QString();
    });
    boxes.boxes.clear();
    QTest::mouseClick(form().Window()->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      CentreOf(form().Command3));
    EXPECT_EQ(pickers, 1);
    EXPECT_TRUE(boxes.boxes.empty()) << "no run without a folder";
}

// An address that names no local file faithfully: a name its source did not
// escape, whose "#" or "?" starts a fragment or a query, or a name holding NUL,
// which no file name can hold. The file that the rest names is never touched.
TEST_F(DropTest, AnAddressThatNamesNoLocalFileIsLeftOut) {
    const QString near = MakeFile(QStringLiteral("notes"), 100);
    struct Case {
        const char* added;  // to the address of "notes"
        const char* named;  // the file the source meant, if one can exist
    } cases[] = {{"#2", "notes#2"}, {"?2", "notes?2"}, {"%002", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.added);
        const QString named = c.named ? MakeFile(QLatin1String(c.named), 100) : QString();
        const QUrl url(QUrl::fromLocalFile(near).toString() + QLatin1String(c.added));
        ASSERT_TRUE(url.isLocalFile());
        ASSERT_TRUE(url.toLocalFile().startsWith(near));
        const DragAnswer a =
            DragAndDrop(form().Window(), Anywhere(), QList<QUrl>{url}, kAllActions);
        EXPECT_FALSE(a.enterAccepted);
        QCoreApplication::processEvents();
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_TRUE(Untouched(near, 100));
        if (c.named) {
            EXPECT_TRUE(Untouched(named, 100));
        }
    }
}

TEST_F(DropTest, FilesWithANameOutsideTheDropKeepTheirBytesAndTheirNames) {
    ASSERT_TRUE(QDir().mkpath(folder_.File(QStringLiteral("elsewhere"))));
    const QString a = MakeFile(QStringLiteral("a.txt"), 3000);
    const QString r = folder_.File(QStringLiteral("R"));
    const QString inTree = MakeFile(QStringLiteral("R/r.txt"), 3000);
    const QString gone = MakeFile(QStringLiteral("R/gone.txt"), 100);
    const QString a2 = folder_.File(QStringLiteral("elsewhere/a2")),
                  r2 = folder_.File(QStringLiteral("elsewhere/r2"));
    ASSERT_EQ(::link(QFile::encodeName(a).constData(), QFile::encodeName(a2).constData()), 0);
    ASSERT_EQ(::link(QFile::encodeName(inTree).constData(), QFile::encodeName(r2).constData()), 0);
    Drop(Anywhere(), {a, r});
    EXPECT_TRUE(Untouched(a, 3000));
    EXPECT_TRUE(Untouched(a2, 3000));
    EXPECT_TRUE(Untouched(r2, 3000));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(r2).constData(), &st), 0);
    EXPECT_EQ(st.st_nlink, 2u) << "its name in the dropped folder stays too";
    EXPECT_FALSE(QFileInfo::exists(gone));
    for (const auto& b : boxes.boxes) EXPECT_NE(b.style, 48) << b.prompt.toStdString();
    EXPECT_EQ(runEnds_.NotWiped(), 2);
}

}  // namespace
}  // namespace apptest
