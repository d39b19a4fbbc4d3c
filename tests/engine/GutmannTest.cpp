// The 35-pass method: the bytes of every pass, its progress, cancel and errors.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QAbstractButton>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "engine/Dialog.h"
#include "engine/Gutmann.h"
#include "engine/ProgressWindow.h"
#include "engine/Wipe.h"
#include "platform/Errors.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

const QString CR(QChar(13));

QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(hex);
}

// The data of each pass in the order written: every pass starts again at offset 0.
std::vector<QByteArray> Passes(const std::vector<RecordedWrite>& writes) {
    std::vector<QByteArray> passes;
    for (const auto& w : writes) {
        if (w.offset == 0)
            passes.emplace_back();
        EXPECT_FALSE(passes.empty());
        EXPECT_EQ(w.offset, passes.back().size()) << "pieces in order, without gaps";
        passes.back() += w.data;
    }
    return passes;
}

void ClickCancel() {
    qobject_cast<QAbstractButton*>(engine::Dialog().CancelButton.Widget())->click();
}

class GutmannTest : public EngineTest {
  protected:
    // The progress window as WipeFile leaves it before the method starts.
    void ShowDialog() {
        engine::Dialog().Load();
        engine::Dialog().Show();
    }

    TempFolder folder;
    FakeMainWindow form1;
    BoxRecorder boxes;
};

TEST_F(GutmannTest, PatternPassesRepeatFromTheFirstByte) {
    struct Case {
        int length;
        int pass;
        QByteArray bytes;
    };
    const Case cases[] = {
        {1, 7, Hex("92")},          {1, 8, Hex("49")},          {1, 9, Hex("24")},
        {1, 29, Hex("6D")},         {4, 7, Hex("92492492")},    {4, 30, Hex("B6DB6DB6")},
        {4, 5, Hex("55555555")},    {4, 6, Hex("AAAAAAAA")},    {4, 10, Hex("00000000")},
        {5, 17, Hex("7777777777")}, {5, 25, Hex("FFFFFFFFFF")}, {5, 31, Hex("DB6DB6DB6D")},
        {5, 28, Hex("2492492492")},
    };
    for (int length : {1, 4, 5}) {
        SCOPED_TRACE(length);
        QString path = folder.Write(QStringLiteral("p.bin"), QByteArray(length, 'x'));
        ShowDialog();
        WriteRecorder rec;
        ASSERT_EQ(engine::WipeGutmann(path, QStringLiteral("p.bin...")), 1);
        const auto passes = Passes(rec.writes);
        ASSERT_EQ(passes.size(), 35u);
        for (const auto& c : cases) {
            if (c.length != length)
                continue;
            EXPECT_EQ(passes[c.pass - 1].toHex(), c.bytes.toHex()) << c.pass;
        }
        EXPECT_EQ(QFileInfo(path).size(), length);
        EXPECT_TRUE(boxes.boxes.empty());
    }
}

// Larger than one write buffer, so every pass is written in several pieces.
TEST_F(GutmannTest, AFileOfSeveralPiecesKeepsItsLengthAndRepeatsPasses7To9) {
    const std::int64_t length = static_cast<std::int64_t>(engine::kWriteBuffer) + 2;
    QString path = folder.Write(QStringLiteral("big.bin"), QByteArray(length, 'x'));
    ShowDialog();
    std::vector<qint64> sizes;
    platform::SetYieldHook([&] { sizes.push_back(QFileInfo(path).size()); });
    WriteRecorder rec;
    ASSERT_EQ(engine::WipeGutmann(path, QStringLiteral("big.bin...")), 1);

    const auto passes = Passes(rec.writes);
    ASSERT_EQ(passes.size(), 35u);
    for (const auto& p : passes) EXPECT_EQ(p.size(), length);
    for (qint64 s : sizes) EXPECT_EQ(s, length);
    EXPECT_EQ(ReadFile(path), passes[34]);

    // The three-byte pattern runs on across the pieces.
    QByteArray rotation;
    while (rotation.size() < length) rotation += Hex("924924");
    EXPECT_TRUE(passes[6] == rotation.left(length));
    for (int p = 26; p <= 28; ++p) EXPECT_TRUE(passes[p - 1] == passes[p - 20]) << p;
    // The random passes are drawn anew each time.
    const int randomPasses[] = {1, 2, 3, 4, 32, 33, 34, 35};
    for (int a : randomPasses) {
        for (int b : randomPasses) {
            if (a >= b)
                continue;
            EXPECT_FALSE(passes[a - 1] == passes[b - 1]) << a << " and " << b;
        }
    }
}

