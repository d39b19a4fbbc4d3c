// The language menu: the dialog it asks for, the chosen file saved and applied
// at once, files in subfolders of the Lang folder, the paths that name no
// language file of this program, a settings file that cannot be written, and
// Cancel.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "AppFixture.h"
#include "StartRecorder.h"
#include "platform/FileDialogs.h"
#include "platform/Files.h"

namespace apptest {
namespace {

class LanguageMenuTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        WriteSettings("5\r\nEnglish.lng\r\n");
        StartUp();
    }
    void TearDown() override {
        platform::hooks::SetOpenDialogHook(nullptr);
        platform::hooks::SetFaultInjector(nullptr);
        AppTest::TearDown();
    }
    // The dialog answers with these files (none: Cancel) and records what it was asked.
    void Answer(QStringList files) {
        platform::hooks::SetOpenDialogHook([this, files](const platform::OpenDialogRequest& r) {
            requests_.push_back(r);
            platform::OpenDialogResult result;
            result.files = files;
            return result;
        });
    }
    void Choose() { form().mnuLingua.Action()->trigger(); }

    std::vector<platform::OpenDialogRequest> requests_;
};

TEST_F(LanguageMenuTest, AsksForOneLanguageFileInTheLangFolder) {
    Answer({});
    Choose();
    ASSERT_EQ(requests_.size(), 1u);
    const platform::OpenDialogRequest& r = requests_[0];
    EXPECT_EQ(r.title, "E21");
    EXPECT_EQ(r.folder, folder_.Path() + "/Lang");
    const std::vector<platform::FileFilter> filters{{"E50", "*.lng"}, {"E15", "*"}};
    EXPECT_EQ(r.filters, filters);
    EXPECT_EQ(r.defaultSuffix, "lng");
    EXPECT_FALSE(r.multiSelect);
    EXPECT_EQ(r.owner, &form());
}

TEST_F(LanguageMenuTest, ChosenLanguageIsSavedAndShownAtOnceWithTheMethodKept) {
    Answer({folder_.File("Lang/Italiano.lng")});
    Choose();
    EXPECT_EQ(form().FileLingua, "Italiano.lng");
    EXPECT_EQ(Settings(), "5\r\nItaliano.lng\r\n");
    EXPECT_EQ(form().mnuFile.Caption(), "I1");
    EXPECT_EQ(form().mnuLingua.Caption(), "I55");
    EXPECT_EQ(form().Combo1.ListIndex(), 5);
    EXPECT_EQ(form().Combo1.Text(), "I45");
    EXPECT_EQ(form().Label9.Caption(), "I46");
    EXPECT_EQ(form().Combo1.ListCount(), 9);
}

