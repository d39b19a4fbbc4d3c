// A pass reaches the drive window by window while it is written, and a slow drive
// leaves the progress window answering: a Cancel is taken within a chunk.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "engine/Dialog.h"
#include "engine/ProgressWindow.h"
#include "engine/Wipe.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "platform/FillFiles.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

constexpr std::int64_t kWindow = 64 << 10;

// What reached the platform layer, in order: a window sent ('w'), a flush ('f').
struct Event {
    char kind;
    std::int64_t offset = 0;
    std::int64_t length = 0;
};

class WriteBackTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        platform::hooks::SetWritebackWindow(kWindow);
        platform::hooks::SetWritebackObserver(
            [this](const QString&, std::int64_t offset, std::int64_t length) {
                events.push_back({'w', offset, length});
            });
    }
    void TearDown() override {
        platform::hooks::SetSyncObserver(nullptr);
        EngineTest::TearDown();
    }
    void ObserveFlushes() {
        platform::hooks::SetSyncObserver([this](const QString&) { events.push_back({'f'}); });
    }
    // Every pass sends its whole windows in order, each before the pass's flush.
    void ExpectWindowsBeforeEachFlush(std::int64_t length, std::size_t passes) {
        const std::int64_t whole = length / kWindow;
        std::size_t pass = 0;
        std::int64_t next = 0;
        for (const Event& e : events) {
            if (e.kind == 'f') {
                EXPECT_EQ(next, whole) << "pass " << pass + 1 << " sent all its windows";
                ++pass;
                next = 0;
                continue;
            }
            EXPECT_EQ(e.offset, next * kWindow) << "pass " << pass + 1;
            EXPECT_EQ(e.length, kWindow) << "pass " << pass + 1;
            ++next;
        }
        EXPECT_EQ(pass, passes);
        EXPECT_EQ(next, 0) << "nothing is sent after the last flush";
    }

    TempFolder folder;
    FakeMainWindow form1;
    BoxRecorder boxes;
    std::vector<Event> events;
};

void ClickCancel() {
    qobject_cast<QAbstractButton*>(engine::Dialog().CancelButton.Widget())->click();
}

