// The file wipe from the open dialog to the end of the run.
#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include "OperationFixture.h"
#include "engine/Dialog.h"
#include "engine/Wipe.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "platform/Shell.h"

namespace apptest {
namespace {

const QString kConfirm = QStringLiteral("E12\r\rE13");
const QString kCompleted = QStringLiteral("E17     ");
// The completion message of a run that left n files with their data.
QString KeptData(int n) {
    return QStringLiteral("E17\r\rE84%1").arg(n);
}

class FileWipeTest : public OperationTest {};

TEST_F(FileWipeTest, CancelledOrFailedDialogShowsNoQuestion) {
    struct Case {
        const char* name;
        platform::OpenDialogResult result;
        std::vector<testsupport::ShownBox> boxes;
    } cases[] = {
        {"cancelled", {}, {}},
        {"failed",
         {{}, true, 20476, QStringLiteral("Buffer too small")},
         {{QStringLiteral("Buffer too small(20476)"), 48, QStringLiteral("E32")}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.boxes.clear();
        asked.clear();
        int pointerAtDialog = -1;
        testsupport::HookGuard hooks;
        hooks.Set(platform::hooks::SetOpenDialogHook, [&](const platform::OpenDialogRequest& r) {
            asked.push_back(r);
            pointerAtDialog = form().MousePointer();
            return c.result;
        });
        form().Command1_Click();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].title, QStringLiteral("Open"));
        EXPECT_TRUE(asked[0].multiSelect);
        EXPECT_EQ(asked[0].filters, (std::vector<platform::FileFilter>{
                                        {QStringLiteral("E77 (*.*)"), QStringLiteral("*")}}));
        EXPECT_EQ(pointerAtDialog, 11);
        ASSERT_EQ(boxes.boxes.size(), c.boxes.size());
        for (std::size_t i = 0; i < c.boxes.size(); ++i) {
            EXPECT_EQ(boxes.boxes[i].prompt, c.boxes[i].prompt);
            EXPECT_EQ(boxes.boxes[i].style, c.boxes[i].style);
            EXPECT_EQ(boxes.boxes[i].title, c.boxes[i].title);
        }
        EXPECT_EQ(form().MousePointer(), 0);
        EXPECT_TRUE(form().IsShown());
        EXPECT_FALSE(engine::Dialog().IsLoaded());
    }
}

TEST_F(FileWipeTest, LabelButtonAndMenuItemStartIt) {
    ChooseFiles({});
    QTest::mouseClick(form().Window()->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      CentreOf(form().Command1));
    EXPECT_EQ(asked.size(), 1u);
    form().mnuDistruggiFile.Action()->trigger();
    EXPECT_EQ(asked.size(), 2u);
}

TEST_F(FileWipeTest, NoLeavesEverythingAsItWas) {
    const QString a = MakeFile(QStringLiteral("a.txt"), 300);
    ChooseFiles({a});
    boxes.answer = platform::mb::No;
    int pointerAtBox = -1;
    boxes.onBox = [&](const testsupport::ShownBox&) { pointerAtBox = form().MousePointer(); };
    form().Command1_Click();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].prompt, kConfirm);
    EXPECT_EQ(boxes.boxes[0].style, 324);
    EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("E14"));
    EXPECT_EQ(pointerAtBox, 11);
    EXPECT_EQ(form().MousePointer(), 0);
    EXPECT_TRUE(Untouched(a, 300));
    EXPECT_TRUE(form().IsShown());
    EXPECT_FALSE(engine::Dialog().IsLoaded());
}