TEST_F(LanguageMenuTest, AFileAnywhereBeneathTheLangFolderIsTakenWithItsSubfolders) {
    ASSERT_TRUE(QDir(folder_.Path()).mkpath("Lang/extra/deeper"));
    WriteLanguage("extra/Test.lng", "T");
    WriteLanguage("extra/deeper/Deep.lng", "D");
    ASSERT_TRUE(QFile::link("extra/Test.lng", folder_.File("Lang/alias.lng")));
    ASSERT_TRUE(QDir(folder_.Path()).mkdir("elsewhere"));
    ASSERT_TRUE(QFile::link("../Lang/extra", folder_.File("elsewhere/into")));
    const struct {
        const char* chosen;
        const char* name;  // the file's own path beneath Lang
        const char* caption;
    } cases[] = {
        {"Lang/extra/Test.lng", "extra/Test.lng", "T1"},
        {"Lang/extra/deeper/Deep.lng", "extra/deeper/Deep.lng", "D1"},
        {"Lang/extra/../Italiano.lng", "Italiano.lng", "I1"},
        // The loader follows no link: a link is saved as the file it leads to.
        {"Lang/alias.lng", "extra/Test.lng", "T1"},
        {"elsewhere/into/Test.lng", "extra/Test.lng", "T1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        WriteSettings("5\r\nEnglish.lng\r\n");
        Answer({folder_.File(QString::fromUtf8(c.chosen))});
        Choose();
        EXPECT_EQ(form().FileLingua, c.name);
        EXPECT_EQ(Settings(), "5\r\n" + QByteArray(c.name) + "\r\n");
        EXPECT_EQ(form().mnuFile.Caption(), c.caption);
        EXPECT_EQ(form().Combo1.ListIndex(), 5);
    }
    // The next start finds the file in its subfolder again.
    WriteSettings("5\r\nEnglish.lng\r\n");
    Answer({folder_.File("Lang/extra/deeper/Deep.lng")});
    Choose();
    form().Unload();
    StartUp();
    EXPECT_EQ(form().FileLingua, "extra/deeper/Deep.lng");
    EXPECT_EQ(form().mnuFile.Caption(), "D1");
}

TEST_F(LanguageMenuTest, PathsThatNameNoLanguageFileOfThisProgramKeepTheLanguage) {
    // Each of these is a real file, so that only where it lies refuses it.
    QDir top(folder_.Path());
    ASSERT_TRUE(top.mkpath("elsewhere/Lang"));
    ASSERT_TRUE(top.mkpath("lang"));
    ASSERT_TRUE(top.mkpath("Lang/folder.lng"));
    const QByteArray italian = MarkedLanguage("X");
    for (const char* p : {"elsewhere/Italiano.lng", "elsewhere/Lang/Italiano.lng",
                          "lang/Italiano.lng", "Lang/Ital\niano.lng", "Lang/Ital\riano.lng",
                          "Lang/Ital,iano.lng", "Lang/ Italiano.lng", "Lang/\"Italiano.lng"})
        folder_.Write(QString::fromUtf8(p), italian);
    ASSERT_TRUE(QFile::link("../elsewhere", folder_.File("Lang/out")));
    ASSERT_TRUE(QFile::link("../elsewhere/Italiano.lng", folder_.File("Lang/link.lng")));
    const char* paths[] = {
        "lang/Italiano.lng",            // another letter case: another folder
        "elsewhere/Italiano.lng",       // no "/Lang/" at all
        "elsewhere/Lang/Italiano.lng",  // a Lang folder of another program folder
        "Lang/../elsewhere/Italiano.lng",
        "Lang/out/Italiano.lng",  // a link that leads out of the Lang folder
        "Lang/link.lng",
        "Lang/missing.lng",     // nothing there
        "Lang/folder.lng",      // a folder
        "Lang/Ital\niano.lng",  // a line break would split the settings file
        "Lang/Ital\riano.lng",
        "Lang/Ital,iano.lng",   // the settings file would read back "Ital"
        "Lang/ Italiano.lng",   // ... "Italiano.lng", another file
        "Lang/\"Italiano.lng",  // ... a quoted field
    };
    for (const char* p : paths) {
        SCOPED_TRACE(p);
        // Extra lines show whether the file is written again.
        WriteSettings("5\r\nEnglish.lng\r\nextra\r\n");
        Answer({folder_.File(QString::fromUtf8(p))});
        Choose();
        EXPECT_EQ(form().FileLingua, "English.lng");
        EXPECT_EQ(Settings(), "5\r\nEnglish.lng\r\n");
        EXPECT_EQ(form().mnuFile.Caption(), "E1");
        EXPECT_EQ(form().Combo1.ListIndex(), 5);
    }
}

TEST_F(LanguageMenuTest, ASettingsFileThatCannotBeWrittenMakesTheChangeShortLived) {
    WriteSettings("3\r\nEnglish.lng\r\n");
    form().Combo1.SetListIndex(6);  // shown, saved
    WriteSettings("3\r\nEnglish.lng\r\n");
    platform::hooks::SetFaultInjector([](platform::hooks::FileOp op, const QString& path) {
        return op == platform::hooks::FileOp::OpenOutput && path.endsWith("Quellix.ini")
                   ? platform::hooks::Fault::AccessDenied
                   : platform::hooks::Fault::None;
    });
    Answer({folder_.File("Lang/Italiano.lng")});
    Choose();
    // The old file is read back: its language and its method come back, silently.
    EXPECT_EQ(form().FileLingua, "English.lng");
    EXPECT_EQ(form().mnuFile.Caption(), "E1");
    EXPECT_EQ(form().Combo1.ListIndex(), 3);
    EXPECT_EQ(Settings(), "3\r\nEnglish.lng\r\n");
}

TEST_F(LanguageMenuTest, CancelWritesNothing) {
    WriteSettings("5\r\nEnglish.lng\r\nextra\r\n");
    Answer({});
    Choose();
    EXPECT_EQ(Settings(), "5\r\nEnglish.lng\r\nextra\r\n");
    EXPECT_EQ(form().FileLingua, "English.lng");
    EXPECT_EQ(requests_.size(), 1u);
}

// The real dialog: a name typed without its extension finds the language file.
TEST_F(LanguageMenuTest, TheRealDialogTakesATypedNameWithoutExtension) {
    platform::hooks::SetOpenDialogHook(nullptr);  // the real dialog, not the fixture's Cancel
    QString title, directory;
    QStringList filters;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        directory = dialog->directory().absolutePath();
        filters = dialog->nameFilters();
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QStringLiteral("Italiano"));
        QTest::keyClick(name, Qt::Key_Return);
        if (dialog->isVisible())
            dialog->reject();  // never hang the suite
    });
    Choose();
    EXPECT_EQ(title, "E21");
    EXPECT_EQ(directory, QDir(folder_.Path() + "/Lang").absolutePath());
    EXPECT_EQ(filters.value(0), "E50 (*.lng)");
    EXPECT_EQ(form().FileLingua, "Italiano.lng");
    EXPECT_EQ(Settings(), "5\r\nItaliano.lng\r\n");
}

// Options > Add a Language: the form is written beside the program and opened,
// also when it cannot be written; nothing is reported either way.
TEST_F(LanguageMenuTest, TranslationFormIsWrittenAndOpened) {
    testsupport::BoxRecorder boxes;
    StartRecorder recorder;
    const QString page = folder_.File("Invia_Traduzione.html");
    form().mnuAggLingua.Action()->trigger();
    const QByteArray written = testsupport::ReadFile(page);
    EXPECT_TRUE(written.startsWith("<HTML><HEAD><META"));
    EXPECT_TRUE(written.contains("<TD>E1</TD>\r\n<TD>I1</TD>\r\n<TD>...........</TD>"));
    EXPECT_TRUE(written.contains("mailto:translations@corvane.example.com"));

    // A form that can be neither removed nor made anew, as in a folder that may
    // not be written.
    platform::hooks::SetFaultInjector([](platform::hooks::FileOp op, const QString& path) {
        using platform::hooks::FileOp;
        return (op == FileOp::OpenOutput || op == FileOp::Delete) && path.endsWith(".html")
                   ? platform::hooks::Fault::AccessDenied
                   : platform::hooks::Fault::None;
    });
    form().mnuAggLingua.Action()->trigger();
    EXPECT_EQ(testsupport::ReadFile(page), written);
    ASSERT_EQ(recorder.starts.size(), 2u);
    EXPECT_EQ(recorder.starts[0], Opening(page));
    EXPECT_EQ(recorder.starts[1], Opening(page));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(form().IsShown());
}

}  // namespace
}  // namespace apptest