TEST_F(WriteBackTest, EveryPassSendsEachWindowBeforeItEnds) {
    struct Case {
        const char* what;
        int method;
        std::size_t passes;
    };
    const Case cases[] = {
        {"character and random passes in chunks", 3, 2},
        {"the 35-pass method's whole-file passes", 8, 35},
    };
    // Sixteen windows and a part of one, which the flush takes.
    const std::int64_t length = 16 * kWindow + 1000;
    ObserveFlushes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        events.clear();
        const QString path = folder.Write(QStringLiteral("w.bin"), QByteArray(length, 'x'));
        engine::WipeFile(path, static_cast<std::int16_t>(c.method));
        EXPECT_FALSE(QFileInfo::exists(path));
        ExpectWindowsBeforeEachFlush(length, c.passes);
        engine::Dialog().Unload();
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

// A fill file sends its windows as it grows, across the blocks it is written in,
// and after a flush in the middle goes on from where it was.
TEST_F(WriteBackTest, AFillFileSendsItsWindowsAsItGrows) {
    ObserveFlushes();
    platform::FillFile fill;
    platform::HeldFolder held;
    held.Open(folder.Path());
    fill.Create(held, QStringLiteral("fill"));
    const QByteArray block(100000, '0');
    for (int i = 0; i < 10; ++i) fill.Write(block.constData(), block.size());
    fill.Sync();
    for (int i = 0; i < 10; ++i) fill.Write(block.constData(), block.size());
    fill.Sync();
    fill.Close();
    // Each flush closes 1,000,000 bytes: 15 windows, in a row from where the last
    // flush left off, each ending on a page.
    std::int64_t next = 0;
    int windows = 0;
    std::vector<int> perFlush;
    for (const Event& e : events) {
        if (e.kind == 'f') {
            perFlush.push_back(windows);
            windows = 0;
            next = 1000000;
            continue;
        }
        ++windows;
        EXPECT_EQ(e.offset, next);
        EXPECT_GT(e.length, kWindow - 4096);
        EXPECT_LE(e.length, kWindow);
        EXPECT_EQ((e.offset + e.length) % 4096, 0);
        next = e.offset + e.length;
    }
    EXPECT_EQ(perFlush, (std::vector<int>{15, 15}));
    EXPECT_EQ(ReadFile(folder.File(QStringLiteral("fill"))).size(), 2000000);
}

// Writes that take long, as on a slow drive: a Cancel clicked (a real click, taken
// by the window's own event processing) ends the pass at the end of the chunk.
TEST_F(WriteBackTest, CancelDuringASlowPassEndsItAfterTheChunk) {
    const std::int64_t length = 64 * kWindow;  // a chunk is 41,943 bytes
    const QByteArray original(length, 'x');
    const QString path = folder.Write(QStringLiteral("slow.bin"), original);
    BoxRecorder cancelBoxes;
    bool clicked = false;
    std::int64_t writtenAfter = 0;
    std::int64_t written = 0;
    std::size_t windowsBefore = 0;
    bool armed = false;
    platform::hooks::SetFaultInjector([](platform::hooks::FileOp op, const QString&) {
        if (op == platform::hooks::FileOp::Write)
            std::this_thread::sleep_for(std::chrono::milliseconds(4));
        return platform::hooks::Fault::None;
    });
    platform::hooks::SetWriteObserver(
        [&](const QString&, std::int64_t, const unsigned char*, std::size_t size) {
            (clicked ? writtenAfter : written) += static_cast<std::int64_t>(size);
        });
    platform::SetYieldHook([&] {
        // Once the pass is under way, a click comes while the window waits for the drive.
        if (!armed && written > 8 * kWindow) {
            armed = true;
            QTimer::singleShot(30, [&] {
                clicked = true;
                windowsBefore = events.size();
                ClickCancel();
            });
        }
    });
    engine::WipeFile(path, 1);

    ASSERT_TRUE(clicked);
    EXPECT_GE(windowsBefore, 8u) << "the windows written so far were sent";
    EXPECT_LE(writtenAfter, engine::GeometryOf(length).chunk);
    EXPECT_LT(written + writtenAfter, length) << "the pass stopped before its end";
    EXPECT_EQ(ReadFile(path).size(), length) << "the file keeps its name and length";
    ASSERT_NO_FATAL_FAILURE(ExpectCancelNotice(cancelBoxes));
}

// A flush that takes long (the drive's last writes) leaves the window processing
// its events: a Cancel clicked meanwhile is registered then, no yield is added, and
// the run stops at the next test of the flag, after the first chunk of pass 2.
TEST_F(WriteBackTest, ACancelClickedDuringALongFlushIsTakenAfterIt) {
    // Large enough that its flush is handed to the helper thread (a few pages
    // are flushed where they were written).
    const std::int64_t length = 400000;
    const QString path = folder.Write(QStringLiteral("flush.bin"), QByteArray(length, 'x'));
    BoxRecorder cancelBoxes;
    std::atomic<int> syncs{0};
    // Pass 1's flush, on the helper thread, posts the click to the window's
    // thread and lasts until that thread has taken it: the click comes while the
    // flush runs, however fast or slow the machine.
    std::mutex m;
    std::condition_variable cv;
    bool clicked = false;
    platform::hooks::SetFaultInjector([&](platform::hooks::FileOp op, const QString&) {
        if (op == platform::hooks::FileOp::Sync && ++syncs == 1) {
            QMetaObject::invokeMethod(
                qApp,
                [&] {
                    ClickCancel();
                    std::lock_guard lock(m);
                    clicked = true;
                    cv.notify_all();
                },
                Qt::QueuedConnection);
            std::unique_lock lock(m);
            cv.wait_for(lock, std::chrono::seconds(10), [&] { return clicked; });
        }
        return platform::hooks::Fault::None;
    });
    int yields = 0;
    platform::SetYieldHook([&] { ++yields; });
    int flagAtFirstFlush = -1;
    int yieldsAtFirstFlush = -1;
    std::vector<std::size_t> writesAtFlush;
    WriteRecorder rec;
    platform::hooks::SetSyncObserver([&](const QString&) {
        if (writesAtFlush.empty()) {
            flagAtFirstFlush = engine::Annullato;
            yieldsAtFirstFlush = yields;
        }
        writesAtFlush.push_back(rec.writes.size());
    });
    engine::WipeFile(path, 4);

    EXPECT_EQ(flagAtFirstFlush, 1) << "the click was taken while the flush ran";
    EXPECT_EQ(yieldsAtFirstFlush, 101) << "the wait is no yield";
    ASSERT_EQ(writesAtFlush.size(), 2u);
    EXPECT_EQ(writesAtFlush[0], 100u);
    EXPECT_EQ(writesAtFlush[1], 101u) << "pass 2 stops after its first chunk";
    EXPECT_EQ(ReadFile(path).size(), length);
    ASSERT_NO_FATAL_FAILURE(ExpectCancelNotice(cancelBoxes));
}

}  // namespace
