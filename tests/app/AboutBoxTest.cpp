// The about box: what an opening shows, its layout, one scroll cycle, the clicks
// that close it and those that do nothing, the home-page line, and the main
// window hidden while it is open.
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "AppFixture.h"
#include "ControlPlace.h"
#include "StartRecorder.h"
#include "app/frmAbout.h"
#include "lang/Testi.h"
#include "platform/Events.h"

namespace apptest {
namespace {

using platform::TwipsToPixels;

const QString kCredit = QString::fromUtf8(app::kAboutCredit);

class AboutBoxTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        StartUp();
    }
    void TearDown() override {
        about().Timer1.Timer = [this] { about().Timer1_Timer(); };
        about().Unload();
        AppTest::TearDown();
    }
    app::FrmAboutForm& about() { return app::frmAbout(); }
    void Open() { form().mnuInfo.Action()->trigger(); }
    // A real click on the box's window at a point of a control (its centre by default).
    void ClickOn(platform::Control& control, QPoint at = QPoint(-1, -1)) {
        QWidget* w = control.Widget();
        if (at == QPoint(-1, -1))
            at = w->rect().center();
        QWindow* window = about().Window()->windowHandle();
        ASSERT_NE(window, nullptr);
        QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, w->mapTo(about().Window(), at));
    }
    // Holds the panel still at a place, as a test of the clicks needs.
    void Pose(int top) {
        about().Timer1.SetInterval(0);
        about().Picture2.SetTop(top);
    }
};

TEST_F(AboutBoxTest, OpeningShowsTheBoxInPlaceOfTheMainWindow) {
    Open();
    EXPECT_FALSE(form().IsShown());
    ASSERT_TRUE(about().IsShown());
    EXPECT_EQ(about().Window()->windowTitle(), "E9");
    EXPECT_EQ(about().lblTitle.Caption(), "Quellix Free");
    EXPECT_EQ(about().lblVersion.Caption(), "Rel. 2.1.4");
    EXPECT_EQ(about().lblDescription.Caption(), "E60");
    EXPECT_EQ(about().lblCopyright.Caption(), kCredit + " - E11");
    EXPECT_EQ(about().lblHomePage.Caption(), "https://corvane.example.com");
    EXPECT_EQ(about().lblHomePageCap.Caption(), "Home Page:");
    EXPECT_EQ(about().Timer1.Interval(), 10);
    EXPECT_TRUE(about().Timer1.Running());
    EXPECT_EQ(about().Picture2.Top(), 2200);
    EXPECT_EQ(about().Pausa, 0);
    QWidget* window = about().Window();
    EXPECT_EQ(about().ClientArea()->size(), QSize(TwipsToPixels(6375), TwipsToPixels(3645)));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);  // kept out of the task bar
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
}

TEST_F(AboutBoxTest, ControlsStandAtTheirPlacesWithTheirLook) {
    Open();
    auto& a = about();
    struct Case {
        platform::Control& control;
        platform::Control* container;
        int left, top, width, height;
    } cases[] = {
        {a.imgTitle, nullptr, 0, 0, 1155, 1125},
        {a.Frame1, nullptr, -60, 1140, 6495, 25},
        {a.Picture1, nullptr, 210, 1170, 5940, 2235},
        {a.Picture2, &a.Picture1, 60, 2200, 5775, 4155},
        {a.lblDescription, &a.Picture2, 900, 0, 3945, 1095},
        {a.lblCopyright, &a.Picture2, 690, 1320, 4380, 435},
        {a.Image1, &a.Picture2, 1740, 2040, 2250, 1800},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control.Name().toStdString());
        ExpectAtTwips(c.control, c.left, c.top, c.width, c.height);
        EXPECT_EQ(c.control.Widget()->parentWidget(),
                  c.container ? c.container->Widget() : a.ClientArea());
    }
    // Labels sized to their text keep their place.
    for (platform::Label* l : {&a.lblTitle, &a.lblVersion, &a.lblHomePageCap, &a.lblHomePage}) {
        SCOPED_TRACE(l->Name().toStdString());
        EXPECT_TRUE(l->AutoSize());
        EXPECT_EQ(l->BackStyle(), 0);
        EXPECT_GE(l->Widget()->width(),
                  l->Widget()->fontMetrics().horizontalAdvance(l->Caption()) - 1);
    }
    EXPECT_EQ(a.lblTitle.Left(), 900);
    EXPECT_EQ(a.lblHomePage.Left(), 1860);
    EXPECT_EQ(a.lblTitle.ForeColor(), QColor(2, 92, 202));
    EXPECT_EQ(a.lblTitle.Font().size, 15.75);
    EXPECT_TRUE(a.lblTitle.Font().bold);
    EXPECT_EQ(a.lblVersion.ForeColor(), QColor(128, 0, 0));
    EXPECT_EQ(a.lblDescription.ForeColor(), QColor(40, 86, 147));
    EXPECT_EQ(a.lblDescription.Font().size, 9);
    EXPECT_EQ(a.lblDescription.Alignment(), platform::align::Center);
    EXPECT_EQ(a.lblCopyright.Alignment(), platform::align::Center);
    EXPECT_EQ(a.lblHomePage.ForeColor(), QColor(255, 0, 0));
    EXPECT_EQ(a.lblHomePage.Widget()->font().family(), "Arial");
    EXPECT_TRUE(a.lblHomePage.Font().underline);
    EXPECT_EQ(a.lblHomePage.MousePointer(), platform::pointer::Custom);
    EXPECT_EQ(a.Frame1.BackColor(), QColor(2, 92, 202));
    EXPECT_EQ(a.Picture1.BackColor(), QColor(255, 255, 255));
    EXPECT_EQ(a.Image1.Picture().size(), QSize(150, 120));
    EXPECT_FALSE(a.Image1.Picture().hasAlphaChannel());
}