// Several files: the bar before each, whether or not the file before set the
// total to 99 for its own bar (files of 1000 bytes or more).
TEST_F(FileWipeTest, BarStandsAtItsStepBeforeEachFile) {
    struct Case {
        std::vector<int> sizes;
        std::vector<int> bars;
    } cases[] = {{{2000, 10, 5000, 300}, {1597, 3195, 4792, 6390}},
                 {{300, 1500, 20}, {2130, 4260, 6390}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sizes.size());
        opened.clear();
        boxes.boxes.clear();
        QStringList files;
        for (std::size_t i = 0; i < c.sizes.size(); ++i)
            files << MakeFile(QStringLiteral("f%1.bin").arg(i), c.sizes[i]);
        ChooseFiles(files);
        bool hiddenAtEnd = false, progressGoneAtEnd = false;
        boxes.onBox = [&](const testsupport::ShownBox& b) {
            if (b.prompt == kCompleted) {
                hiddenAtEnd = !form().IsShown();
                progressGoneAtEnd = !engine::Dialog().IsLoaded();
            }
        };
        form().Command1_Click();
        ASSERT_EQ(opened.size(), c.sizes.size());
        for (std::size_t i = 0; i < c.sizes.size(); ++i) {
            EXPECT_EQ(opened[i].path, files[static_cast<int>(i)]);
            EXPECT_TRUE(opened[i].windowsOfARun);
            EXPECT_EQ(opened[i].bar, c.bars[i]) << "before file " << i + 1;
            EXPECT_FALSE(QFileInfo::exists(files[static_cast<int>(i)]));
        }
        ASSERT_EQ(boxes.boxes.size(), 2u);
        EXPECT_EQ(boxes.boxes[1].prompt, kCompleted);
        EXPECT_EQ(boxes.boxes[1].style, 64);
        EXPECT_EQ(boxes.boxes[1].title, QStringLiteral("E18"));
        EXPECT_TRUE(hiddenAtEnd) << "the main window comes back after the box";
        EXPECT_TRUE(progressGoneAtEnd) << "the progress window is closed before the box";
        EXPECT_TRUE(form().IsShown());
        EXPECT_EQ(form().MousePointer(), 0);
        EXPECT_FALSE(engine::Dialog().IsLoaded());
        EXPECT_EQ(form().Totale, platform::Currency::FromWhole(c.sizes.size()));
    }
}

// Records the bar's drawn width each time the progress window's bar is resized.
class BarWatcher : public QObject {
  public:
    BarWatcher() { qApp->installEventFilter(this); }
    ~BarWatcher() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize &&
            watched == static_cast<QObject*>(engine::Dialog().ImgBar.WidgetIfLoaded()))
            widths.push_back(static_cast<QWidget*>(watched)->width());
        return false;
    }
    std::vector<int> widths;
};

TEST_F(FileWipeTest, OneSmallFileFillsTheBarOnlyAtTheEnd) {
    const QString a = MakeFile(QStringLiteral("one.txt"), 500);
    ChooseFiles({a});
    BarWatcher bar;
    const platform::Currency total = form().Totale;
    form().Command1_Click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].bar, 0);
    EXPECT_TRUE(opened[0].windowsOfARun);
    EXPECT_FALSE(QFileInfo::exists(a));
    std::vector<int> drawn;
    for (int w : bar.widths)
        if (w > 0)
            drawn.push_back(w);
    EXPECT_EQ(drawn, std::vector<int>{platform::TwipsToPixels(6390)});
    EXPECT_EQ(form().Totale, total) << "the total is not changed";
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].prompt, kCompleted);
}

TEST_F(FileWipeTest, CancelEndsTheRunWithoutCompletionOrShutdown) {
    // Cancel inside the second file's passes, or in the yield after the last file.
    for (bool afterLast : {false, true}) {
        for (int check : {0, 1}) {
            SCOPED_TRACE(afterLast ? "after the last file" : "in the second file");
            SCOPED_TRACE(check);
            boxes.boxes.clear();
            started.clear();
            opened.clear();
            const int size = afterLast ? 400 : 20000;
            QStringList files;
            for (int i = 0; i < 3; ++i) files << MakeFile(QStringLiteral("c%1.bin").arg(i), size);
            ChooseFiles(files);
            form().Check1.SetValue(check);
            int yields = 0;
            platform::SetYieldHook([&] {
                ++yields;
                // Small files yield once each, after the file; large ones per chunk.
                if ((afterLast && yields == 3) ||
                    (!afterLast && opened.size() == 2 && yields == 100 + 10)) {
                    ClickCancel();
                }
            });
            form().Command1_Click();
            platform::SetYieldHook(nullptr);
            if (afterLast) {
                for (const QString& f : files) EXPECT_FALSE(QFileInfo::exists(f));
                EXPECT_EQ(boxes.boxes.size(), 1u) << "only the question";
                EXPECT_EQ(engine::Annullato, 1) << "the cancel came between files";
            } else {
                EXPECT_FALSE(QFileInfo::exists(files[0]));
                EXPECT_EQ(QFileInfo(files[1]).size(), size) << "stopped under its own name";
                EXPECT_TRUE(Untouched(files[2], size));
                ASSERT_FALSE(boxes.boxes.empty());
                EXPECT_EQ(boxes.boxes.back().prompt, QStringLiteral("E27"));
                EXPECT_EQ(boxes.boxes.size(), 2u);
                EXPECT_EQ(engine::Annullato, 0) << "the end's touch reloaded the window";
            }
            EXPECT_EQ(Shutdowns(), 0);
            EXPECT_FALSE(engine::Dialog().IsLoaded());
            EXPECT_TRUE(form().IsShown());
            EXPECT_EQ(form().MousePointer(), 0);
        }
    }
}

