// The folder walks and the folder wipe, run on trees in the test's own folder.
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTest>
#include <QWindow>
#include <cmath>
#include <functional>

#include "AppFixture.h"
#include "engine/Dialog.h"
#include "engine/Wipe.h"
#include "platform/Clock.h"
#include "platform/Events.h"
#include "platform/FileDialogs.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "platform/Monotonic.h"
#include "platform/Shell.h"
#include "support/FileSupport.h"
#include "support/MountSupport.h"

namespace apptest {
namespace {

using testsupport::BoxRecorder;
using testsupport::FilesBelow;
using testsupport::ModeOf;
using testsupport::Native;
using testsupport::ReadFile;
using testsupport::WriteRecorder;

const QChar CR(13);
const QRegularExpression kFolderName(QStringLiteral("^[0-8]{16}$"));

// The entries of a folder in the order the file system lists them.
QStringList Listed(const QString& path, QDir::Filters which) {
    return QDir(path).entryList(which | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                QDir::Unsorted);
}

// A folder's tree parent first, in listing order: the folders, and the files
// folder by folder.
void PreOrder(const QString& folder, QStringList* folders, QStringList* files) {
    folders->append(folder);
    for (const QString& f : Listed(folder, QDir::Files)) files->append(folder + '/' + f);
    for (const QString& d : Listed(folder, QDir::Dirs)) PreOrder(folder + '/' + d, folders, files);
}

// The paths in the order their first byte was written.
QStringList FirstWrites(const WriteRecorder& rec) {
    QStringList order;
    for (const auto& w : rec.writes) {
        if (!order.contains(w.path))
            order << w.path;
    }
    return order;
}

QStringList Items(const platform::ListBox& list) {
    QStringList items;
    for (int i = 0; i < list.ListCount(); ++i) items << list.List(i);
    return items;
}

void HardLink(const QString& from, const QString& to) {
    ASSERT_EQ(::link(Native(from).constData(), Native(to).constData()), 0) << to.toStdString();
}

// What the file open on fd holds now (its names may all be gone).
QByteArray ReadThrough(int fd) {
    QByteArray data(1 << 16, 0);
    const ssize_t n = ::pread(fd, data.data(), static_cast<std::size_t>(data.size()), 0);
    data.resize(n < 0 ? 0 : static_cast<qsizetype>(n));
    return data;
}

std::size_t ErrorBoxes(const BoxRecorder& boxes) {
    return static_cast<std::size_t>(std::count_if(boxes.boxes.begin(), boxes.boxes.end(),
                                                  [](const auto& b) { return b.title == "E28"; }));
}

// Clicks the progress window's Cancel button, as the user does.
void ClickCancel() {
    qobject_cast<QAbstractButton*>(engine::Dialog().CancelButton.Widget())->click();
}

// A click on Cancel as the window system hands it over: a press and a release
// posted to the button, taken in when the events are next processed.
QAbstractButton* CancelButton() {
    return qobject_cast<QAbstractButton*>(engine::Dialog().CancelButton.Widget());
}
void PostCancelClick() {
    QWidget* button = CancelButton();
    const QPointF at = QRectF(button->rect()).center();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QCoreApplication::postEvent(button, new QMouseEvent(type, at, button->mapToGlobal(at),
                                                            Qt::LeftButton, held, Qt::NoModifier));
    }
}

// The 16-digit name the next round of pass 3 draws, read from a copy of the generator.
QString NextFolderName() {
    platform::detail::RandomState s = platform::detail::g_random;
    QString name;
    for (int i = 0; i < 16; ++i) {
        name += QChar(u'0' + static_cast<int>(std::floor(platform::detail::Draw(s) * 9.0)));
    }
    return name;
}

class FolderWipeTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        StartUp();
        testsupport::ResetEngineState();
        form().Combo1.SetListIndex(1);
        work_ = folder_.File(QStringLiteral("work"));
        ASSERT_TRUE(QDir().mkpath(work_));
    }
    void TearDown() override {
        testsupport::ResetEngineState();
        form().CartellaRilasciata.clear();
        AppTest::TearDown();
    }

    // Makes the files (and their folders) below work/, each holding its content.
    QString Make(const QString& top,
                 std::initializer_list<std::pair<const char*, QByteArray>> files,
                 std::initializer_list<const char*> folders = {}) {
        const QString root = work_ + '/' + top;
        EXPECT_TRUE(QDir().mkpath(root));
        for (const char* d : folders) EXPECT_TRUE(QDir().mkpath(root + '/' + d));
        for (const auto& [name, content] : files) {
            const QString path = root + '/' + name;
            EXPECT_TRUE(QDir().mkpath(QFileInfo(path).path()));
            QFile f(path);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            EXPECT_EQ(f.write(content), content.size());
        }
        return root;
    }
    // R{A{A1{A1x}, A2}, B}, with files in every folder.
    QString Tree() {
        return Make(QStringLiteral("R"), {{"r1.txt", "r1"},
                                          {"r2.txt", "r2"},
                                          {"A/a1.txt", "a1"},
                                          {"A/a2.txt", "a2"},
                                          {"A/A1/x1.txt", "x1"},
                                          {"A/A1/x2.txt", "x2"},
                                          {"A/A1/A1x/deep.txt", "deep"},
                                          {"A/A2/y.txt", "y"},
                                          {"B/b1.txt", "b1"},
                                          {"B/b2.txt", "b2"}});
    }
    // Runs the folder wipe on a folder chosen in the picker.
    void RunPicked(const QString& folder) {
        platform::hooks::SetFolderPickerHook([folder, this](const QString& title) {
            ++pickerCalls_;
            pickerTitle_ = title;
            return folder;
        });
        form().Command3_Click();
    }
    void RunDropped(const QString& folder) {
        form().CartellaRilasciata = folder;
        form().Command3_Click();
    }
    // One of the walks over the tree at r, the list holding r alone first.
    void Walk(bool second, const QString& r) {
        form().List2.Clear();
        form().List2.AddItem(r);
        if (second) {
            form().Scan2(r);
        } else {
            form().Scan(r);
        }
    }
    QString Scratch() const { return folder_.File(QStringLiteral("temp.tmp")); }

    QString work_;
    int pickerCalls_ = 0;
    QString pickerTitle_;
};

// ---- The walks ----

