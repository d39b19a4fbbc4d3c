// What each method leaves in the file, pass by pass, and how a pass is cut into writes.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <map>
#include <set>

#include "engine/Dialog.h"
#include "engine/Wipe.h"
#include "platform/Errors.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

class PassesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetEngineState();
        FillMarkedTexts();
    }
    void TearDown() override { ResetEngineState(); }

    // Wipes a file of `length` bytes with the method and returns the writes
    // made to it under its own name, grouped into passes.
    std::vector<QByteArray> PassesWritten(int method, qint64 length) {
        QString path = folder.Write(QStringLiteral("data.bin"), QByteArray(length, 'x'));
        WriteRecorder rec;
        engine::WipeFile(path, static_cast<std::int16_t>(method));
        EXPECT_FALSE(QFileInfo::exists(path));
        EXPECT_TRUE(folder.Entries().isEmpty()) << folder.Entries().join(",").toStdString();
        // Rebuild each pass's image of the file from its writes: a write at offset 0
        // starts a new pass.
        std::vector<QByteArray> passes;
        std::vector<std::vector<int>> counts;  // how often each byte was written
        for (const auto& w : rec.writes) {
            if (w.path != path)
                continue;
            if (w.offset == 0) {
                passes.emplace_back(length, '\0');
                counts.emplace_back(length, 0);
            }
            EXPECT_FALSE(passes.empty());
            EXPECT_LE(w.offset + w.data.size(), length) << "a write past the end";
            passes.back().replace(w.offset, w.data.size(), w.data);
            for (qint64 i = w.offset; i < w.offset + w.data.size(); ++i) ++counts.back()[i];
        }
        for (std::size_t k = 0; k < passes.size(); ++k) {
            EXPECT_EQ(passes[k].size(), length);
            EXPECT_TRUE(
                std::all_of(counts[k].begin(), counts[k].end(), [](int n) { return n == 1; }))
                << "pass " << k + 1 << " writes every byte exactly once";
        }
        return passes;
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
    for (qint64 length : {999, 5000}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << "method " << c.method << ", " << length << " bytes");
            auto passes = PassesWritten(c.method, length);
            ASSERT_EQ(passes.size(), c.passes.size());
            for (std::size_t k = 0; k < passes.size(); ++k) {
                SCOPED_TRACE(testing::Message() << "pass " << k + 1);
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
