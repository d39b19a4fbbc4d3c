// The window as the user sees it: places, sizes, fonts, colours, pointers,
// menus, the focus order, the icon and the drop marks.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QWidget>

#include "AppFixture.h"
#include "ControlPlace.h"
#include "OperationFixture.h"
#include "app/MainArtwork.h"
#include "lang/Testi.h"
#include "platform/Events.h"

namespace apptest {
namespace {

using platform::TwipsToPixels;

TEST_F(AppTest, ClientAreaIsFixedBelowTheMenuBarWithMinimiseAndClose) {
    StartUp();
    QWidget* window = form().Window();
    QWidget* client = form().ClientArea();
    EXPECT_EQ(client->size(), QSize(TwipsToPixels(10815), TwipsToPixels(5445)));
    EXPECT_EQ(client->y(), form().MenuBar()->height());
    EXPECT_GT(form().MenuBar()->height(), 0);
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->height(), form().MenuBar()->height() + client->height());
    Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

// A language file with LF line ends is one line, so text 1 (the File menu) holds
// every text: the window keeps the size it has with sound texts all the same.
TEST_F(AppTest, TheWindowKeepsItsDesignSizeWhateverTheTextsHold) {
    StartUp();
    const QSize designed = form().Window()->size();
    const int menuHeight = form().MenuBar()->height();
    form().Unload();

    folder_.Write(QStringLiteral("Lang/English.lng"),
                  MarkedLanguage(QStringLiteral("E")).replace("\r\n", "\n"));
    folder_.Write(QStringLiteral("Quellix.ini"), "0\r\nEnglish.lng\r\n");
    StartUp();
    ASSERT_GT(lang::Testi[1].count(QLatin1Char('\n')), 80) << "text 1 is the whole file";
    EXPECT_EQ(form().Window()->size(), designed);
    EXPECT_EQ(form().MenuBar()->height(), menuHeight);
    EXPECT_EQ(form().ClientArea()->size(), QSize(TwipsToPixels(10815), TwipsToPixels(5445)));
    EXPECT_EQ(form().ClientArea()->y(), menuHeight);
}

TEST_F(AppTest, ControlsStandAtTheirPlacesInTwips) {
    StartUp();
    auto& f = form();
    struct Case {
        platform::Control& control;
        int left, top, width, height;
        bool visible;
    } cases[] = {
        {f.List2, 5160, 4320, 975, 255, false},    {f.Check1, 6840, 4500, 195, 195, true},
        {f.Command2, 6840, 3660, 3335, 715, true}, {f.Combo1, 480, 580, 5475, 345, true},
        {f.Drive1, 6840, 3240, 945, 315, true},    {f.Command3, 6600, 1560, 3765, 465, true},
        {f.Command1, 6630, 480, 3765, 465, true},  {f.Label9, 480, 1560, 5475, 2580, true},
        {f.Label3, 490, 1570, 5475, 2580, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control.Name().toStdString());
        ExpectAtTwips(c.control, c.left, c.top, c.width, c.height);
        EXPECT_EQ(c.control.Widget()->isVisible(), c.visible);
    }
    EXPECT_FALSE(f.Timer1.WidgetIfLoaded()->isVisible());
    EXPECT_FALSE(f.Timer1.Running());
    EXPECT_EQ(f.Timer1.Interval(), 0);
    // Labels sized to their text keep their place and fit the text.
    for (platform::Label* l : {&f.Label1, &f.Label4, &f.Label2}) {
        SCOPED_TRACE(l->Name().toStdString());
        QLabel* w = static_cast<QLabel*>(l->Widget());
        EXPECT_GE(w->width(), w->fontMetrics().horizontalAdvance(w->text()));
    }
    EXPECT_EQ(f.Label1.Left(), 510);
    EXPECT_EQ(f.Label4.Left(), 7140);
    EXPECT_TRUE(f.Label1.Widget()->isVisible());
    EXPECT_FALSE(f.Label2.Widget()->isVisible());
}

TEST_F(AppTest, ControlsHaveTheirFontsAndColours) {
    StartUp();
    auto& f = form();
    struct Case {
        QWidget* widget;
        double size;
        bool bold, italic;
    } cases[] = {
        {f.Command2.Widget(), 9.75, true, false},  {f.Combo1.Widget(), 9, true, false},
        {f.Label1.Widget(), 9.75, false, false},   {f.Command3.Widget(), 15.75, true, false},
        {f.Command1.Widget(), 15.75, true, false}, {f.Label4.Widget(), 9, true, false},
        {f.Label9.Widget(), 15, true, true},       {f.Label2.Widget(), 9, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.widget->metaObject()->className());
        EXPECT_EQ(c.widget->font().family(), "Arial");
        EXPECT_DOUBLE_EQ(c.widget->font().pointSizeF(), c.size);
        EXPECT_EQ(c.widget->font().bold(), c.bold);
        EXPECT_EQ(c.widget->font().italic(), c.italic);
    }
    const QColor white(255, 255, 255), grey(192, 192, 192);
    EXPECT_EQ(f.Command1.ForeColor(), grey);
    EXPECT_EQ(f.Command3.ForeColor(), grey);
    EXPECT_EQ(f.Label1.ForeColor(), white);
    EXPECT_EQ(f.Label4.ForeColor(), white);
    EXPECT_EQ(f.Label9.ForeColor(), white);
    EXPECT_EQ(f.Label3.ForeColor(), QColor(64, 0, 0));
    EXPECT_EQ(f.Combo1.BackColor(), QColor(255, 128, 128));
    EXPECT_EQ(f.Combo1.ForeColor(), QColor(128, 0, 0));
    EXPECT_EQ(f.Command2.BackColor(), QColor(38, 97, 206));
    EXPECT_EQ(f.Drive1.BackColor(), white);
    EXPECT_EQ(f.Command1.Widget()->palette().color(QPalette::WindowText), grey);
    EXPECT_EQ(f.Combo1.Widget()->palette().color(QPalette::Button), QColor(255, 128, 128));
    EXPECT_EQ(f.Command2.Widget()->palette().color(QPalette::Button), QColor(38, 97, 206));
    // The labels let the background show through; the shadow lies under the description.
    for (platform::Label* l :
         {&f.Label1, &f.Command1, &f.Command3, &f.Label4, &f.Label9, &f.Label3}) {
        EXPECT_EQ(l->BackStyle(), 0);
        EXPECT_FALSE(l->Widget()->autoFillBackground());
    }
    QObjectList order = f.ClientArea()->children();
    EXPECT_LT(order.indexOf(f.Label3.Widget()), order.indexOf(f.Label9.Widget()));
    EXPECT_EQ(f.Label9.Alignment(), platform::align::Center);
    EXPECT_EQ(f.Label3.Alignment(), platform::align::Center);
}

// The colours as drawn: the button and the method list are filled flat with their
// back colours, with no gradient of the desktop's style over them.
TEST_F(AppTest, Command2AndCombo1AreDrawnInTheirOwnColours) {
    StartUp();
    form().Show();
    // The method list has the focus, in the active window, as at start on a desktop.
    QApplication::setActiveWindow(form().Window());
    form().Combo1.SetFocus();
    ASSERT_TRUE(form().Combo1.Widget()->hasFocus());
    struct Case {
        const char* what;
        QWidget* widget;
        QColor colour;
        QRect clear;  // a part of the widget away from its edges, text and arrow
    };
    QWidget* button = form().Command2.Widget();
    QWidget* combo = form().Combo1.Widget();
    const Case cases[] = {
        // Above and below the centred caption, from side to side.
        {"Command2, above the caption", button, QColor(38, 97, 206),
         QRect(6, 5, button->width() - 12, 6)},
        {"Command2, below the caption", button, QColor(38, 97, 206),
         QRect(6, button->height() - 11, button->width() - 12, 6)},
        // Right of the entry's text, left of the arrow, top to bottom.
        {"Combo1", combo, QColor(255, 128, 128),
         QRect(combo->width() * 7 / 10, 5, combo->width() / 10, combo->height() - 10)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QImage image = c.widget->grab().toImage();
        const qreal ratio = image.devicePixelRatio();
        int off = 0;
        QString first;
        for (int y = c.clear.top(); y <= c.clear.bottom(); ++y) {
            for (int x = c.clear.left(); x <= c.clear.right(); ++x) {
                const QColor got = image.pixelColor(QPoint(x, y) * ratio);
                if (got != c.colour && off++ == 0)
                    first = QStringLiteral("(%1, %2) is %3").arg(x).arg(y).arg(got.name());
            }
        }
        EXPECT_EQ(off, 0) << first.toStdString();
    }
}

TEST_F(AppTest, SevenControlsShowTheHand) {
    StartUp();
    auto& f = form();
    const QImage hand = app::HandImage();
    ASSERT_EQ(hand.size(), QSize(32, 32));
    for (platform::Control* c : std::initializer_list<platform::Control*>{
             &f.Check1, &f.Command2, &f.Combo1, &f.Drive1, &f.Command3, &f.Command1, &f.Label4}) {
        SCOPED_TRACE(c->Name().toStdString());
        EXPECT_EQ(c->MousePointer(), platform::pointer::Custom);
        EXPECT_EQ(c->Widget()->cursor().pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
                  hand);
    }
    for (platform::Control* c : std::initializer_list<platform::Control*>{&f.Label1, &f.Label9}) {
        EXPECT_EQ(c->MousePointer(), platform::pointer::Default);
    }
}

TEST_F(AppTest, BackgroundAndIconAreTheProgramsOwn) {
    StartUp();
    const QPixmap& background = form().Picture();
    EXPECT_EQ(background.size(), QSize(722, 367));
    EXPECT_FALSE(background.hasAlphaChannel());
    QImage img = background.toImage();
    auto isRed = [](QColor c) { return c.red() > 2 * c.blue() && c.red() > 90; };
    auto isBlue = [](QColor c) { return c.blue() > c.red() + 40; };
    // The panels behind the controls, the dark ground between them.
    EXPECT_TRUE(isRed(img.pixelColor(200, 45)));   // behind the method list
    EXPECT_TRUE(isRed(img.pixelColor(200, 250)));  // behind the description
    EXPECT_TRUE(isBlue(img.pixelColor(560, 45)));  // behind destroy files
    EXPECT_TRUE(isBlue(img.pixelColor(560, 125)));
    EXPECT_TRUE(isBlue(img.pixelColor(440, 320)));
    QColor ground = img.pixelColor(5, 360);
    EXPECT_LT(ground.red() + ground.green() + ground.blue(), 150);
    // The corners are soft: a panel's corner pixel is the ground, not the panel.
    EXPECT_FALSE(isRed(img.pixelColor(19, 11)));

    std::vector<QImage> images = app::ProgramIconImages();
    ASSERT_EQ(images.size(), 5u);
    const int sizes[] = {32, 128, 64, 48, 32};
    for (std::size_t i = 0; i < images.size(); ++i) {
        EXPECT_EQ(images[i].size(), QSize(sizes[i], sizes[i]));
    }
    QSet<QRgb> colours;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) colours.insert(images[0].pixel(x, y));
    }
    EXPECT_LE(colours.size(), 256);
    QList<QSize> available = form().Window()->windowIcon().availableSizes();
    for (int s : {128, 64, 48, 32}) EXPECT_TRUE(available.contains(QSize(s, s))) << s;
}

TEST_F(AppTest, MenuBarHoldsEveryItemWithItsShortcuts) {
    StartUp();
    auto& f = form();
    QMenuBar* bar = f.MenuBar();
    QList<QAction*> tops = bar->actions();
    ASSERT_EQ(tops.size(), 5);
    const char* topCaptions[] = {"E1", "&E3", "E56", "E5", "&?"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(tops[i]->text(), topCaptions[i]);

    struct Item {
        platform::MenuItem& item;
        platform::MenuItem& menu;
        int position;
        QKeySequence shortcut;
    } items[] = {
        {f.mnuEsci, f.mnuFile, 0, {}},
        {f.mnuDistruggiFile, f.mnuDistruggi, 0, {}},
        {f.mnuDistruggiCartella, f.mnuDistruggi, 1, {}},
        {f.mnuDistruggiSpazioLibero, f.mnuDistruggi, 2, {}},
        {f.mnuLingua, f.mnuOpzioni, 0, {}},
        {f.mnuAggLingua, f.mnuOpzioni, 1, {}},
        {f.mnuFaiDonazione, f.mnuDonazioni, 0, {}},
        {f.mnuGuida, f.mnuHelp, 0, QKeySequence(Qt::Key_F1)},
        {f.r2, f.mnuHelp, 1, {}},
        {f.mnuVersioni, f.mnuHelp, 2, {}},
        {f.mnuAggiornamenti, f.mnuHelp, 3, {}},
        {f.r3, f.mnuHelp, 4, {}},
        {f.mnuInfo, f.mnuHelp, 5, QKeySequence(Qt::CTRL | Qt::Key_F1)},
    };
    for (const Item& i : items) {
        SCOPED_TRACE(i.item.Name().toStdString());
        QAction* action = i.item.Action();
        ASSERT_EQ(i.menu.Menu()->actions().value(i.position), action);
        EXPECT_EQ(action->shortcut(), i.shortcut);
        EXPECT_EQ(action->isSeparator(), i.item.Name().startsWith('r'));
        EXPECT_TRUE(action->isEnabled());
        EXPECT_TRUE(action->isVisible());
        EXPECT_FALSE(action->isChecked());
    }
    EXPECT_EQ(f.mnuFile.Menu()->actions().size(), 1);
    EXPECT_EQ(f.mnuDistruggi.Menu()->actions().size(), 3);
    EXPECT_EQ(f.mnuOpzioni.Menu()->actions().size(), 2);
    EXPECT_EQ(f.mnuDonazioni.Menu()->actions().size(), 1);
    EXPECT_EQ(f.mnuHelp.Menu()->actions().size(), 6);
}

TEST_F(AppTest, FocusMovesThroughTheListTheBoxTheDrivesAndTheButton) {
    StartUp();
    auto& f = form();
    QWidget* start = f.Combo1.Widget();
    std::vector<QWidget*> order{start};
    for (QWidget* w = start->nextInFocusChain(); w != start; w = w->nextInFocusChain()) {
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            w->window() == f.Window()) {
            order.push_back(w);
        }
    }
    std::vector<QWidget*> expected{f.Combo1.Widget(), f.Check1.Widget(), f.Drive1.Widget(),
                                   f.Command2.Widget()};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(f.Window()->focusWidget(), f.Combo1.Widget());
    for (platform::Label* l : {&f.Label1, &f.Command1, &f.Command3, &f.Label4, &f.Label9}) {
        EXPECT_EQ(l->Widget()->focusPolicy(), Qt::NoFocus);
    }
}

TEST_F(AppTest, DropMarksAreSetAndFileDragsAreTakenAsCopies) {
    StartUp();
    auto& f = form();
    EXPECT_TRUE(f.Window()->acceptDrops());
    for (platform::Control* c : std::initializer_list<platform::Control*>{
             &f.Label9, &f.Label4, &f.Combo1, &f.Label1, &f.Label2}) {
        EXPECT_EQ(c->OLEDropMode(), 1) << c->Name().toStdString();
    }
    for (platform::Control* c : std::initializer_list<platform::Control*>{
             &f.Command1, &f.Command3, &f.Command2, &f.Check1, &f.Drive1, &f.Label3}) {
        EXPECT_EQ(c->OLEDropMode(), 0) << c->Name().toStdString();
    }
    // A drag of a file through the window, to the widget under the pointer: the
    // four drop targets take it as a copy, whatever the source proposed, and so
    // does the window where no target lies (a control without drops of its own
    // leaves it to the window).
    const QStringList file{folder_.File(QStringLiteral("x"))};
    struct Case {
        const char* where;
        QPoint at;
    } cases[] = {
        {"background", Background(6000, 5300)}, {"Label9", CentreOf(f.Label9)},
        {"Label4", CentreOf(f.Label4)},         {"Combo1", CentreOf(f.Combo1)},
        {"Label1", CentreOf(f.Label1)},         {"Command1", CentreOf(f.Command1)},
        {"Command3", CentreOf(f.Command3)},     {"Command2", CentreOf(f.Command2)},
        {"Check1", CentreOf(f.Check1)},         {"Drive1", CentreOf(f.Drive1)},
    };
    testsupport::BoxRecorder boxes(platform::mb::No);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        const DragAnswer a = DragAndDrop(f.Window(), c.at, file, kAllActions);
        EXPECT_EQ(a.proposed, Qt::MoveAction) << "the source proposes a move";
        EXPECT_TRUE(a.enterAccepted && a.moveAccepted && a.dropAccepted);
        EXPECT_EQ(a.enterAction, Qt::CopyAction);
        EXPECT_EQ(a.moveAction, Qt::CopyAction);
        EXPECT_EQ(a.dropAction, Qt::CopyAction);
    }
    // Drags that bring no file, or cannot be a copy, are refused everywhere.
    const QPoint label9 = CentreOf(f.Label9);
    EXPECT_FALSE(DragAndDrop(f.Window(), label9, file, Qt::MoveAction).enterAccepted);
    EXPECT_FALSE(
        DragAndDrop(f.Window(), Background(6000, 5300), file, Qt::MoveAction | Qt::LinkAction)
            .enterAccepted);
    EXPECT_FALSE(DragAndDrop(f.Window(), label9, QStringList(), kAllActions).enterAccepted);
    QCoreApplication::processEvents();
}

}  // namespace
}  // namespace apptest