TEST_F(FolderWipeTest, WalksFollowTheListingOrderParentFirstWithTheBarPerFolder) {
    for (bool second : {false, true}) {
        SCOPED_TRACE(second ? "Scan2" : "Scan");
        const QString r = Tree();
        QStringList folders, files;
        PreOrder(r, &folders, &files);
        if (second) {
            // The second walk leaves the top folder's own files alone.
            files.erase(std::remove_if(files.begin(), files.end(),
                                       [&](const QString& f) { return QFileInfo(f).path() == r; }),
                        files.end());
        }
        // The bar at each file's first write: Int(6390 / n * k) of its folder.
        QStringList bars, expectedBars;
        WriteRecorder rec;
        platform::hooks::SetWriteObserver([&](const QString& path, std::int64_t offset,
                                              const unsigned char* data, std::size_t n) {
            if (offset == 0) {
                bars << QString::number(engine::Dialog().ImgBar.Width());
            }
            rec.writes.push_back(
                {path, offset,
                 QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(n))});
        });
        for (const QString& f : files) {
            const QStringList siblings = Listed(QFileInfo(f).path(), QDir::Files);
            const auto k = siblings.indexOf(QFileInfo(f).fileName()) + 1;
            expectedBars << QString::number(static_cast<int>(
                6390.0 / static_cast<double>(siblings.size()) * static_cast<double>(k)));
        }
        BoxRecorder boxes;
        Walk(second, r);
        EXPECT_EQ(Items(form().List2), folders);
        EXPECT_EQ(FirstWrites(rec), files);
        EXPECT_EQ(bars, expectedBars);
        for (const QString& f : files) EXPECT_FALSE(QFile::exists(f)) << f.toStdString();
        for (const QString& d : folders) EXPECT_TRUE(QFileInfo(d).isDir()) << "folders stay";
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_FALSE(engine::Dialog().Label9.Visible()) << "hidden when a folder's loop ends";
        ASSERT_TRUE(QDir(r).removeRecursively());
        testsupport::ResetEngineState();
    }
}

TEST_F(FolderWipeTest, CancelDuringAFileStopsBothWalksAfterItsFoldersAttributeReset) {
    const struct {
        bool second;
        // The folder of the file being wiped when Cancel is clicked.
        std::function<QString(const QString& r)> at;
    } cases[] = {
        // A1 holds a subfolder of its own, which is never listed.
        {false, [](const QString& r) { return r + "/A/A1"; }},
        // The top's first subfolder in the listing order: the further ones are not listed.
        {true, [](const QString& r) { return r + '/' + Listed(r, QDir::Dirs).constFirst(); }},
    };
    for (const auto& [second, at] : cases) {
        SCOPED_TRACE(second ? "Scan2" : "Scan");
        const QString r = Tree();
        const QString a1 = at(r);
        // A file of 20,000 bytes, whose passes yield.
        const QString big = a1 + QStringLiteral("/big.bin");
        ASSERT_TRUE(QFile(big).open(QIODevice::WriteOnly));
        ASSERT_TRUE(QFile::resize(big, 20000));
        ASSERT_EQ(::chmod(Native(a1).constData(), 0500), 0);
        QStringList folders, files;
        PreOrder(r, &folders, &files);
        // What comes before the cancel in the walk's order is done; nothing after it.
        const auto cut = files.indexOf(big);
        QStringList wiped = files.mid(0, cut);
        if (second) {
            wiped.erase(std::remove_if(wiped.begin(), wiped.end(),
                                       [&](const QString& f) { return QFileInfo(f).path() == r; }),
                        wiped.end());
        }
        const QStringList listed = folders.mid(0, folders.indexOf(a1) + 1);

        BoxRecorder boxes;
        WriteRecorder rec;
        platform::SetYieldHook([] {
            if (engine::Dialog().IsLoaded() &&
                engine::Dialog().Label8.Caption().contains(QStringLiteral("big.bin")))
                ClickCancel();
        });
        Walk(second, r);
        platform::SetYieldHook(nullptr);
        EXPECT_EQ(Items(form().List2), listed);
        QStringList written = FirstWrites(rec);
        EXPECT_EQ(written.takeLast(), big);
        EXPECT_EQ(written, wiped);
        for (const QString& f : files.mid(cut)) EXPECT_TRUE(QFile::exists(f)) << f.toStdString();
        EXPECT_EQ(ReadFile(big).size(), 20000) << "the cancelled file keeps its length";
        EXPECT_EQ(ModeOf(a1) & 0700, 0700) << "the folder's own attributes are still reset";
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].prompt, "E27");
        EXPECT_EQ(engine::Annullato, 1);
        ASSERT_TRUE(QDir(r).removeRecursively());
        testsupport::ResetEngineState();
    }
}

TEST_F(FolderWipeTest, ReadOnlyFilesAndFoldersWithoutSearchPermissionAreWiped) {
    if (testsupport::RunningAsRoot()) {
        // Root ignores permissions: the case runs again as an ordinary user.
        std::string reason;
        const int status = testsupport::RerunAsOrdinaryUser(&reason);
        if (status < 0)
            GTEST_SKIP() << reason;
        EXPECT_EQ(status, 0) << "the case failed when run without root";
        return;
    }
    const QString r = Make(QStringLiteral("R"), {{"ro.txt", "read only"},
                                                 {"S/s.txt", "no search"},
                                                 {"S/ro.txt", "read only, no search"},
                                                 {"N/n.txt", "no read, no search"}});
    for (const char* f : {"ro.txt", "S/ro.txt"}) {
        ASSERT_EQ(::chmod(Native(r + '/' + f).constData(), 0444), 0);
    }
    ASSERT_EQ(::chmod(Native(r + "/S").constData(), 0600), 0);
    ASSERT_EQ(::chmod(Native(r + "/N").constData(), 0), 0);
    ASSERT_EQ(::chmod(Native(r).constData(), 0600), 0) << "the top itself, no search";
    BoxRecorder boxes;
    WriteRecorder rec;
    RunDropped(r);
    EXPECT_FALSE(QFileInfo::exists(r));
    EXPECT_TRUE(Listed(work_, QDir::AllEntries).isEmpty());
    EXPECT_TRUE(boxes.boxes.empty());
    QStringList written = FirstWrites(rec);
    EXPECT_TRUE(written.removeOne(Scratch()));
    EXPECT_EQ(written.size(), 4) << "every file overwritten before it went";
}

// ---- The folder wipe ----

