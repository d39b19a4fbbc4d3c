// What the window does: the label-buttons' pressed look, the shutdown box's
// caption, the description with its shadow, the menus and the end.
#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include "AppFixture.h"
#include "platform/FileDialogs.h"
#include "platform/Messages.h"

namespace apptest {
namespace {

const QColor kGrey(192, 192, 192);
const QColor kWhite(255, 255, 255);

class BehaviourTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        StartUp();
        window_ = form().Window()->windowHandle();
        ASSERT_NE(window_, nullptr);
    }
    // Real mouse input through the window, to whatever lies under the point.
    void Press(const QPoint& at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(window_, button, Qt::NoModifier, at);
    }
    void Release(const QPoint& at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(window_, button, Qt::NoModifier, at);
    }
    void Click(const QPoint& at) { QTest::mouseClick(window_, Qt::LeftButton, Qt::NoModifier, at); }
    void MoveTo(const QPoint& at) { QTest::mouseMove(window_, at); }

    QWindow* window_ = nullptr;
};

TEST_F(BehaviourTest, LabelButtonGoesDownOnceAndUpOnlyOverTheBackground) {
    struct Case {
        platform::Label& button;
        int left, top;
    } cases[] = {{form().Command1, 6630, 480}, {form().Command3, 6600, 1560}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button.Name().toStdString());
        const QPoint at = CentreOf(c.button);
        Press(at);
        Release(at);
        Press(at, Qt::RightButton);  // any button presses; a second press does not move it again
        Release(at, Qt::RightButton);
        Press(at);
        Release(at);
        EXPECT_EQ(c.button.Left(), c.left + 20);
        EXPECT_EQ(c.button.Top(), c.top + 20);
        EXPECT_EQ(c.button.ForeColor(), kWhite);
        // Moves over controls leave it pressed.
        for (platform::Control* over : std::initializer_list<platform::Control*>{
                 &c.button, &form().Label9, &form().Combo1, &form().Command2}) {
            MoveTo(CentreOf(*over));
        }
        EXPECT_EQ(c.button.ForeColor(), kWhite);
        MoveTo(Background(6000, 5300));
        EXPECT_EQ(c.button.Left(), c.left);
        EXPECT_EQ(c.button.Top(), c.top);
        EXPECT_EQ(c.button.ForeColor(), kGrey);
        EXPECT_EQ(c.button.Widget()->pos(),
                  QPoint(platform::TwipsToPixels(c.left), platform::TwipsToPixels(c.top)));
        // Further moves change nothing.
        MoveTo(Background(200, 5300));
        EXPECT_EQ(c.button.Left(), c.left);
    }
}

TEST_F(BehaviourTest, BothLabelButtonsComeUpWithOneMove) {
    Click(CentreOf(form().Command1));
    Click(CentreOf(form().Command3));
    EXPECT_EQ(form().Command1.ForeColor(), kWhite);
    EXPECT_EQ(form().Command3.ForeColor(), kWhite);
    MoveTo(Background(200, 5300));
    EXPECT_EQ(form().Command1.ForeColor(), kGrey);
    EXPECT_EQ(form().Command3.ForeColor(), kGrey);
    EXPECT_EQ(form().Command1.Left(), 6630);
    EXPECT_EQ(form().Command3.Left(), 6600);
}

TEST_F(BehaviourTest, ShutdownBoxCaptionTogglesTheBox) {
    EXPECT_EQ(form().Check1.Value(), 0);
    Click(CentreOf(form().Label4));
    EXPECT_EQ(form().Check1.Value(), 1);
    EXPECT_TRUE(static_cast<QAbstractButton*>(form().Check1.Widget())->isChecked());
    Click(CentreOf(form().Label4));
    EXPECT_EQ(form().Check1.Value(), 0);
    // The box itself toggles in the ordinary way.
    Click(CentreOf(form().Check1));
    EXPECT_EQ(form().Check1.Value(), 1);
    // Each load begins unticked.
    form().Unload();
    form().Load();
    EXPECT_EQ(form().Check1.Value(), 0);
}