TEST_F(AboutBoxTest, OneScrollCycleTakes756Ticks) {
    Open();
    about().Timer1.SetInterval(0);  // the test gives the ticks
    struct Point {
        int tick, top, pausa;
    } points[] = {
        {1, 2190, 0},      {412, -1920, 0},    // the bottom edges meet
        {413, -1920, 1},   {532, -1920, 120},  // 120 ticks at rest
        {533, -1930, 121}, {755, -4150, 343},
        {756, 2200, 0},  // gone above: back at the start in the same tick
        {757, 2190, 0},    {1512, 2200, 0},
    };
    int tick = 0;
    for (const Point& p : points) {
        SCOPED_TRACE(p.tick);
        while (tick < p.tick) {
            about().Timer1_Timer();
            ++tick;
            ASSERT_GT(about().Picture2.Top(), -4160) << "drawn at the last place, tick " << tick;
        }
        EXPECT_EQ(about().Picture2.Top(), p.top);
        EXPECT_EQ(about().Pausa, p.pausa);
        EXPECT_EQ(about().Picture2.Widget()->y(), TwipsToPixels(p.top));
    }
}

TEST_F(AboutBoxTest, ThePanelShowsThroughItsViewport) {
    Open();
    auto& a = about();
    const int viewport = TwipsToPixels(2235);
    auto redRows = [&] {
        const QImage shot = a.Picture1.Widget()->grab().toImage();
        int first = -1;
        for (int y = 0; y < shot.height() && first < 0; ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 80 && c.blue() < 80) {
                    first = y;
                    break;
                }
            }
        return first;
    };
    Pose(2200);
    const QImage start = a.Picture1.Widget()->grab().toImage();
    for (int y = 0; y < TwipsToPixels(2200) - 1; ++y)
        ASSERT_EQ(start.pixelColor(start.width() / 2, y), QColor(Qt::white)) << y;
    EXPECT_EQ(redRows(), -1);
    // At rest the home-page line stands near the bottom of the viewport.
    Pose(-1920);
    const int red = redRows();
    EXPECT_GT(red, TwipsToPixels(3840 - 1920) - 3);
    EXPECT_LT(red, viewport);
}