TEST_F(FolderWipeTest, NothingHappensWithoutAFolderOfARunOrWithNo) {
    const QString r = Make(QStringLiteral("R"), {{"f.txt", "keep"}});
    const QString link = work_ + QStringLiteral("/link");
    ASSERT_EQ(::symlink(Native(r).constData(), Native(link).constData()), 0);
    const QString colonLink = work_ + QStringLiteral("/lnk2:");
    ASSERT_EQ(::symlink(Native(r).constData(), Native(colonLink).constData()), 0);
    struct Case {
        const char* what;
        std::function<void()> start;
        int boxes;
    } cases[] = {
        {"Command3 clicked, picker cancelled",
         [&] {
             platform::hooks::SetFolderPickerHook([&](const QString& title) {
                 ++pickerCalls_;
                 pickerTitle_ = title;
                 return QString();
             });
             QTest::mouseClick(form().Window()->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                               CentreOf(form().Command3));
         },
         0},
        {"the menu item, the system's root picked",
         [&] {
             platform::hooks::SetFolderPickerHook([&](const QString& title) {
                 ++pickerCalls_;
                 pickerTitle_ = title;
                 return QStringLiteral("/");
             });
             form().mnuDistruggiCartella.Action()->trigger();
         },
         0},
        {"a link picked", [&] { RunPicked(link); }, 0},
        {"a link dropped", [&] { RunDropped(link); }, 0},
        // A trailing separator would make the system follow the link.
        {"a link picked with a trailing separator", [&] { RunPicked(link + "/"); }, 0},
        {"a link named with a colon picked with \":/\"", [&] { RunPicked(colonLink + "/"); }, 0},
        {"a link named with a colon dropped with \":/\"", [&] { RunDropped(colonLink + "/"); }, 0},
        {"No answered", [&] { RunPicked(r); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Every box is answered No: a box that should not come stops the run.
        BoxRecorder boxes(platform::mb::No);
        form().List2.Clear();
        form().List2.AddItem(QStringLiteral("last listing"));
        form().SetMousePointer(0);
        engine::Annullato = 0;
        pickerCalls_ = 0;
        c.start();
        ASSERT_EQ(static_cast<int>(boxes.boxes.size()), c.boxes);
        if (c.boxes == 1) {
            EXPECT_EQ(boxes.boxes[0].prompt, QStringLiteral("E12") + CR + CR + "E13");
            EXPECT_EQ(boxes.boxes[0].style, 308);
            EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("E80: \"") + r + '"');
        }
        if (pickerCalls_) {
            EXPECT_EQ(pickerTitle_, "E81");
        }
        EXPECT_EQ(ReadFile(r + "/f.txt"), "keep");
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), r);
        EXPECT_EQ(Items(form().List2), QStringList{"last listing"});
        EXPECT_TRUE(form().IsShown());
        EXPECT_EQ(form().MousePointer(), 0);
        EXPECT_EQ(engine::Annullato, 0);
        EXPECT_EQ(form().CartellaRilasciata, QString());
        EXPECT_FALSE(QFile::exists(Scratch()));
    }
}

TEST_F(FolderWipeTest, AnEmptyFolderGoesAfterTheScratchFileWithTheCompletionBox) {
    const QString r = Make(QStringLiteral("R"), {});
    // An old scratch file, here a link to a file of the user's, is never written through.
    const QString mine = folder_.Write(QStringLiteral("mine.txt"), "mine");
    ASSERT_EQ(::symlink(Native(mine).constData(), Native(Scratch()).constData()), 0);
    BoxRecorder boxes(platform::mb::Yes);
    QString firstShown;
    qint64 scratchSize = -1;
    bool mainShown = true;
    platform::SetYieldHook([&] {
        if (firstShown.isEmpty() && engine::Dialog().IsShown()) {
            firstShown = engine::Dialog().Label8.Caption();
            scratchSize = QFileInfo(Scratch()).size();
            mainShown = form().IsShown();
        }
    });
    RunPicked(r);
    EXPECT_EQ(firstShown, QStringLiteral("Wiping: temp.tmp...") + CR + "0%");
    EXPECT_EQ(scratchSize, 1100);
    EXPECT_FALSE(mainShown);
    EXPECT_FALSE(QFileInfo::exists(r));
    EXPECT_TRUE(Listed(work_, QDir::AllEntries).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Scratch()));
    EXPECT_EQ(ReadFile(mine), "mine");
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].prompt, "E17     ");
    EXPECT_EQ(boxes.boxes[1].style, 64);
    EXPECT_EQ(boxes.boxes[1].title, "E18");
    EXPECT_FALSE(engine::Dialog().IsLoaded());
    EXPECT_TRUE(form().IsShown());
    EXPECT_EQ(form().MousePointer(), 0);
    EXPECT_EQ(Items(form().List2), QStringList{r});
}

// The scratch name taken again between the old file's removal and the new one's
// creation, here as another name of a file of the user's: the name is not the
// program's, so nothing is written through it, nothing wipes it, and nothing of
// it is counted.
TEST_F(FolderWipeTest, AScratchNameTakenBeforeTheFileIsMadeIsLeftAlone) {
    const QString r = Make(QStringLiteral("R"), {{"f.txt", "goes"}});
    const QString mine = folder_.Write(QStringLiteral("mine.txt"), "the user's own words");
    folder_.Write(QStringLiteral("temp.tmp"), "an old scratch file");
    platform::hooks::SetFaultInjector([&](platform::hooks::FileOp op, const QString& path) {
        if (op == platform::hooks::FileOp::OpenOutput && path == Scratch() &&
            !QFileInfo::exists(Scratch())) {
            EXPECT_EQ(::link(Native(mine).constData(), Native(Scratch()).constData()), 0);
        }
        return platform::hooks::Fault::None;
    });
    BoxRecorder boxes(platform::mb::Yes);
    WriteRecorder rec;
    RunPicked(r);
    EXPECT_EQ(ReadFile(mine), "the user's own words");
    struct stat st {};
    ASSERT_EQ(::lstat(Native(Scratch()).constData(), &st), 0);
    EXPECT_EQ(st.st_nlink, 2u) << "the planted name stays where it was put";
    EXPECT_FALSE(FirstWrites(rec).contains(Scratch()));
    EXPECT_FALSE(QFileInfo::exists(r));
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].prompt, "E17     ");
}