TEST_F(BehaviourTest, ShadowFollowsTheDescriptionAtEverySelection) {
    auto& f = form();
    for (int method : {8, 2, 8, 0}) {
        SCOPED_TRACE(method);
        f.Combo1.SetListIndex(method);
        EXPECT_EQ(f.Label9.Caption(), QStringLiteral("E%1").arg(36 + 2 * method));
        EXPECT_EQ(f.Label9.Font().size, method == 8 ? 10 : 15);
        EXPECT_EQ(f.Label3.Left(), f.Label9.Left() + 10);
        EXPECT_EQ(f.Label3.Top(), f.Label9.Top() + 10);
        EXPECT_EQ(f.Label3.Width(), f.Label9.Width());
        EXPECT_EQ(f.Label3.Height(), f.Label9.Height());
        EXPECT_EQ(f.Label3.Font().size, f.Label9.Font().size);
        EXPECT_EQ(f.Label3.Widget()->font().pointSizeF(), f.Label9.Font().size);
        EXPECT_EQ(f.Label3.Caption(), f.Label9.Caption());
        EXPECT_EQ(Settings(), QStringLiteral("%1\r\nEnglish.lng\r\n").arg(method).toUtf8());
    }
}

TEST_F(BehaviourTest, NoSelectionChangesNothing) {
    auto& f = form();
    f.Combo1.SetListIndex(4);
    QFile::remove(folder_.File(QStringLiteral("Quellix.ini")));
    f.Combo1.SetListIndex(-1);  // raises the click with nothing selected
    f.Combo1_Change();
    EXPECT_EQ(f.Label9.Caption(), "E44");
    EXPECT_EQ(f.Label3.Caption(), "E44");
    EXPECT_FALSE(SettingsExist());
}

TEST_F(BehaviourTest, PickingAMethodInTheListShowsItAndSavesIt) {
    auto* combo = static_cast<QComboBox*>(form().Combo1.Widget());
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(form().Combo1.ListIndex(), 1);
    EXPECT_EQ(form().Label9.Caption(), "E38");
    EXPECT_EQ(Settings(), "1\r\nEnglish.lng\r\n");
}

// The Destroy items and the label-buttons open the file dialog and the folder
// picker; cancelled there, an operation asks nothing and leaves all as it was.
TEST_F(BehaviourTest, DestroyOperationsCancelledInTheirDialogsChangeNothing) {
    testsupport::BoxRecorder boxes;
    auto& f = form();
    const QByteArray settings = Settings();
    int fileDialogs = 0, folderPickers = 0;
    platform::hooks::SetOpenDialogHook([&](const platform::OpenDialogRequest&) {
        ++fileDialogs;
        return platform::OpenDialogResult{};
    });
    platform::hooks::SetFolderPickerHook([&](const QString&) {
        ++folderPickers;
        return QString();
    });
    for (platform::MenuItem* item : {&f.mnuDistruggiFile, &f.mnuDistruggiCartella}) {
        item->Action()->trigger();
    }
    Click(CentreOf(f.Command1));
    Click(CentreOf(f.Command3));
    EXPECT_EQ(fileDialogs, 2);
    EXPECT_EQ(folderPickers, 2);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(f.IsShown());
    EXPECT_EQ(Settings(), settings);
    EXPECT_EQ(ends_, 0);
    // The Destroy items add no pressed look of their own.
    f.mnuDistruggiFile.Action()->trigger();
    EXPECT_EQ(f.Command1.ForeColor(), kWhite);  // from the click above, not the menu
}

TEST_F(BehaviourTest, ExitAndTheCloseBoxEndTheProgram) {
    const QByteArray settings = Settings();
    form().mnuEsci.Action()->trigger();
    EXPECT_EQ(ends_, 1);
    form().Window()->close();
    EXPECT_EQ(ends_, 2);
    EXPECT_EQ(Settings(), settings);  // nothing is saved at the end
}

TEST_F(BehaviourTest, PickingAnotherDriveMeasuresIt) {
    auto& f = form();
    // The current folder's file system is selected: nothing can be measured there.
    ASSERT_EQ(f.Drive1.ListCount(), 2);
    EXPECT_EQ(f.Drive1.Drive(), "/srv/nowhere");
    EXPECT_EQ(f.SelectedDrive(), "/srv/nowhere");
    EXPECT_EQ(f.Totale.tenThousandths, 0);
    auto* box = static_cast<QComboBox*>(f.Drive1.Widget());
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Up);  // the user picks "/"
    EXPECT_EQ(f.Drive1.ListIndex(), 0);
    EXPECT_EQ(f.SelectedDrive(), "/");
    EXPECT_GT(f.Totale.tenThousandths, 0);
}

}  // namespace
}  // namespace apptest