// The method resets the file's attributes first, so a read-only file handed to it
// (the folder wipe's way) is written all the same.
TEST_F(GutmannTest, AReadOnlyFileIsWrittenAfterTheAttributeReset) {
    QString path = folder.Write(QStringLiteral("ro.bin"), QByteArray(10, 'x'));
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0444), 0);
    ShowDialog();
    WriteRecorder rec;
    EXPECT_EQ(engine::WipeGutmann(path, QStringLiteral("ro.bin...")), 1);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(Passes(rec.writes).size(), 35u);
    EXPECT_TRUE(QFileInfo(path).permissions() & QFileDevice::WriteOwner);
}

TEST_F(GutmannTest, PatternsKeepTheirPhaseBeyond4GiB) {
    const std::int64_t length = 5'000'000'000;
    auto data = engine::GutmannPassData(7, length);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->Size(), length);
    unsigned char out[6];
    data->Fill(4'294'967'296, out, sizeof out);  // 2^32 leaves 1 over 3
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(out), 6).toHex(), "492492492492");
}

TEST_F(GutmannTest, StatusAndBarAfterEachPassThenTheFileIsRemoved) {
    QString path = folder.Write(QStringLiteral("report.doc"), QByteArray(3000, 'x'));
    struct Step {
        QString status;
        int bar;
    };
    std::vector<Step> steps;
    platform::SetYieldHook([&] {
        steps.push_back({engine::Dialog().Label8.Caption(), engine::Dialog().ImgBar.Width()});
    });
    engine::WipeFile(path, 8);

    // One yield before the method, then per pass: two in WritePass, one after it.
    ASSERT_EQ(steps.size(), 1u + 35 * 3);
    const QString head = QStringLiteral("Wiping: report.doc...") + CR;
    EXPECT_EQ(steps[0].status, head + QStringLiteral("0% (T69 1)"));
    EXPECT_EQ(steps[0].bar, 0);
    struct After {
        int pass;
        int bar;
        const char* status;
    };
    const After after[] = {
        {1, 182, "2% (T69 1)"},
        {2, 365, "5% (T69 2)"},
        {20, 3651, "57% (T69 20)"},
        {35, 6390, "100% (T69 35)"},
    };
    for (const auto& a : after) {
        EXPECT_EQ(steps[3 * a.pass].bar, a.bar) << a.pass;
        EXPECT_EQ(steps[3 * a.pass].status, head + QLatin1String(a.status));
        // Nothing moves while the next pass is written.
        if (a.pass < 35) {
            EXPECT_EQ(steps[3 * a.pass + 2].bar, a.bar);
        }
    }
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(folder.Entries().isEmpty());
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(engine::Dialog().IsShown());
    EXPECT_TRUE(form1.hidden);
    EXPECT_EQ(engine::Annullato, 0);
}

TEST_F(GutmannTest, CancelDuringPass12FinishesThatPassAndStops) {
    for (bool throughWipeFile : {false, true}) {
        SCOPED_TRACE(throughWipeFile ? "WipeFile" : "WipeGutmann");
        ResetEngineState();
        BoxRecorder cancelBoxes;
        QString path = folder.Write(QStringLiteral("c.bin"), QByteArray(2000, 'x'));
        WriteRecorder rec;
        int barAtCancel = -1;
        bool clicked = false;
        int yieldsAfter = 0;
        platform::SetYieldHook([&] {
            if (clicked) {
                ++yieldsAfter;
                return;
            }
            // Pass 12 (all 22) is on disk, WritePass has not closed the file yet.
            if (!rec.writes.empty() && rec.writes.back().data == QByteArray(2000, '\x22')) {
                barAtCancel = engine::Dialog().ImgBar.Width();
                ClickCancel();
                clicked = true;
            }
        });
        int result = 99;
        if (throughWipeFile) {
            engine::WipeFile(path, 8);
        } else {
            ShowDialog();
            result = engine::WipeGutmann(path, QStringLiteral("c.bin..."));
        }

        ASSERT_TRUE(clicked);
        EXPECT_EQ(barAtCancel, 2008) << "the bar of pass 11";
        EXPECT_EQ(yieldsAfter, 0) << "no progress after the cancelled pass";
        EXPECT_EQ(rec.writes.size(), 12u);
        EXPECT_EQ(ReadFile(path), QByteArray(2000, '\x22')) << "pass 12 to its end, own name";
        EXPECT_EQ(engine::Annullato, 1);
        if (throughWipeFile) {
            ASSERT_NO_FATAL_FAILURE(ExpectCancelNotice(cancelBoxes));
        } else {
            EXPECT_EQ(result, 0);
            EXPECT_TRUE(cancelBoxes.boxes.empty());
            EXPECT_EQ(engine::Dialog().ImgBar.Width(), 2008);
            EXPECT_EQ(engine::Dialog().Label9.Caption(), QStringLiteral("T64"));
        }
        platform::SetYieldHook(nullptr);
    }
}