TEST_F(FolderWipeTest, AFileThatCannotBeWipedKeepsItsFolderAndThoseAboveUnder16DigitNames) {
    const QString r = Make(QStringLiteral("R"), {{"A/keep.bin", "stays"},
                                                 {"A/gone.txt", "goes"},
                                                 {"A/C/c.txt", "goes"},
                                                 {"B/b.txt", "goes"}});
    platform::hooks::SetFaultInjector([](platform::hooks::FileOp op, const QString& path) {
        return op == platform::hooks::FileOp::Open && path.endsWith("/keep.bin")
                   ? platform::hooks::Fault::AccessDenied
                   : platform::hooks::Fault::None;
    });
    BoxRecorder boxes(platform::mb::Yes);
    RunPicked(r);
    // work/<16 digits>/<16 digits>/keep.bin, and nothing else.
    const QStringList top = Listed(work_, QDir::AllEntries);
    ASSERT_EQ(top.size(), 1);
    EXPECT_TRUE(kFolderName.match(top[0]).hasMatch()) << top[0].toStdString();
    const QString r2 = work_ + '/' + top[0];
    const QStringList inside = Listed(r2, QDir::AllEntries);
    ASSERT_EQ(inside.size(), 1);
    EXPECT_TRUE(kFolderName.match(inside[0]).hasMatch()) << inside[0].toStdString();
    EXPECT_EQ(Listed(r2 + '/' + inside[0], QDir::AllEntries), QStringList{"keep.bin"});
    EXPECT_EQ(ReadFile(r2 + '/' + inside[0] + "/keep.bin"), "stays");
    // Its error box in each pass, naming it, then the completion box: the run was
    // not cancelled, and the file tried three times is one file left.
    ASSERT_EQ(boxes.boxes.size(), 5u);
    for (int i : {1, 2, 3}) {
        EXPECT_EQ(boxes.boxes[i].title, "E28");
        EXPECT_TRUE(boxes.boxes[i].prompt.startsWith(r + "/A/keep.bin: "));
    }
    EXPECT_EQ(boxes.boxes[4].prompt, QStringLiteral("E17") + CR + CR + "E841");
    EXPECT_FALSE(QFileInfo::exists(Scratch()));
}

// What a folder run leaves is counted once a file, as it stands at the end: a
// file refused in every pass (immutable: its open; append-only: its writes)
// counts, a file refused only in the first pass and wiped in a later one does
// not, and neither does the program's own scratch file.
TEST_F(FolderWipeTest, TheFilesThatKeepTheirDataAreCountedOnce) {
    const QString r = Make(QStringLiteral("R"), {{"immutable.bin", "stays"},
                                                 {"A/append.bin", "stays too"},
                                                 {"A/ok.txt", "goes"},
                                                 {"B/once.bin", "goes later"}});
    int onceTries = 0;
    platform::hooks::SetFaultInjector([&](platform::hooks::FileOp op, const QString& path) {
        using platform::hooks::FileOp;
        if (op == FileOp::Open && path.endsWith("/once.bin") && ++onceTries == 1)
            return platform::hooks::Fault::NotPermitted;
        if (op == FileOp::Open && (path.endsWith("/immutable.bin") || path == Scratch()))
            return platform::hooks::Fault::NotPermitted;
        return op == FileOp::Write && path.endsWith("/append.bin")
                   ? platform::hooks::Fault::NotPermitted
                   : platform::hooks::Fault::None;
    });
    BoxRecorder boxes(platform::mb::Yes);
    RunPicked(r);
    EXPECT_GT(onceTries, 1) << "tried again after the first pass";
    ASSERT_FALSE(boxes.boxes.empty());
    EXPECT_EQ(boxes.boxes.back().prompt, QStringLiteral("E17") + CR + CR + "E842");
    EXPECT_EQ(boxes.boxes.back().title, "E18");
    EXPECT_EQ(boxes.boxes.back().style, 64);
    QFile::remove(Scratch());
}

// The end of a picked run: with the shutdown box ticked, the shutdown and no
// box; a cancel during pass 3 stops no renaming, but the run ends with neither
// the completion box nor the shutdown.
TEST_F(FolderWipeTest, TheEndOfARunIsTheCompletionBoxOrTheShutdownUnlessCancelled) {
    std::vector<QString> started;
    platform::hooks::SetStartHook([&](const QString& program, const QStringList&) {
        started.push_back(program);
        return true;
    });
    for (bool cancelInPass3 : {false, true}) {
        for (int check : {0, 1}) {
            SCOPED_TRACE(cancelInPass3 ? "cancelled in pass 3" : "not cancelled");
            SCOPED_TRACE(check);
            started.clear();
            const QString r = Make(QStringLiteral("R"), {{"A/a.txt", "a"}});
            form().Check1.SetValue(check);
            bool cancelled = false;
            platform::SetYieldHook([&] {
                // Pass 3 has renamed A and goes on to the top folder.
                if (cancelInPass3 && !cancelled && QFileInfo::exists(r) &&
                    !QFileInfo::exists(r + "/A")) {
                    cancelled = true;
                    ClickCancel();
                }
            });
            BoxRecorder boxes(platform::mb::Yes);
            RunPicked(r);
            platform::SetYieldHook(nullptr);
            EXPECT_EQ(cancelled, cancelInPass3);
            EXPECT_TRUE(Listed(work_, QDir::AllEntries).isEmpty()) << "every folder is removed";
            const bool ends = !cancelInPass3;
            ASSERT_EQ(boxes.boxes.size(), ends && check == 0 ? 2u : 1u);
            if (boxes.boxes.size() == 2) {
                EXPECT_EQ(boxes.boxes[1].prompt, "E17     ");
            }
            EXPECT_EQ(started.size(),
                      ends && check == 1 ? platform::ShutdownCommandLines().size() : 0u);
            EXPECT_FALSE(engine::Dialog().IsLoaded());
            EXPECT_TRUE(form().IsShown());
            EXPECT_EQ(form().MousePointer(), 0);
            testsupport::ResetEngineState();
        }
    }
    form().Check1.SetValue(0);
    platform::hooks::SetStartHook(nullptr);
}

// A folder that cannot be removed is renamed in each of the eight rounds and
// keeps the eighth name.
TEST_F(FolderWipeTest, AFolderThatCannotBeRemovedKeepsItsEighthName) {
    const QString r = Make(QStringLiteral("R"), {{"keep.bin", "stays"}});
    platform::hooks::SetFaultInjector([](platform::hooks::FileOp op, const QString& path) {
        return op == platform::hooks::FileOp::Open && path.endsWith("/keep.bin")
                   ? platform::hooks::Fault::AccessDenied
                   : platform::hooks::Fault::None;
    });
    QStringList names{QStringLiteral("R")};
    platform::SetYieldHook([&] {
        const QStringList now = Listed(work_, QDir::AllEntries);
        if (now.size() == 1 && now[0] != names.back())
            names << now[0];
    });
    BoxRecorder boxes(platform::mb::Yes);
    RunPicked(r);
    platform::SetYieldHook(nullptr);
    ASSERT_EQ(names.size(), 9) << names.join(' ').toStdString();
    for (const QString& n : names.mid(1)) EXPECT_TRUE(kFolderName.match(n).hasMatch());
    EXPECT_EQ(Listed(work_, QDir::AllEntries), QStringList{names[8]});
    EXPECT_EQ(ReadFile(work_ + '/' + names[8] + "/keep.bin"), "stays");
}

