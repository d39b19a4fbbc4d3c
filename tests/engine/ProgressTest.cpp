// The status line and the bar while the passes of a large file run, and cancel.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QtTest/QTest>

#include "engine/Dialog.h"
#include "engine/ProgressWindow.h"
#include "engine/Wipe.h"
#include "lang/Testi.h"
#include "platform/Events.h"
#include "platform/Monotonic.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

const QString CR(QChar(13));

class ProgressTest : public EngineTest {
  protected:
    struct Step {
        QString status;
        int bar;
    };

    TempFolder folder;
    FakeMainWindow form1;
    BoxRecorder boxes;
};

TEST_F(ProgressTest, Method5StatusRunsFromPassOneToSeven) {
    QString path = folder.Write(QStringLiteral("report.doc"), QByteArray(20000, 'x'));
    std::vector<Step> steps;
    platform::SetYieldHook([&] {
        steps.push_back({engine::Dialog().Label8.Caption(), engine::Dialog().ImgBar.Width()});
    });
    std::vector<QString> starts;
    engine::WipeFile(path, 5);

    ASSERT_EQ(steps.size(), 700u);
    const QString head = QStringLiteral("Wiping: report.doc...") + CR;
    EXPECT_EQ(steps.front().status, head + QStringLiteral("1% (T69 1)"));
    EXPECT_EQ(steps.front().bar, 0);
    EXPECT_EQ(steps[1].bar, 64);
    EXPECT_EQ(steps[50].bar, 3227);
    EXPECT_EQ(steps[99].status, head + QStringLiteral("100% (T69 1)"));
    EXPECT_EQ(steps[100].status, head + QStringLiteral("1% (T69 2)"));
    EXPECT_EQ(steps.back().status, head + QStringLiteral("100% (T69 7)"));
    EXPECT_EQ(steps.back().bar, engine::kBarFull);

    // Afterwards: the window is still shown with the last line and a full bar, the
    // main window hidden, the file gone.
    EXPECT_TRUE(engine::Dialog().IsShown());
    EXPECT_EQ(engine::Dialog().Label8.Caption(), head + QStringLiteral("100% (T69 7)"));
    EXPECT_TRUE(form1.hidden);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(ProgressTest, EachPassStartsAtZeroPercentAndMethodsUpTo4ShowNoPassNumber) {
    struct Case {
        int method;
        QString firstLine;
    };
    const Case cases[] = {{4, QStringLiteral("0%")}, {7, QStringLiteral("0% (T69 1)")}};
    for (const auto& c : cases) {
        QString path = folder.Write(QStringLiteral("a.txt"), QByteArray(50000, 'x'));
        QStringList first;
        // The caption set before a pass's first chunk is seen at the first yield of
        // a "0" pass of method 4; for the others, read it right after the Show.
        platform::SetYieldHook([&] { first << engine::Dialog().Label8.Caption(); });
        engine::WipeFile(path, static_cast<std::int16_t>(c.method));
        QString head = QStringLiteral("Wiping: a.txt...") + CR;
        if (c.method == 4) {
            EXPECT_EQ(first.front(), head + c.firstLine) << "the \"0\" pass yields before chunk 0";
            EXPECT_FALSE(first.join("").contains(QStringLiteral("T69")));
        } else {
            EXPECT_EQ(first.back(), head + QStringLiteral("100% (T69 7)"));
        }
        EXPECT_EQ(engine::Dialog().ImgBar.Width(), engine::kBarFull);
        engine::Dialog().Unload();
    }
}

TEST_F(ProgressTest, CancelDuringPass2Of6StopsAfterTheChunk) {
    for (bool byKey : {false, true}) {
        SCOPED_TRACE(byKey ? "Esc typed" : "Cancel clicked");
        ResetEngineState();
        QByteArray original(20000, 'x');
        QString path = folder.Write(QStringLiteral("c.bin"), original);
        BoxRecorder cancelBoxes;
        int chunk = 0;
        QString statusAtCancel;
        int barAtCancel = -1;
        WriteRecorder rec;
        platform::SetYieldHook([&] {
            // Pass 2, chunk 40: the 141st chunk of the run.
            if (++chunk == 141) {
                statusAtCancel = engine::Dialog().Label8.Caption();
                barAtCancel = engine::Dialog().ImgBar.Width();
                QWidget* button = engine::Dialog().CancelButton.Widget();
                if (byKey) {
                    button->setFocus();
                    QTest::keyClick(button, Qt::Key_Escape);
                } else {
                    qobject_cast<QAbstractButton*>(button)->click();
                }
                EXPECT_EQ(engine::Dialog().Label9.Caption(), QStringLiteral("T64"));
            }
        });
        engine::WipeFile(path, 6);

        EXPECT_EQ(statusAtCancel, QStringLiteral("Wiping: c.bin...") + CR + "41% (T69 2)");
        EXPECT_EQ(barAtCancel, 2581);
        EXPECT_EQ(chunk, 141) << "no yield after the cancel";
        // Passes 1 and 2 up to chunk 40: 100 + 41 writes, then nothing.
        EXPECT_EQ(rec.writes.size(), 141u) << "20,000 bytes have no tail";
        // The chunks of the stopped pass reach the device before the file is closed.
        ASSERT_EQ(rec.flushes.size(), 2u);
        EXPECT_EQ(rec.flushes[0].afterWrites, 100u);
        EXPECT_EQ(rec.flushes[1].afterWrites, 141u);
        QByteArray now = ReadFile(path);
        ASSERT_EQ(now.size(), original.size()) << "the file keeps its name and length";
        EXPECT_EQ(now.left(41 * 200), QByteArray(41 * 200, '1'));
        EXPECT_EQ(now.mid(41 * 200), QByteArray(20000 - 41 * 200, '0'));

        ASSERT_NO_FATAL_FAILURE(ExpectCancelNotice(cancelBoxes));
        EXPECT_EQ(engine::Annullato, 1);
        EXPECT_EQ(form1.pointer, 0);
        platform::SetYieldHook(nullptr);
    }
}

// The close box of the progress window is a Cancel, also right after a Cancel
// (an unload there would reload the window silently and clear the flag).
TEST_F(ProgressTest, CloseBoxStopsTheRunAsCancelDoes) {
    struct Case {
        const char* what;
        int method;
        int atYield;     // the yield in which the user acts
        bool cancelToo;  // Cancel clicked first, in the same yield
        int chunksWritten;
    };
    // Method 0 yields twice per chunk and tests the flag after the first: a stop
    // asked for in the second yield of chunk 10 is seen after chunk 11.
    const Case cases[] = {
        {"close box during method 5", 5, 150, false, 150},
        {"Cancel, then the close box, in method 0's second yield", 0, 22, true, 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ResetEngineState();
        QString path = folder.Write(QStringLiteral("c.bin"), QByteArray(30000, 'k'));
        BoxRecorder cancelBoxes;
        WriteRecorder rec;
        // Each yield a millisecond after the one before: every one runs the events.
        double now = 0;
        platform::hooks::SetMonotonicClock([&] { return now; });
        int yields = 0;
        platform::SetYieldHook([&] {
            now += 0.001;
            if (++yields != c.atYield)
                return;
            if (c.cancelToo)
                qobject_cast<QAbstractButton*>(engine::Dialog().CancelButton.Widget())->click();
            // Delivered by the yield's own event processing, as a click on the box is.
            QCoreApplication::postEvent(engine::Dialog().Window(), new QCloseEvent);
        });
        engine::WipeFile(path, static_cast<std::int16_t>(c.method));

        EXPECT_EQ(rec.writes.size(), static_cast<std::size_t>(c.chunksWritten));
        EXPECT_EQ(QFileInfo(path).size(), 30000) << "the file keeps its name and length";
        EXPECT_EQ(cancelBoxes.boxes.size(), 1u);
        if (!cancelBoxes.boxes.empty()) {
            EXPECT_EQ(cancelBoxes.boxes[0].prompt, QStringLiteral("T27"));
        }
        EXPECT_EQ(engine::Annullato, 1);
        EXPECT_FALSE(engine::Dialog().IsLoaded());
        platform::SetYieldHook(nullptr);
        platform::hooks::SetMonotonicClock(nullptr);
    }
    // Outside a run the close box leaves the window up, with the cancel text.
    auto& dlg = engine::Dialog();
    dlg.Show();
    engine::Annullato = 0;
    QCoreApplication::postEvent(dlg.Window(), new QCloseEvent);
    QCoreApplication::processEvents();
    EXPECT_TRUE(dlg.IsShown());
    EXPECT_EQ(engine::Annullato, 1);
    EXPECT_EQ(dlg.Label9.Caption(), QStringLiteral("T64"));
}

TEST_F(ProgressTest, ProgressWindowLoadUnloadAndSilentReload) {
    auto& dlg = engine::Dialog();
    dlg.Load();
    EXPECT_EQ(dlg.Label8.Caption(), QStringLiteral("T61"));
    EXPECT_EQ(dlg.Label9.Caption(), QStringLiteral("T62") + CR + QStringLiteral("T65"));
    EXPECT_EQ(dlg.CancelButton.Caption(), QStringLiteral("&Annulla"));
    EXPECT_EQ(dlg.MousePointer(), 11);
    EXPECT_FALSE(dlg.Label9.Visible());
    EXPECT_EQ(dlg.Label8.Left(), 60);
    EXPECT_EQ(dlg.Label8.Width(), 6795);
    EXPECT_EQ(dlg.CancelButton.Top(), 2640);

    // A second Load runs nothing.
    dlg.Label8.SetCaption(QStringLiteral("busy"));
    engine::Annullato = 1;
    dlg.Load();
    EXPECT_EQ(dlg.Label8.Caption(), QStringLiteral("busy"));
    EXPECT_EQ(engine::Annullato, 1);

    // Touching a control of the unloaded window loads it hidden, with fresh texts.
    for (int touch = 0; touch < 2; ++touch) {
        dlg.Show();
        dlg.ImgBar.SetWidth(3000);
        dlg.Unload();
        engine::Annullato = 1;
        ASSERT_FALSE(dlg.IsLoaded());
        if (touch == 0) {
            dlg.Label9.SetVisible(false);
        } else {
            EXPECT_EQ(dlg.ImgBar.Width(), 0);
        }
        EXPECT_TRUE(dlg.IsLoaded());
        EXPECT_FALSE(dlg.IsShown());
        EXPECT_EQ(dlg.Label8.Caption(), QStringLiteral("T61"));
        EXPECT_EQ(dlg.Label9.Caption(), QStringLiteral("T62") + CR + QStringLiteral("T65"));
        EXPECT_EQ(dlg.ImgBar.Width(), 0);
        EXPECT_EQ(engine::Annullato, 0);
        dlg.Unload();
    }
}

TEST_F(ProgressTest, CancelKeysAndAltA) {
    auto& dlg = engine::Dialog();
    dlg.Show();
    QWidget* window = dlg.Window();
    // Esc to the window itself, with no control focused.
    window->setFocus();
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_EQ(engine::Annullato, 1);
    EXPECT_EQ(dlg.Label9.Caption(), QStringLiteral("T64"));
    // Another key does nothing; Alt+A presses Cancel in every language.
    engine::Annullato = 0;
    QTest::keyClick(window, Qt::Key_X);
    EXPECT_EQ(engine::Annullato, 0);
    auto* button = qobject_cast<QAbstractButton*>(dlg.CancelButton.Widget());
    EXPECT_EQ(button->shortcut(), QKeySequence(QStringLiteral("Alt+A")));
    // Clicked several times: the same text and flag.
    button->click();
    button->click();
    EXPECT_EQ(engine::Annullato, 1);
    EXPECT_EQ(dlg.Label9.Caption(), QStringLiteral("T64"));
    dlg.Unload();
    EXPECT_EQ(dlg.MousePointer(), 11) << "touched again: loaded afresh";
    dlg.Unload();
}

}  // namespace
