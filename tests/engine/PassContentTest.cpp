// What the passes leave in a file, byte by byte: the last byte of a pass whose
// tail is one byte long, each of the 35 passes against its table, and the values
// a one-value pass may draw.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <set>

#include "engine/Dialog.h"
#include "engine/Gutmann.h"
#include "engine/ProgressWindow.h"
#include "engine/Wipe.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

class PassContentTest : public EngineTest {
  protected:
    TempFolder folder;
    FakeMainWindow form1;
    BoxRecorder boxes;
};

// A length one past a multiple of 100 (1000 or more) leaves a tail of one byte
// after the 100 chunks: it is written like any other.
TEST_F(PassContentTest, ATailOfOneByteIsWrittenByEveryMethod) {
    const std::size_t passCounts[] = {1, 1, 1, 2, 3, 7, 7, 7};
    for (qint64 length : {1001, 1101, 12301}) {
        ASSERT_EQ(engine::GeometryOf(length).tail, 1);
        for (int method = 0; method <= 7; ++method) {
            SCOPED_TRACE(testing::Message() << "method " << method << ", " << length << " bytes");
            const QString path = folder.Write(QStringLiteral("t.bin"), QByteArray(length, 'x'));
            WriteRecorder rec;
            engine::WipeFile(path, static_cast<std::int16_t>(method));
            EXPECT_FALSE(QFileInfo::exists(path));
            EXPECT_EQ(PassImages(rec, path, length).size(), passCounts[method]);
        }
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

// Every pass of the 35-pass method against the table: four random passes, the
// patterns (one byte, or three repeated from the file's first byte), 26 to 28
// again as 7 to 9, then four random passes.
TEST_F(PassContentTest, The35PassesFollowTheirTable) {
    const char* const table[35] = {
        nullptr,  nullptr,  nullptr,  nullptr,  "55",    "AA",    "924924", "492492", "249249",
        "00",     "11",     "22",     "33",     "44",    "55",    "66",     "77",     "88",
        "99",     "AA",     "BB",     "CC",     "DD",    "EE",    "FF",     "924924", "492492",
        "249249", "6DB6DB", "B6DB6D", "DB6DB6", nullptr, nullptr, nullptr,  nullptr,
    };
    // The three-byte patterns end part-way at both lengths.
    for (qint64 length : {999 + 1, 3001}) {
        SCOPED_TRACE(length);
        const QString path = folder.Write(QStringLiteral("g.bin"), QByteArray(length, 'x'));
        engine::Dialog().Load();
        engine::Dialog().Show();
        WriteRecorder rec;
        ASSERT_EQ(engine::WipeGutmann(path, QStringLiteral("g.bin...")), 1);
        const std::vector<QByteArray> passes = PassImages(rec, path, length);
        ASSERT_EQ(passes.size(), 35u);
        for (int k = 0; k < 35; ++k) {
            SCOPED_TRACE(testing::Message() << "pass " << k + 1);
            if (!table[k]) {
                EXPECT_GT(std::set<char>(passes[k].begin(), passes[k].end()).size(), 200u)
                    << "random bytes";
                continue;
            }
            const QByteArray unit = QByteArray::fromHex(table[k]);
            QByteArray expected;
            while (expected.size() < length) expected += unit;
            expected.truncate(length);
            EXPECT_TRUE(passes[k] == expected) << passes[k].left(12).toHex().toStdString();
        }
        engine::Dialog().Unload();
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

// The one-value methods draw from 1 to 255: never 0, each of them in time.
TEST_F(PassContentTest, ADrawnValueIsOneTo255) {
    std::set<int> seen;
    for (int i = 0; i < 50000; ++i) seen.insert(engine::DrawValue());
    EXPECT_EQ(*seen.begin(), 1);
    EXPECT_EQ(*seen.rbegin(), 255);
    EXPECT_EQ(seen.size(), 255u);
}

}  // namespace
