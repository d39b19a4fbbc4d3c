// The pages outside the program: each menu item and F1 start one opening of
// the right target, through the desktop's default handler, and report nothing.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTextDocument>
#include <QWidget>

#include "AppFixture.h"
#include "StartRecorder.h"
#include "lang/Testi.h"
#include "platform/Menus.h"
#include "platform/ProgramFolder.h"

namespace apptest {
namespace {

class LinksTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        StartUp();
    }
};

TEST_F(LinksTest, EachItemOpensItsPageOnce) {
    auto& f = form();
    const QString dir = folder_.Path();
    struct Case {
        platform::MenuItem& item;
        QString target;
    } cases[] = {
        {f.mnuGuida, dir + "/Guida/Guida.html"},
        {f.mnuVersioni, dir + "/Versioni.txt"},
        {f.mnuAggiornamenti, "https://corvane.example.com/quellix.html"},
        {f.mnuFaiDonazione, "https://corvane.example.com/donazioni.html"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item.Name().toStdString());
        testsupport::BoxRecorder boxes;
        StartRecorder recorder;
        recorder.answer = false;  // nothing can be started: still nothing is shown
        c.item.Action()->trigger();
        ASSERT_EQ(recorder.starts.size(), 1u);
        EXPECT_EQ(recorder.starts[0], Opening(c.target));
        EXPECT_EQ(recorder.starts[0].program, "xdg-open");
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_TRUE(f.IsShown());
        // A second choice is a second opening; nothing is kept between them.
        c.item.Action()->trigger();
        EXPECT_EQ(recorder.starts.size(), 2u);
    }
}

TEST_F(LinksTest, F1InTheMainWindowOpensTheHelpPage) {
    StartRecorder recorder;
    QWidget* window = form().Window();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_F1);
    ASSERT_EQ(recorder.starts.size(), 1u);
    EXPECT_EQ(recorder.starts[0], Opening(folder_.Path() + "/Guida/Guida.html"));
}

TEST_F(LinksTest, TheProgramFolderIsTakenAtEveryClickAndPassedAsOneArgument) {
    // The help file is missing there: that is the viewer's business.
    const QString blanks = folder_.Path() + "/my programs/Quellix dir";
    ASSERT_TRUE(QDir().mkpath(blanks));
    StartRecorder recorder;
    platform::hooks::SetProgramFolder(blanks);
    form().mnuGuida.Action()->trigger();
    form().mnuVersioni.Action()->trigger();
    platform::hooks::SetProgramFolder(folder_.Path());
    form().mnuGuida.Action()->trigger();
    ASSERT_EQ(recorder.starts.size(), 3u);
    EXPECT_EQ(recorder.starts[0].arguments, QStringList{blanks + "/Guida/Guida.html"});
    EXPECT_EQ(recorder.starts[1].arguments, QStringList{blanks + "/Versioni.txt"});
    EXPECT_EQ(recorder.starts[2].arguments, QStringList{folder_.Path() + "/Guida/Guida.html"});
}

// The delivered pages open offline and run nothing.
TEST(DeliveredPagesTest, HelpAndHistoryAreBesideTheProgramAndSelfContained) {
    const QString dir = QStringLiteral(QUELLIX_PROGRAM_DIR);
    const QByteArray help = testsupport::ReadFile(dir + "/Guida/Guida.html").toLower();
    const QByteArray history = testsupport::ReadFile(dir + "/Versioni.txt");
    ASSERT_FALSE(help.isEmpty());
    for (const char* remote : {"<script", "src=", "url(", "@import", "http:", "https:", "//"}) {
        EXPECT_FALSE(help.contains(remote)) << remote;
    }
    EXPECT_TRUE(help.contains("charset=\"utf-8\""));
    EXPECT_TRUE(history.contains("2.1.4"));
}

// The help page names the buttons, menus, methods and endings as the English window shows them.
TEST_F(LinksTest, TheHelpPageNamesWhatTheEnglishWindowShows) {
    const QString dir = QStringLiteral(QUELLIX_PROGRAM_DIR);
    folder_.Write("Lang/English.lng", testsupport::ReadFile(dir + "/Lang/English.lng"));
    form().LeggeIni();  // the delivered texts, as after a change of language
    QTextDocument page;
    page.setHtml(QString::fromUtf8(testsupport::ReadFile(dir + "/Guida/Guida.html")));
    const QString text = page.toPlainText().simplified();

    auto& f = form();
    QStringList shown = {f.Command1.Caption(), f.Command2.Caption(), f.Command3.Caption(),
                         f.Label1.Caption(), f.Label4.Caption()};
    for (platform::MenuItem* item :
         {&f.mnuFile, &f.mnuEsci, &f.mnuDistruggi, &f.mnuDistruggiFile, &f.mnuDistruggiCartella,
          &f.mnuDistruggiSpazioLibero, &f.mnuOpzioni, &f.mnuLingua, &f.mnuAggLingua,
          &f.mnuDonazioni, &f.mnuFaiDonazione, &f.mnuHelp, &f.mnuGuida, &f.mnuVersioni,
          &f.mnuAggiornamenti, &f.mnuInfo}) {
        shown << platform::WithoutAccessKeys(item->Caption());
    }
    for (int i = 0; i < f.Combo1.ListCount(); ++i) shown << f.Combo1.List(i);
    // The endings it explains: the completion message and the lines of what was not wiped.
    shown << lang::Testi[17] << lang::Testi[84].trimmed() << lang::Testi[85];
    ASSERT_EQ(shown.first(), "Wipe Files...");  // the delivered English texts are loaded
    for (const QString& caption : shown) {
        EXPECT_TRUE(text.contains(caption)) << caption.toStdString();
    }
}

}  // namespace
}  // namespace apptest
