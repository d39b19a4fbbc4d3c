// What each method leaves in the file, pass by pass, and how a pass is cut into writes.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <map>
#include <set>

#include "engine/Dialog.h"
#include "engine/ProgressWindow.h"
#include "engine/Wipe.h"
#include "platform/Errors.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

class PassesTest : public EngineTest {
  protected:
    // Wipes a file of `length` bytes with the method and returns the writes
    // made to it under its own name, grouped into passes.
    std::vector<QByteArray> PassesWritten(int method, qint64 length) {
        QString path = folder.Write(QStringLiteral("data.bin"), QByteArray(length, 'x'));
        WriteRecorder rec;
        engine::WipeFile(path, static_cast<std::int16_t>(method));
        EXPECT_FALSE(QFileInfo::exists(path));
        EXPECT_TRUE(folder.Entries().isEmpty()) << folder.Entries().join(",").toStdString();
        return PassImages(rec, path, length);
    }

    TempFolder folder;
    FakeMainWindow form1;
    BoxRecorder boxes;
};

bool All(const QByteArray& data, unsigned char value) {
    return std::all_of(data.begin(), data.end(),
                       [value](char c) { return static_cast<unsigned char>(c) == value; });
}

bool AllIn(const QByteArray& data, int lo, int hi) {
    return std::all_of(data.begin(), data.end(), [=](char c) {
        int v = static_cast<unsigned char>(c);
        return v >= lo && v <= hi;
    });
}

enum Expect { Z, O, F, N, Rnd, Dig };

struct MethodCase {
    int method;
    std::vector<Expect> passes;
};

TEST_F(PassesTest, EveryMethodWritesItsPassesOverEveryByte) {
    const MethodCase cases[] = {
        {1, {Z}},
        {2, {Rnd}},
        {3, {Z, Rnd}},
        {4, {Z, O, Rnd}},
        {5, {Z, Z, Z, O, O, O, Rnd}},
        {6, {Z, O, Z, O, Z, O, Rnd}},
        {7, {F, N, Dig, Dig, Dig, Dig, Dig}},
    };
    // 1099 and 12,345 bytes end in a tail (99 and 45 bytes) after the 100 chunks.
    for (qint64 length : {999, 1099, 5000, 12345}) {
        const engine::PassGeometry g = engine::GeometryOf(length);
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << "method " << c.method << ", " << length << " bytes");
            auto passes = PassesWritten(c.method, length);
            ASSERT_EQ(passes.size(), c.passes.size());
            for (std::size_t k = 0; k < passes.size(); ++k) {
                SCOPED_TRACE(testing::Message() << "pass " << k + 1);
                if (g.tail > 0 && (c.passes[k] == Rnd || c.passes[k] == Dig)) {
                    // The tail is drawn anew, not the head of the last chunk's buffer.
                    const QByteArray tail = passes[k].right(g.tail);
                    EXPECT_NE(tail, passes[k].mid(99 * g.chunk, g.tail));
                    EXPECT_GE(std::set<char>(tail.begin(), tail.end()).size(),
                              c.passes[k] == Rnd ? static_cast<std::size_t>(g.tail / 2) : 6u)
                        << "the tail's bytes are drawn one by one";
                }
                switch (c.passes[k]) {
                    case Z:
                        EXPECT_TRUE(All(passes[k], 48)) << "a \"0\" pass writes the character 0";
                        break;
                    case O:
                        EXPECT_TRUE(All(passes[k], 49)) << "a \"1\" pass writes the character 1";
                        break;
                    case F:
                        EXPECT_TRUE(All(passes[k], 255));
                        break;
                    case N:
                        EXPECT_TRUE(All(passes[k], 0));
                        break;
                    case Rnd:
                        // Random bytes: many different values, not a constant fill.
                        EXPECT_GT(std::set<char>(passes[k].begin(), passes[k].end()).size(), 200u);
                        break;
                    case Dig:
                        EXPECT_TRUE(AllIn(passes[k], 48, 57));
                        EXPECT_EQ(std::set<char>(passes[k].begin(), passes[k].end()).size(), 10u);
                        break;
                }
            }
        }
    }
}

TEST_F(PassesTest, DrawnValuePassHasOneValuePerChunk) {
    auto small = PassesWritten(0, 500);
    ASSERT_EQ(small.size(), 1u);
    EXPECT_TRUE(All(small[0], static_cast<unsigned char>(small[0][0])));
    EXPECT_NE(small[0][0], '\0');

    auto large = PassesWritten(0, 5000);
    ASSERT_EQ(large.size(), 1u);
    std::set<char> values;
    for (int run = 0; run < 100; ++run) {
        QByteArray part = large[0].mid(run * 50, 50);
        EXPECT_TRUE(All(part, static_cast<unsigned char>(part[0]))) << "run " << run;
        EXPECT_NE(part[0], '\0') << "run " << run;
        values.insert(part[0]);
    }
    EXPECT_GT(values.size(), 50u) << "each run has a value drawn for it";

    // The tail has one value of its own, drawn after chunk 99's.
    for (qint64 length : {1099, 12345}) {
        SCOPED_TRACE(length);
        const engine::PassGeometry g = engine::GeometryOf(length);
        bool differs = false;
        for (int run = 0; run < 10 && !differs; ++run) {
            auto pass = PassesWritten(0, length);
            ASSERT_EQ(pass.size(), 1u);
            const QByteArray tail = pass[0].right(g.tail);
            EXPECT_TRUE(All(tail, static_cast<unsigned char>(tail[0])));
            EXPECT_NE(tail[0], '\0');
            differs = tail[0] != pass[0].at(static_cast<qsizetype>(99 * g.chunk));
        }
        EXPECT_TRUE(differs) << "ten tails, each the value of the chunk before it";
    }
}