TEST_F(FolderWipeTest, CancelInPass1EndsAPickedAndADroppedRun) {
    for (bool dropped : {false, true}) {
        SCOPED_TRACE(dropped ? "dropped" : "picked");
        const QString r = Make(QStringLiteral("R"), {{"A/big.bin", QByteArray(20000, 'b')}});
        BoxRecorder boxes(platform::mb::Yes);
        platform::SetYieldHook([] {
            if (engine::Dialog().IsLoaded() &&
                engine::Dialog().Label8.Caption().contains(QStringLiteral("big.bin")))
                ClickCancel();
        });
        pickerCalls_ = 0;
        if (dropped) {
            RunDropped(r);
        } else {
            RunPicked(r);
        }
        platform::SetYieldHook(nullptr);
        ASSERT_EQ(boxes.boxes.size(), dropped ? 1u : 2u);
        EXPECT_EQ(boxes.boxes.back().prompt, "E27") << "the cancellation box, nothing after it";
        EXPECT_EQ(ReadFile(r + "/A/big.bin").size(), 20000);
        EXPECT_FALSE(QFileInfo::exists(Scratch())) << "the run stopped before the scratch file";
        EXPECT_EQ(form().CartellaRilasciata, QString());
        EXPECT_EQ(form().MousePointer(), 0);
        // A dropped run leaves the flag and the main window to the drop handler.
        EXPECT_EQ(engine::Annullato, dropped ? 1 : 0);
        EXPECT_EQ(form().IsShown(), !dropped);
        engine::Annullato = 0;
        // The next click opens the picker.
        RunPicked(QString());
        EXPECT_EQ(pickerCalls_, dropped ? 1 : 2);
        ASSERT_TRUE(QDir(r).removeRecursively());
        form().Show();
    }
}

// The yields of the passes run the events only once a millisecond has passed
// since they last ran; before each file they run whatever the time.
TEST_F(FolderWipeTest, AClickIsTakenWithinMillisecondsAndAlwaysBeforeTheNextFile) {
    const QByteArray content(4000, 'c');
    const QString r =
        Make(QStringLiteral("R"),
             {{"f1.bin", content}, {"f2.bin", content}, {"f3.bin", content}, {"f4.bin", content}});
    QStringList files;
    for (const QString& f : Listed(r, QDir::Files)) files << r + '/' + f;

    // A clock that stands still: every file is wiped within the same millisecond,
    // so no yield of its passes runs the events. The click posted halfway through
    // the second file is taken before the third, which keeps its data.
    {
        platform::hooks::SetMonotonicClock([] { return 100.0; });
        const QString second = QFileInfo(files[1]).fileName() + QStringLiteral("...");
        bool posted = false;
        int clicks = 0;
        platform::SetYieldHook([&] {
            const QString caption = engine::Dialog().Label8.Caption();
            if (!posted && caption.contains(second) && caption.contains(QStringLiteral("50%"))) {
                QObject::connect(CancelButton(), &QAbstractButton::clicked, [&] { ++clicks; });
                PostCancelClick();
                posted = true;
            }
        });
        WriteRecorder rec;
        BoxRecorder boxes(platform::mb::Yes);
        RunPicked(r);
        platform::SetYieldHook(nullptr);
        platform::hooks::SetMonotonicClock(nullptr);
        ASSERT_TRUE(posted);
        EXPECT_EQ(clicks, 1);
        EXPECT_EQ(FirstWrites(rec), files.mid(0, 2));
        EXPECT_FALSE(QFileInfo::exists(files[0]));
        EXPECT_FALSE(QFileInfo::exists(files[1])) << "the file under way is finished";
        for (const QString& f : files.mid(2)) EXPECT_EQ(ReadFile(f), content) << f.toStdString();
        EXPECT_FALSE(QFileInfo::exists(Scratch())) << "the run stopped in its first pass";
        EXPECT_EQ(engine::Annullato, 0);
        ASSERT_TRUE(QDir(r).removeRecursively());
        testsupport::ResetEngineState();
        form().Show();
    }

    // A clock that moves a quarter of a millisecond at each yield: a click posted
    // while a pass runs is taken by the event loop within 20 ms of that clock, and
    // the pass stops there, its file kept.
    {
        const QString big = Make(QStringLiteral("R"), {{"big.bin", QByteArray(200000, 'b')}}) +
                            QStringLiteral("/big.bin");
        double now = 0;
        platform::hooks::SetMonotonicClock([&] { return now; });
        double postedAt = -1;
        double clickedAt = -1;
        std::size_t writesWhenPosted = 0;
        WriteRecorder rec;
        platform::SetYieldHook([&] {
            now += 0.00025;
            if (postedAt < 0 && engine::Dialog().Label8.Caption().contains(QStringLiteral("30%"))) {
                QObject::connect(CancelButton(), &QAbstractButton::clicked,
                                 [&] { clickedAt = now; });
                PostCancelClick();
                postedAt = now;
                writesWhenPosted = rec.writes.size();
            }
        });
        BoxRecorder boxes(platform::mb::Yes);
        RunPicked(QFileInfo(big).path());
        platform::SetYieldHook(nullptr);
        platform::hooks::SetMonotonicClock(nullptr);
        ASSERT_GE(postedAt, 0);
        ASSERT_GE(clickedAt, postedAt) << "the click was taken";
        EXPECT_LE(clickedAt - postedAt, 0.020);
        EXPECT_LT(rec.writes.size(), 100u) << "the pass stopped before its end";
        EXPECT_GE(rec.writes.size(), writesWhenPosted);
        EXPECT_EQ(ReadFile(big).size(), 200000) << "the cancelled file keeps its length";
        ASSERT_FALSE(boxes.boxes.empty());
        EXPECT_EQ(boxes.boxes.back().prompt, "E27");
    }
}

// ---- Files with several names ----

