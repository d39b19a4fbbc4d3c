// The pages outside the program: each menu item and F1 start one opening of
// the right target, through the desktop's default handler, and report nothing.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTest>
#include <QWidget>

#include "AppFixture.h"
#include "StartRecorder.h"
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

}  // namespace
}  // namespace apptest