TEST_F(GutmannTest, AFileThatVanishedBeforeTheMethodEndsTheRun) {
    QString path = folder.Write(QStringLiteral("gone.bin"), QByteArray(10, 'x'));
    // WipeFile yields once between its existence test and the method.
    platform::SetYieldHook([&] { QFile::remove(path); });
    engine::WipeFile(path, 8);

    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].prompt, path + ": " + QString::fromLocal8Bit(std::strerror(ENOENT)));
    EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("T67"));
    EXPECT_EQ(boxes.boxes[0].style, 48);
    EXPECT_EQ(engine::Annullato, 1);
    EXPECT_FALSE(engine::Dialog().IsLoaded());
    EXPECT_EQ(form1.pointer, 0);
}

TEST_F(GutmannTest, ErrorsThatEndTheMethod) {
    QString file = folder.Write(QStringLiteral("plain"), "x");
    struct Case {
        QString path;
        QString prompt;
    };
    const Case cases[] = {
        {folder.File(QStringLiteral("missing")), QString::fromLocal8Bit(std::strerror(ENOENT))},
        {file + QStringLiteral("/inside"),
         QStringLiteral("T68: 76") + CR + QString::fromLocal8Bit(std::strerror(ENOTDIR))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        ResetEngineState();
        BoxRecorder errors;
        ShowDialog();
        EXPECT_EQ(engine::WipeGutmann(c.path, QStringLiteral("x...")), -1);
        ASSERT_EQ(errors.boxes.size(), 1u);
        EXPECT_EQ(errors.boxes[0].prompt, c.path + ": " + c.prompt);
        EXPECT_EQ(errors.boxes[0].title, QStringLiteral("T67"));
        EXPECT_EQ(errors.boxes[0].style, 48);
        EXPECT_EQ(engine::Annullato, 1);
    }
    // An overflow explains itself with text 66.
    EXPECT_EQ(engine::GutmannErrorPrompt(platform::RuntimeError(6)),
              QStringLiteral("Overflow") + CR + CR + QStringLiteral("T66"));
}

TEST_F(GutmannTest, AFailingWriteStopsTheMethodAtThatPass) {
    QString path = folder.Write(QStringLiteral("w.bin"), QByteArray(100, 'x'));
    int writes = 0;
    platform::hooks::SetFaultInjector([&](platform::hooks::FileOp op, const QString&) {
        if (op != platform::hooks::FileOp::Write)
            return platform::hooks::Fault::None;
        return ++writes == 5 ? platform::hooks::Fault::DeviceError : platform::hooks::Fault::None;
    });
    ShowDialog();
    WriteRecorder rec;
    EXPECT_EQ(engine::WipeGutmann(path, QStringLiteral("w.bin...")), engine::kGutmannPassFailed);

    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].prompt,
              path + ": " + QString::fromLocal8Bit(std::strerror(EIO)) + QStringLiteral(" (57)"));
    EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("T28"));
    EXPECT_EQ(boxes.boxes[0].style, 48);
    EXPECT_EQ(writes, 5);
    ASSERT_EQ(rec.writes.size(), 4u);
    EXPECT_EQ(ReadFile(path), rec.writes.back().data) << "pass 4 stays in the file";
    EXPECT_EQ(engine::Annullato, 0) << "the run goes on with its next item";
    EXPECT_EQ(engine::Dialog().ImgBar.Width(), engine::BarWidth(35, 4));
}

}  // namespace