TEST_F(FileWipeTest, TickedShutdownBoxEndsInTheShutdownWithoutABox) {
    const QString a = MakeFile(QStringLiteral("a.txt"), 100);
    ChooseFiles({a, MakeFile(QStringLiteral("b.txt"), 100)});
    form().Check1.SetValue(1);
    form().Command1_Click();
    EXPECT_FALSE(QFileInfo::exists(a));
    EXPECT_EQ(boxes.boxes.size(), 1u) << "only the question";
    EXPECT_EQ(Shutdowns(), static_cast<int>(platform::ShutdownCommandLines().size()));
    EXPECT_GT(Shutdowns(), 0);
    EXPECT_TRUE(form().IsShown());
}

// Files from two folders and a link: every file is found at its own path, and
// the link is skipped like any link.
TEST_F(FileWipeTest, ChosenFilesKeepTheirFullPaths) {
    const QString a = MakeFile(QStringLiteral("one/a.txt"), 100);
    const QString b = MakeFile(QStringLiteral("two/deeper/b.txt"), 100);
    const QString target = MakeFile(QStringLiteral("target.txt"), 100);
    const QString link = folder_.File(QStringLiteral("two/link.txt"));
    ASSERT_TRUE(QFile::link(target, link));
    // Decoys where a join of the first folder with the other names would land.
    const QString decoyB = MakeFile(QStringLiteral("one/b.txt"), 100);
    const QString decoyLink = MakeFile(QStringLiteral("one/link.txt"), 100);
    ChooseFiles({a, b, link});
    form().Command1_Click();
    EXPECT_FALSE(QFileInfo::exists(a));
    EXPECT_FALSE(QFileInfo::exists(b));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(Untouched(target, 100));
    EXPECT_TRUE(Untouched(decoyB, 100));
    EXPECT_TRUE(Untouched(decoyLink, 100));
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].prompt, KeptData(1)) << "the link's target was not wiped";
}

// Each file that keeps its data is counted, and the completion box says how
// many; the error box of a file names it. A file made immutable refuses its
// open, an append-only one its writes; a link is never followed, and a name
// typed in the dialog may name nothing.
TEST_F(FileWipeTest, FilesThatKeepTheirDataAreCountedInTheCompletionBox) {
    using platform::hooks::FileOp;
    struct Bad {
        const char* what;
        FileOp refused;  // not permitted, for a file of its own
        bool link, missing;
    } bad[] = {
        {"immutable", FileOp::Open, false, false},
        {"append-only", FileOp::Write, false, false},
        {"a chosen link", FileOp::Close, true, false},
        {"a typed name that does not exist", FileOp::Close, false, true},
    };
    const QString target = MakeFile(QStringLiteral("target.bin"), 300);
    // Each case alone beside a file that is wiped, then all of them in one run.
    for (int only = 0; only <= 4; ++only) {
        SCOPED_TRACE(only < 4 ? bad[only].what : "all of them");
        boxes.boxes.clear();
        QStringList files{MakeFile(QStringLiteral("ok%1.bin").arg(only), 300)};
        std::vector<std::pair<QString, FileOp>> refused;
        for (int i = 0; i < 4; ++i) {
            if (only < 4 && i != only)
                continue;
            const QString path = folder_.File(QStringLiteral("bad%1-%2").arg(only).arg(i));
            if (bad[i].link) {
                ASSERT_TRUE(QFile::link(target, path));
            } else if (!bad[i].missing) {
                MakeFile(QFileInfo(path).fileName(), 300);
                refused.emplace_back(path, bad[i].refused);
            }
            files << path;
        }
        testsupport::HookGuard hooks;
        hooks.Set(platform::hooks::SetFaultInjector, [&](FileOp op, const QString& p) {
            for (const auto& [path, what] : refused)
                if (p == path && op == what)
                    return platform::hooks::Fault::NotPermitted;
            return platform::hooks::Fault::None;
        });
        ChooseFiles(files);
        form().Command1_Click();
        EXPECT_FALSE(QFileInfo::exists(files[0]));
        for (const auto& [path, what] : refused) EXPECT_TRUE(Untouched(path, 300));
        EXPECT_TRUE(Untouched(target, 300));
        ASSERT_EQ(boxes.boxes.size(), 2 + refused.size());
        for (std::size_t i = 0; i < refused.size(); ++i) {
            EXPECT_TRUE(boxes.boxes[1 + i].prompt.startsWith(refused[i].first + ": "))
                << boxes.boxes[1 + i].prompt.toStdString();
            EXPECT_EQ(boxes.boxes[1 + i].title, QStringLiteral("E28"));
        }
        EXPECT_EQ(boxes.boxes.back().prompt, KeptData(static_cast<int>(files.size()) - 1));
        EXPECT_EQ(boxes.boxes.back().style, 64);
        EXPECT_EQ(boxes.boxes.back().title, QStringLiteral("E18"));
    }
    // The next run counts afresh; with the shutdown box ticked it ends in the
    // shutdown, and no box, whatever was left.
    boxes.boxes.clear();
    ChooseFiles({MakeFile(QStringLiteral("fine.bin"), 300)});
    form().Command1_Click();
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].prompt, kCompleted);
    boxes.boxes.clear();
    ChooseFiles({folder_.File(QStringLiteral("nothing here"))});
    form().Check1.SetValue(1);
    form().Command1_Click();
    EXPECT_EQ(boxes.boxes.size(), 1u) << "only the question";
    EXPECT_EQ(Shutdowns(), static_cast<int>(platform::ShutdownCommandLines().size()));
}