TEST_F(AboutBoxTest, ClicksOnTheTextsAndTheBackgroundCloseIt) {
    auto& a = about();
    struct Case {
        const char* name;
        std::function<void()> click;
    } cases[] = {
        {"imgTitle", [&] { ClickOn(a.imgTitle, QPoint(3, 3)); }},
        {"lblTitle", [&] { ClickOn(a.lblTitle); }},
        {"lblVersion", [&] { ClickOn(a.lblVersion); }},
        {"lblDescription", [&] { ClickOn(a.lblDescription); }},
        {"lblCopyright", [&] { ClickOn(a.lblCopyright); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        Pose(0);                   // the description and the credit line in sight
        a.Timer1.SetInterval(10);  // the clock running
        QPointer<QTimer> clock = a.Timer1.Widget()->findChild<QTimer*>();
        ASSERT_TRUE(clock && clock->isActive());
        c.click();
        EXPECT_FALSE(a.IsLoaded());
        EXPECT_TRUE(form().IsShown());
        EXPECT_TRUE(!clock || !clock->isActive()) << "the clock still runs";
    }
}

TEST_F(AboutBoxTest, TheBackgroundOfTheFormClosesIt) {
    Open();
    QWindow* window = about().Window()->windowHandle();
    const QPoint beside = about().ClientArea()->mapTo(
        about().Window(), QPoint(TwipsToPixels(6000), TwipsToPixels(200)));
    ASSERT_EQ(
        about().ClientArea()->childAt(about().ClientArea()->mapFrom(about().Window(), beside)),
        nullptr);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, beside);
    EXPECT_FALSE(about().IsLoaded());
    EXPECT_TRUE(form().IsShown());
}

TEST_F(AboutBoxTest, ClicksOnTheCreditsPanelAndItsPictureDoNothing) {
    Open();
    auto& a = about();
    Pose(-1920);  // the picture and the home-page line in sight
    StartRecorder recorder;
    ClickOn(a.Picture1, QPoint(1, 5));     // the viewport, left of the panel
    ClickOn(a.Picture2, QPoint(10, 130));  // the panel's own background
    ClickOn(a.Image1);
    ClickOn(a.lblHomePageCap);
    ClickOn(a.Frame1);
    EXPECT_TRUE(a.IsShown());
    EXPECT_FALSE(form().IsShown());
    EXPECT_TRUE(recorder.starts.empty());
}

TEST_F(AboutBoxTest, TheHomePageLineOpensTheHomePageAndTheScrollGoesOn) {
    Open();
    auto& a = about();
    a.Picture2.SetTop(-1920);  // the line in sight; the clock still runs
    a.Pausa = 0;
    StartRecorder recorder;
    recorder.answer = false;  // failing to start changes nothing
    ClickOn(a.lblHomePage);
    ASSERT_EQ(recorder.starts.size(), 1u);
    EXPECT_EQ(recorder.starts[0], Opening("https://corvane.example.com"));
    EXPECT_TRUE(a.IsShown());
    EXPECT_TRUE(a.Timer1.Running());
    // The running clock may have ticked during the click (a slow build): the
    // pause goes on from where it stands.
    const int paused = a.Pausa;
    a.Timer1_Timer();
    EXPECT_EQ(a.Picture2.Top(), -1920);
    EXPECT_EQ(a.Pausa, paused + 1);
}

TEST_F(AboutBoxTest, TheCloseBoxClosesItAndEveryOpeningStartsAfresh) {
    auto& a = about();
    for (int opening = 0; opening < 3; ++opening) {
        SCOPED_TRACE(opening);
        Open();
        EXPECT_EQ(a.lblCopyright.Caption(), kCredit + " - E11");  // once, whatever came before
        EXPECT_EQ(a.Picture2.Top(), 2200);
        EXPECT_EQ(a.Pausa, 0);
        a.Timer1_Timer();
        a.Window()->close();
        EXPECT_FALSE(a.IsLoaded());
        EXPECT_TRUE(form().IsShown());
    }
    // The caption is the menu item's text without its access key.
    for (auto [text, caption] :
         {std::pair{"&About Quellix", "About Quellix"}, std::pair{"Save && &Go", "Save & Go"}}) {
        lang::Testi[9] = QString::fromUtf8(text);
        Open();
        EXPECT_EQ(a.Window()->windowTitle(), QString::fromUtf8(caption));
        a.Window()->close();
    }
    // Empty texts give an empty caption and description, and a line ending in " - ".
    lang::Testi[9].clear();
    lang::Testi[11].clear();
    lang::Testi[60].clear();
    Open();
    EXPECT_EQ(a.Caption(), "");
    EXPECT_EQ(a.lblDescription.Caption(), "");
    EXPECT_EQ(a.lblCopyright.Caption(), kCredit + " - ");
}

TEST_F(AboutBoxTest, TheMainWindowsKeysDoNothingInTheBox) {
    StartRecorder recorder;
    Open();
    QWidget* window = about().Window();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_F1, Qt::ControlModifier);  // would open it again
    QTest::keyClick(window, Qt::Key_F1);                       // would open the help
    QTest::keyClick(window, Qt::Key_Escape);                   // it is no dialog
    EXPECT_TRUE(about().IsShown());
    EXPECT_EQ(about().lblCopyright.Caption(), kCredit + " - E11");
    EXPECT_TRUE(recorder.starts.empty());
    EXPECT_FALSE(form().IsShown());
}

}  // namespace
}  // namespace apptest