TEST_F(PassesTest, GeometryOfAPass) {
    struct Case {
        qint64 length;
        std::vector<std::pair<qint64, qint64>> expected;  // offset, size of each write
    };
    auto chunks = [](qint64 c, qint64 tail) {
        std::vector<std::pair<qint64, qint64>> w;
        for (int k = 0; k < 100; ++k) w.emplace_back(c * k, c);
        if (tail)
            w.emplace_back(100 * c, tail);
        return w;
    };
    const Case cases[] = {
        {999, {{0, 999}}},
        {1000, chunks(10, 0)},
        {1099, chunks(10, 99)},
        {12345, chunks(123, 45)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        QString path = folder.Write(QStringLiteral("g.bin"), QByteArray(c.length, 'x'));
        WriteRecorder rec;
        engine::WipeFile(path, 1);
        std::vector<std::pair<qint64, qint64>> got;
        for (const auto& w : rec.writes) {
            if (w.path == path)
                got.emplace_back(w.offset, w.data.size());
        }
        EXPECT_EQ(got, c.expected);
    }
    EXPECT_EQ(engine::GeometryOf(12345).chunk, 123);
    EXPECT_EQ(engine::GeometryOf(12345).tail, 45);
}

// Each pass reaches the device before the next one begins (and before the file
// is renamed): a flush follows the last write of every pass, whoever writes it.
TEST_F(PassesTest, EveryPassIsFlushedBeforeTheNextBegins) {
    struct Case {
        const char* what;
        int method;
        qint64 length;
        std::size_t passes;
    };
    const Case cases[] = {
        {"small file: character passes and WritePass's random pass", 4, 999, 3},
        {"small file: random digits through WritePass", 7, 500, 7},
        {"chunked passes", 6, 1099, 7},
        {"the 35-pass method through WritePass", 8, 2000, 35},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QString path = folder.Write(QStringLiteral("f.bin"), QByteArray(c.length, 'x'));
        WriteRecorder rec;
        engine::WipeFile(path, static_cast<std::int16_t>(c.method));
        EXPECT_FALSE(QFileInfo::exists(path));
        std::vector<std::size_t> ends;  // the number of writes when each pass is complete
        for (std::size_t i = 1; i <= rec.writes.size(); ++i) {
            if (i == rec.writes.size() || rec.writes[i].offset == 0)
                ends.push_back(i);
        }
        ASSERT_EQ(ends.size(), c.passes);
        ASSERT_EQ(rec.flushes.size(), c.passes);
        for (std::size_t k = 0; k < c.passes; ++k) {
            EXPECT_EQ(rec.flushes[k].afterWrites, ends[k]) << "pass " << k + 1;
            EXPECT_EQ(rec.flushes[k].path, path);
        }
        engine::Dialog().Unload();
    }
}

// The status line each chunked pass starts with, read when its first chunk is
// written: the pass number for methods 5 to 7 only.
TEST_F(PassesTest, EachChunkedPassStartsAtZeroPercentWithItsNumber) {
    const QString head = QStringLiteral("Wiping: s.bin...") + QChar(13);
    for (int method = 0; method <= 7; ++method) {
        SCOPED_TRACE(method);
        QString path = folder.Write(QStringLiteral("s.bin"), QByteArray(2000, 'x'));
        QStringList starts;
        platform::hooks::SetWriteObserver(
            [&](const QString&, std::int64_t offset, const unsigned char*, std::size_t) {
                if (offset == 0)
                    starts << engine::Dialog().Label8.Caption();
            });
        engine::WipeFile(path, static_cast<std::int16_t>(method));
        platform::hooks::SetWriteObserver(nullptr);
        QStringList expected;
        for (std::size_t k = 1; k <= engine::PassesOf(method).size(); ++k) {
            expected << head + QStringLiteral("0%") +
                            (method >= 5 ? QStringLiteral(" (T69 %1)").arg(k) : QString());
        }
        EXPECT_EQ(starts, expected);
        engine::Dialog().Unload();
    }
}

TEST_F(PassesTest, SmallFileHasNoProgressAndNoYield) {
    QString path = folder.Write(QStringLiteral("s.bin"), QByteArray(999, 'x'));
    int yields = 0;
    platform::SetYieldHook([&] { ++yields; });
    engine::WipeFile(path, 1);
    EXPECT_EQ(yields, 0);
    EXPECT_FALSE(engine::Dialog().IsLoaded());
    EXPECT_EQ(form1.hides, 0);
}

TEST_F(PassesTest, RandomNumberStaysInRange) {
    std::set<int> seen;
    for (int i = 0; i < 5000; ++i) {
        int v = engine::RandomNumber(48, 57);
        ASSERT_GE(v, 48);
        ASSERT_LE(v, 57);
        seen.insert(v);
        ASSERT_EQ(engine::RandomNumber(7, 7), 7);
    }
    EXPECT_EQ(seen.size(), 10u);
    EXPECT_THROW(engine::RandomNumber(INT32_MIN, INT32_MAX), platform::RuntimeError);
}

}  // namespace