TEST_F(FileWipeTest, NoMethodSelectedOverwritesWithMethod0) {
    const QString a = MakeFile(QStringLiteral("a.txt"), 700);
    ChooseFiles({a});
    form().Combo1.SetListIndex(-1);
    ASSERT_EQ(form().Combo1.ListIndex(), -1);
    testsupport::WriteRecorder writes;
    form().Command1_Click();
    EXPECT_FALSE(QFileInfo::exists(a));
    // Method 0: one drawn value, 1 to 255, over every byte.
    ASSERT_EQ(writes.writes.size(), 1u);
    const QByteArray& data = writes.writes[0].data;
    ASSERT_EQ(data.size(), 700);
    EXPECT_NE(data[0], '\0');
    EXPECT_EQ(data, QByteArray(700, data[0]));
}

TEST_F(FileWipeTest, AFileWithAnotherNameIsLeftAsItIsWithoutABox) {
    ASSERT_TRUE(QDir().mkpath(folder_.File(QStringLiteral("elsewhere"))));
    const QString other = folder_.File(QStringLiteral("elsewhere/other.txt"));
    // The other name made before the run, and made just as the file is opened.
    for (bool atOpen : {false, true}) {
        SCOPED_TRACE(atOpen ? "linked as it is opened" : "linked before");
        boxes.boxes.clear();
        const QString a = MakeFile(QStringLiteral("a.txt"), 3000);
        const QString plain = MakeFile(QStringLiteral("plain.txt"), 300);
        auto link = [&] {
            ASSERT_EQ(
                ::link(QFile::encodeName(a).constData(), QFile::encodeName(other).constData()), 0);
        };
        if (atOpen) {
            platform::hooks::SetFaultInjector([&](platform::hooks::FileOp op, const QString& p) {
                if (op == platform::hooks::FileOp::Open && p == a && !QFileInfo::exists(other))
                    link();
                return platform::hooks::Fault::None;
            });
        } else {
            link();
        }
        ChooseFiles({a, plain});
        form().Command1_Click();
        EXPECT_TRUE(Untouched(a, 3000));
        EXPECT_TRUE(Untouched(other, 3000));
        EXPECT_FALSE(QFileInfo::exists(plain));
        for (const auto& b : boxes.boxes) EXPECT_NE(b.style, 48) << b.prompt.toStdString();
        EXPECT_EQ(runEnds_.NotWiped(), 1);
        ASSERT_TRUE(QFile::remove(a) && QFile::remove(other));
        testsupport::ResetEngineState();
    }
}

}  // namespace
}  // namespace apptest