TEST_F(FolderWipeTest, AFileWithANameOutsideTheTreeIsLeftAsItIsAndItsFolderStays) {
    const QString outside = folder_.File(QStringLiteral("outside"));
    ASSERT_TRUE(QDir().mkpath(outside));
    for (bool dropped : {false, true}) {
        SCOPED_TRACE(dropped ? "dropped" : "picked");
        const QString r = Make(QStringLiteral("R"), {{"own.txt", QByteArray(3000, 'o')},
                                                     {"S/twin.bin", QByteArray(1500, 't')}});
        // One file with a second name outside, an empty one too, and a file whose
        // two names both lie in the tree.
        const QString keep =
            folder_.Write(QStringLiteral("outside/keep.bin"), QByteArray(3000, 'k'));
        const QString nil = folder_.Write(QStringLiteral("outside/nil"), QByteArray());
        ASSERT_EQ(::chmod(Native(keep).constData(), 0444), 0);
        HardLink(keep, r + "/S/kept.bin");
        HardLink(nil, r + "/nil");
        HardLink(r + "/S/twin.bin", r + "/twin2.bin");
        const int twin = ::open(Native(r + "/S/twin.bin").constData(), O_RDONLY);
        ASSERT_GE(twin, 0);
        BoxRecorder boxes(platform::mb::Yes);
        if (dropped) {
            RunDropped(r);
        } else {
            RunPicked(r);
        }
        EXPECT_EQ(ReadFile(keep), QByteArray(3000, 'k'));
        EXPECT_EQ(ModeOf(keep), 0444u) << "not even its attributes change";
        EXPECT_TRUE(QFileInfo(nil).isFile());
        // The names inside stay too, in folders under their last random names.
        QStringList left = FilesBelow(work_);
        ASSERT_EQ(left.size(), 2) << left.join(' ').toStdString();
        left.sort();
        EXPECT_TRUE(left[0].endsWith("/kept.bin")) << left[0].toStdString();
        EXPECT_TRUE(left[1].endsWith("/nil")) << left[1].toStdString();
        EXPECT_EQ(ReadFile(left[0]), QByteArray(3000, 'k'));
        for (const QString& f : left) {
            EXPECT_TRUE(kFolderName.match(QFileInfo(f).dir().dirName()).hasMatch())
                << f.toStdString();
        }
        EXPECT_NE(ReadThrough(twin), QByteArray(1500, 't')) << "both names inside: wiped";
        ::close(twin);
        EXPECT_EQ(ErrorBoxes(boxes), 0u) << "left alone without a box";
        EXPECT_EQ(runEnds_.NotWiped(), 2);
        for (const QString& e : Listed(work_, QDir::AllEntries))
            ASSERT_TRUE(QDir(work_ + '/' + e).removeRecursively());
        ASSERT_TRUE(QFile::remove(keep) && QFile::remove(nil));
        testsupport::ResetEngineState();
    }
}

TEST_F(FolderWipeTest, ATreeOfHardLinkedSnapshotsIsWipedWithEveryName) {
    for (bool stepwise : {false, true}) {
        SCOPED_TRACE(stepwise ? "resolved name by name" : "resolved at once");
        const QString r = Make(QStringLiteral("R"), {{"s1/a.txt", QByteArray(2000, 'a')},
                                                     {"s1/d/b.bin", QByteArray(50, 'b')},
                                                     {"s1/c.txt", QByteArray(5000, 'c')}});
        std::vector<int> held;
        for (const char* name : {"a.txt", "d/b.bin", "c.txt"}) {
            held.push_back(::open(Native(r + "/s1/" + name).constData(), O_RDONLY));
            ASSERT_GE(held.back(), 0);
        }
        for (const char* snapshot : {"s2", "s3"}) {
            ASSERT_TRUE(QDir().mkpath(r + '/' + snapshot + "/d"));
            for (const char* name : {"a.txt", "d/b.bin", "c.txt"})
                HardLink(r + "/s1/" + name, r + '/' + snapshot + '/' + name);
        }
        platform::hooks::SetStepwiseResolution(stepwise);
        BoxRecorder boxes(platform::mb::Yes);
        RunPicked(r);
        EXPECT_TRUE(Listed(work_, QDir::AllEntries).isEmpty());
        EXPECT_EQ(ErrorBoxes(boxes), 0u);
        EXPECT_EQ(runEnds_.NotWiped(), 0);
        for (int fd : held) {
            const QByteArray now = ReadThrough(fd);
            EXPECT_TRUE(now.isEmpty() || std::count(now.begin(), now.end(), now[0]) < 40 ||
                        !QByteArray("abc").contains(now[0]))
                << "the data is overwritten: " << now.left(20).toStdString();
            ::close(fd);
        }
        testsupport::ResetEngineState();
    }
}

// ---- Names resolved beneath the top ----

TEST_F(FolderWipeTest, AFolderSwappedForALinkDuringTheRunLeadsNowhere) {
    const QString outside = folder_.File(QStringLiteral("outside"));
    const QString moved = folder_.File(QStringLiteral("moved"));
    for (bool dropped : {false, true}) {
        for (bool stepwise : {false, true}) {
            SCOPED_TRACE(std::string(dropped ? "dropped" : "picked") +
                         (stepwise ? ", name by name" : ""));
            ASSERT_TRUE(QDir().mkpath(outside) && QDir().mkpath(moved));
            // The folder the link leads to holds files of the same names.
            for (const char* name : {"f1", "f2", "f3"})
                folder_.Write(QStringLiteral("outside/") + name, "outside " + QByteArray(name));
            const QString r = Make(
                QStringLiteral("R"),
                {{"r.txt", "r"}, {"A/f1", "a1"}, {"A/f2", "a2"}, {"A/f3", "a3"}, {"B/b.txt", "b"}});
            // Just before the first file of A is opened, A is moved away and a link
            // to the outside folder takes its name.
            bool swapped = false;
            platform::hooks::SetFaultInjector([&](platform::hooks::FileOp op, const QString& p) {
                if (!swapped && op == platform::hooks::FileOp::Open && p.startsWith(r + "/A/")) {
                    swapped = true;
                    EXPECT_EQ(
                        ::rename(Native(r + "/A").constData(), Native(moved + "/A").constData()),
                        0);
                    EXPECT_EQ(::symlink(Native(outside).constData(), Native(r + "/A").constData()),
                              0);
                }
                return platform::hooks::Fault::None;
            });
            platform::hooks::SetStepwiseResolution(stepwise);
            BoxRecorder boxes(platform::mb::Yes);
            if (dropped) {
                RunDropped(r);
            } else {
                RunPicked(r);
            }
            ASSERT_TRUE(swapped);
            // The file held when A was moved is wiped where A went: it was chosen.
            // The other two are reached by name after the swap: each is an error
            // of its own and keeps its data. The rest of the tree goes, the link as
            // a link.
            QStringList left = Listed(moved + "/A", QDir::Files);
            left.sort();
            ASSERT_EQ(left.size(), 2) << left.join(' ').toStdString();
            for (const QString& name : left)
                EXPECT_EQ(ReadFile(moved + "/A/" + name), 'a' + name.mid(1).toUtf8())
                    << "not reached: it keeps its data";
            for (const char* name : {"f1", "f2", "f3"})
                EXPECT_EQ(ReadFile(outside + '/' + name), "outside " + QByteArray(name));
            EXPECT_EQ(ErrorBoxes(boxes), 2u);
            EXPECT_EQ(runEnds_.NotWiped(), 2);
            EXPECT_TRUE(Listed(work_, QDir::AllEntries).isEmpty());
            ASSERT_TRUE(QDir(outside).removeRecursively() && QDir(moved).removeRecursively());
            testsupport::ResetEngineState();
        }
    }
}

