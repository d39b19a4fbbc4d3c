// The pass writer on its own: what it tells a progress of its own, and a stop it
// is told. This program links no widget library, so no window can be made.
#include <gtest/gtest.h>

#include <QStringList>

#include "engine/PassProgress.h"
#include "engine/Wipe.h"
#include "platform/Events.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

// Records what it is told, one line each, and says stop once the step named
// comes.
class RecordingProgress : public engine::PassProgress {
  public:
    void PassBegins(int pass, engine::PassKind kind) override {
        told << QStringLiteral("begin %1 kind %2").arg(pass).arg(static_cast<int>(kind));
    }
    void Stepped(int pass, int step) override {
        told << QStringLiteral("step %1.%2").arg(pass).arg(step);
        last = {pass, step};
    }
    bool GoOn() override {
        told << QStringLiteral("go on?");
        return last != stopAt;
    }

    QStringList told;
    std::pair<int, int> stopAt{0, 0};
    std::pair<int, int> last{0, 0};
};

TEST(PassWriterTest, TellsEachPassAndChunkAndStopsAfterTheStepItIsToldToStopAt) {
    using K = engine::PassKind;
    struct Case {
        const char* what;
        qint64 length;
        std::pair<int, int> stopAt;  // {0, 0}: never
        engine::PassesEnd end;
        int passesTold;  // passes begun; the last stopped at stopAt
        QByteArray after;
    };
    // Method 4: "0"s, "1"s, random; 20,000 bytes are 100 chunks of 200, no tail.
    const Case cases[] = {
        {"every pass", 20000, {0, 0}, engine::PassesEnd::Written, 3, {}},
        {"a stop in pass 2",
         20000,
         {2, 40},
         engine::PassesEnd::Cancelled,
         2,
         QByteArray(40 * 200, '1') + QByteArray(20000 - 40 * 200, '0')},
        {"a stop at the last chunk of pass 1",
         20000,
         {1, 100},
         engine::PassesEnd::Cancelled,
         1,
         QByteArray(20000, '0')},
        {"a file under 1000 bytes: single writes, nothing told",
         999,
         {0, 0},
         engine::PassesEnd::Written,
         0,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const QString path = folder.Write(QStringLiteral("f.bin"), QByteArray(c.length, 'x'));
        int yields = 0;
        platform::SetYieldHook([&] { ++yields; });
        WriteRecorder rec;
        RecordingProgress progress;
        progress.stopAt = c.stopAt;

        EXPECT_EQ(engine::WriteMethodPasses(path, 4, c.length, progress), c.end);

        QStringList expected;
        const K kinds[] = {K::Zeros, K::Ones, K::Random};
        for (int pass = 1; pass <= c.passesTold; ++pass) {
            expected << QStringLiteral("begin %1 kind %2")
                            .arg(pass)
                            .arg(static_cast<int>(kinds[pass - 1]));
            const int last = pass == c.stopAt.first ? c.stopAt.second : 100;
            for (int step = 1; step <= last; ++step)
                expected << QStringLiteral("step %1.%2").arg(pass).arg(step)
                         << QStringLiteral("go on?");
        }
        EXPECT_EQ(progress.told, expected);
        if (c.passesTold > 0) {
            EXPECT_EQ(yields, 0) << "a chunked pass yields only through its progress";
        }
        if (c.end == engine::PassesEnd::Cancelled) {
            const auto chunks =
                static_cast<std::size_t>((c.passesTold - 1) * 100 + c.stopAt.second);
            EXPECT_EQ(rec.writes.size(), chunks) << "nothing is written after the stop";
            ASSERT_FALSE(rec.flushes.empty());
            EXPECT_EQ(rec.flushes.back().afterWrites, chunks) << "the stopped pass is flushed";
            EXPECT_EQ(ReadFile(path), c.after);
        } else {
            EXPECT_EQ(ReadFile(path).size(), c.length);
        }
        platform::SetYieldHook(nullptr);
    }
}

}  // namespace

// A stop answered once by the progress, not a flag that stays set: the 35-pass
// method ends there, and the file keeps its name, length and the passes written.
TEST(PassWriterTest, AStopToldOnceDuringThe35PassMethodKeepsTheFile) {
    class StopOnce : public engine::WipeProgress {
      public:
        void PassBegins(int, engine::PassKind) override {}
        void Stepped(int, int step) override { last = step; }
        bool GoOn() override { return !(last == 12 && !said++); }
        void Stopped() override { ++stopped; }
        void Failed() override { ++failed; }
        int last = 0;
        int said = 0;
        int stopped = 0;
        int failed = 0;
    };
    TempFolder folder;
    FakeMainWindow window;
    const QString path = folder.Write(QStringLiteral("g.bin"), QByteArray(5000, 'x'));
    StopOnce progress;
    engine::WipeFile(path, 8, progress);
    EXPECT_EQ(progress.stopped, 1);
    EXPECT_EQ(progress.failed, 0);
    EXPECT_EQ(ReadFile(path).size(), 5000) << "the file keeps its name and length";
    EXPECT_NE(ReadFile(path), QByteArray(5000, 'x')) << "the passes written stay written";
}