TEST_F(FolderWipeTest, ATreeDeeperThanThePathLimitIsWipedToItsBottom) {
    // 24 folders of 200-letter names: the deepest files lie some 4,900 bytes below the top.
    const QString r = Make(QStringLiteral("R"), {{"top.txt", "top"}});
    const QByteArray name(200, 'd');
    int dir = ::open(Native(r).constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(dir, 0);
    for (int level = 0; level < 24; ++level) {
        ASSERT_EQ(::mkdirat(dir, name.constData(), 0700), 0);
        const int sub = ::openat(dir, name.constData(), O_RDONLY | O_DIRECTORY);
        ::close(dir);
        dir = sub;
        ASSERT_GE(dir, 0);
        if (level % 8 == 7) {
            const int f = ::openat(dir, "deep.bin", O_WRONLY | O_CREAT, 0600);
            ASSERT_GE(f, 0);
            ASSERT_EQ(::write(f, "deep data", 9), 9);
            ::close(f);
        }
    }
    ::close(dir);
    BoxRecorder boxes(platform::mb::Yes);
    RunPicked(r);
    EXPECT_TRUE(Listed(work_, QDir::AllEntries).isEmpty());
    EXPECT_EQ(ErrorBoxes(boxes), 0u);
    EXPECT_EQ(runEnds_.NotWiped(), 0);
}

TEST_F(FolderWipeTest, AFolderThatCannotBeReadCountsAsNotWipedWithoutABox) {
    const QString r =
        Make(QStringLiteral("R"), {{"r.txt", "r"}, {"A/x.txt", "x"}, {"A/y.txt", "y"}});
    platform::hooks::SetFaultInjector([&](platform::hooks::FileOp op, const QString& p) {
        return op == platform::hooks::FileOp::List && p == r + "/A"
                   ? platform::hooks::Fault::AccessDenied
                   : platform::hooks::Fault::None;
    });
    BoxRecorder boxes(platform::mb::Yes);
    RunPicked(r);
    QStringList left = FilesBelow(work_);
    left.sort();
    ASSERT_EQ(left.size(), 2);
    EXPECT_EQ(ReadFile(left[0]), "x");
    EXPECT_EQ(ReadFile(left[1]), "y");
    EXPECT_EQ(ErrorBoxes(boxes), 0u);
    EXPECT_EQ(runEnds_.NotWiped(), 1);
}

TEST_F(FolderWipeTest, ANameThatCannotBeReplacedCountsAsNotWiped) {
    std::string reason;
    if (!testsupport::EnterPrivateMounts(&reason))
        GTEST_SKIP() << reason;
    // On a read-only mount a name that is not UTF-8 cannot be given one of its own.
    const QString r = Make(QStringLiteral("R"), {{"ok.txt", "ok"}});
    const int f = ::open((Native(r) + "/\xff.bin").constData(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(f, 0);
    ASSERT_EQ(::write(f, "odd", 3), 3);
    ::close(f);
    ASSERT_EQ(::mount(Native(r).constData(), Native(r).constData(), nullptr, MS_BIND, nullptr), 0);
    ASSERT_EQ(
        ::mount(nullptr, Native(r).constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr),
        0);
    BoxRecorder boxes(platform::mb::Yes);
    RunPicked(r);
    EXPECT_EQ(::umount2(Native(r).constData(), MNT_DETACH), 0);
    EXPECT_EQ(ReadFile(r + "/ok.txt"), "ok");
    char odd[8] = {};
    const int g = ::open((Native(r) + "/\xff.bin").constData(), O_RDONLY);
    EXPECT_EQ(::read(g, odd, sizeof odd), 3);
    ::close(g);
    EXPECT_STREQ(odd, "odd");
    ::unlink((Native(r) + "/\xff.bin").constData());
    // ok.txt has its error box; the odd name is left without one.
    EXPECT_EQ(runEnds_.NotWiped(), 2);
}

// ---- Safety ----

struct SafetyCase {
    const char* what;
    // Makes the tree below work/; gives its top.
    std::function<QString()> make;
    // Checks what is left in `work` and outside.
    std::function<void(const QString& work)> check;
    std::function<void()> onYield = {};
};

class FolderSafetyTest : public FolderWipeTest {
  protected:
    void Run(const SafetyCase& c) {
        SCOPED_TRACE(c.what);
        const QString outside = folder_.File(QStringLiteral("outside"));
        ASSERT_TRUE(QDir().mkpath(outside + "/dir"));
        folder_.Write(QStringLiteral("outside/secret.txt"), "secret");
        folder_.Write(QStringLiteral("outside/dir/s.txt"), "inside a folder outside");
        const QString r = c.make();
        BoxRecorder boxes;
        WriteRecorder rec;
        if (c.onYield)
            platform::SetYieldHook(c.onYield);
        RunDropped(r);
        platform::SetYieldHook(nullptr);
        platform::hooks::SetFaultInjector(nullptr);
        for (const auto& b : boxes.boxes) EXPECT_EQ(b.title, "E28") << b.prompt.toStdString();
        for (const auto& w : rec.writes) {
            EXPECT_TRUE(w.path.startsWith(work_ + "/") || w.path == Scratch()) << "wrote outside";
        }
        EXPECT_EQ(ReadFile(outside + "/secret.txt"), "secret");
        EXPECT_EQ(ReadFile(outside + "/dir/s.txt"), "inside a folder outside");
        c.check(work_);
        EXPECT_FALSE(QFileInfo::exists(Scratch()));
        for (const QString& e : Listed(work_, QDir::AllEntries))
            QDir(work_ + '/' + e).removeRecursively();
        testsupport::ResetEngineState();
    }
    QString Outside(const char* name) const {
        return folder_.File(QStringLiteral("outside/") + name);
    }
};

void TreeGone(const QString& work) {
    EXPECT_TRUE(Listed(work, QDir::AllEntries).isEmpty());
}

TEST_F(FolderSafetyTest, LinksFifosOddNamesAndTakenNamesAreHandledSafely) {
    QString taken;
    const SafetyCase cases[] = {
        {"a link to a file outside",
         [&] {
             const QString r = Make("R", {{"f.txt", "f"}});
             EXPECT_EQ(::symlink(Native(Outside("secret.txt")).constData(),
                                 Native(r + "/link").constData()),
                       0);
             return r;
         },
         TreeGone},
        {"a link to a folder outside",
         [&] {
             const QString r = Make("R", {{"f.txt", "f"}}, {"A"});
             EXPECT_EQ(
                 ::symlink(Native(Outside("dir")).constData(), Native(r + "/A/dlink").constData()),
                 0);
             return r;
         },
         TreeGone},
        {"a fifo",
         [&] {
             const QString r = Make("R", {{"A/f.txt", "f"}});
             EXPECT_EQ(::mkfifo(Native(r + "/A/pipe").constData(), 0600), 0);
             return r;
         },
         TreeGone},
        {"names that are not UTF-8",
         [&] {
             const QString r = Make("R", {});
             const QByteArray base = Native(r);
             EXPECT_EQ(::mkdir((base + "/d\xe9").constData(), 0700), 0);
             for (const QByteArray& name : {base + "/\xff\xfe.bin", base + "/d\xe9/\xc0\xaf"}) {
                 int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
                 EXPECT_GE(fd, 0);
                 EXPECT_EQ(::write(fd, "odd name", 8), 8);
                 ::close(fd);
             }
             return r;
         },
         [&](const QString& w) { TreeGone(w); }},
        {"an empty folder of the user's where a rename would land",
         [&] {
             const QString r = Make("R", {{"A/keep.bin", "stays"}});
             platform::hooks::SetFaultInjector([&](platform::hooks::FileOp op, const QString& p) {
                 return op == platform::hooks::FileOp::Open && p.endsWith("/keep.bin")
                            ? platform::hooks::Fault::AccessDenied
                            : platform::hooks::Fault::None;
             });
             taken.clear();
             return r;
         },
         [&](const QString& w) {
             // R was renamed and holds A under its first new name, and the user's folder.
             const QStringList top = Listed(w, QDir::AllEntries);
             ASSERT_EQ(top.size(), 1);
             ASSERT_FALSE(taken.isEmpty());
             QStringList inside = Listed(w + '/' + top[0], QDir::AllEntries);
             ASSERT_EQ(inside.size(), 2) << inside.join(' ').toStdString();
             EXPECT_TRUE(inside.removeOne(taken)) << "the user's folder is kept";
             EXPECT_TRUE(Listed(w + '/' + top[0] + '/' + taken, QDir::AllEntries).isEmpty());
             EXPECT_EQ(Listed(w + '/' + top[0] + '/' + inside[0], QDir::AllEntries),
                       QStringList{"keep.bin"});
         },
         [&] {
             // Right after A's first rename: an empty folder under the name of its next one.
             const QString r = work_ + "/R";
             if (taken.isEmpty() && QFileInfo::exists(r) && !QFileInfo::exists(r + "/A")) {
                 taken = NextFolderName();
                 EXPECT_TRUE(QDir().mkdir(r + '/' + taken));
             }
         }},
    };
    for (const SafetyCase& c : cases) Run(c);
}

TEST_F(FolderSafetyTest, ABindMountInsideTheTreeStaysWithItsContent) {
    std::string reason;
    if (!testsupport::EnterPrivateMounts(&reason))
        GTEST_SKIP() << reason;
    // The bind mount shows a folder of the same file system: only the mount, not
    // the device, tells it apart.
    Run({"a bind mount inside the tree",
         [&] {
             const QString r = Make("R", {{"f.txt", "f"}}, {"A/M"});
             EXPECT_EQ(mount(Native(Outside("dir")).constData(), Native(r + "/A/M").constData(),
                             nullptr, MS_BIND, nullptr),
                       0);
             return r;
         },
         [&](const QString& w) {
             // The mount point and the folders above it stay, under new names.
             const QStringList top = Listed(w, QDir::AllEntries);
             ASSERT_EQ(top.size(), 1);
             const QStringList inside = Listed(w + '/' + top[0], QDir::AllEntries);
             ASSERT_EQ(inside.size(), 1);
             const QString m = w + '/' + top[0] + '/' + inside[0] + "/M";
             EXPECT_EQ(ReadFile(m + "/s.txt"), "inside a folder outside");
             EXPECT_EQ(umount2(Native(m).constData(), MNT_DETACH), 0);
         }});
    // A file can be a mount point too: what it shows lies outside the tree.
    Run({"a file bind-mounted inside the tree",
         [&] {
             const QString r = Make("R", {{"f.txt", "f"}, {"A/F", "covered"}});
             EXPECT_EQ(mount(Native(Outside("secret.txt")).constData(),
                             Native(r + "/A/F").constData(), nullptr, MS_BIND, nullptr),
                       0);
             return r;
         },
         [&](const QString& w) {
             const QStringList top = Listed(w, QDir::AllEntries);
             ASSERT_EQ(top.size(), 1);
             const QStringList inside = Listed(w + '/' + top[0], QDir::AllEntries);
             ASSERT_EQ(inside.size(), 1);
             const QString f = w + '/' + top[0] + '/' + inside[0] + "/F";
             EXPECT_EQ(Listed(w + '/' + top[0] + '/' + inside[0], QDir::AllEntries),
                       QStringList{"F"});
             EXPECT_EQ(umount2(Native(f).constData(), MNT_DETACH), 0);
         }});
}

TEST_F(FolderWipeTest, TheRawImageHoldsNoMarkerAndNoFolderOfTheTree) {
    const QString image = folder_.File(QStringLiteral("disk.img"));
    const QString mnt = folder_.File(QStringLiteral("mnt"));
    ASSERT_NO_FATAL_FAILURE(testsupport::MountExt4Image(image, mnt, 24));
    if (IsSkipped())
        return;

    const QByteArray marker("QX-TREE-MARKER-7d2a91c4-");
    const std::pair<const char*, int> files[] = {{"R/small.txt", 700},
                                                 {"R/A/kib.bin", 5000},
                                                 {"R/A/B/mib.bin", 3 << 20},
                                                 {"R/C/c.txt", 999}};
    for (const auto& [name, size] : files) {
        QByteArray data;
        for (int i = 0; data.size() < size; ++i) data += marker + QByteArray::number(i);
        data.truncate(size);
        const QString path = mnt + '/' + name;
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        ASSERT_NO_FATAL_FAILURE(testsupport::WriteSynced(path, data));
    }
    ASSERT_TRUE(testsupport::RunTool("sync", {}));
    // No method selected: the files are still overwritten before they go.
    form().Combo1.SetListIndex(-1);
    BoxRecorder boxes(platform::mb::Yes);
    RunPicked(mnt + "/R");
    EXPECT_EQ(Listed(mnt, QDir::AllEntries), QStringList{"lost+found"});
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].prompt, "E17     ");
    testsupport::ExpectImageHoldsNo(mnt, image, marker);
}

}  // namespace
}  // namespace apptest
