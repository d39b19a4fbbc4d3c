// Attributes, the folder test, the free-space measure and the shutdown request.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

#include "engine/MainWindowLink.h"
#include "engine/Utilities.h"
#include "platform/Files.h"
#include "platform/FreeSpace.h"
#include "platform/Shell.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

mode_t ModeOf(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st.st_mode & 07777;
}

void Chmod(const QString& path, mode_t mode) {
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

void Symlink(const QString& target, const QString& link) {
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()),
              0);
}

class EngineUtilitiesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetEngineState();
        // Whatever a case does, nothing is started for real.
        platform::hooks::SetStartHook([this](const QString& program, const QStringList& args) {
            started.push_back({program, args});
            return started.size() > 1;  // the first start fails
        });
    }
    void TearDown() override {
        platform::hooks::SetStartHook(nullptr);
        platform::hooks::SetFreeSpaceQuery(nullptr);
        // Leave nothing the folder's removal cannot get through.
        for (const QString& name : folder.Entries()) {
            ::chmod(QFile::encodeName(folder.File(name)).constData(), 0700);
        }
    }

    TempFolder folder;
    FakeMainWindow form1;
    std::vector<platform::CommandLine> started;
};

TEST_F(EngineUtilitiesTest, ClearAttributesMakesFilesAndFoldersWritableButNeverThroughALink) {
    const QString target = folder.Write(QStringLiteral("target"), "t");
    Chmod(target, 0444);
    const QString link = folder.File(QStringLiteral("link"));
    Symlink(target, link);
    const QString fifo = folder.File(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0400), 0);
    struct Case {
        const char* name;
        QString path;
        mode_t before;
        mode_t after;
    };
    auto file = [&](const char* n) { return folder.Write(QLatin1String(n), "x"); };
    auto dir = [&](const char* n) {
        EXPECT_TRUE(QDir(folder.Path()).mkdir(QLatin1String(n)));
        return folder.File(QLatin1String(n));
    };
    const Case cases[] = {
        {"read-only file", file("ro"), 0444, 0644},
        {"file without any permission", file("none"), 0000, 0600},
        {"group and others untouched", file("mixed"), 0475, 0675},
        {"read-only folder", dir("rodir"), 0555, 0755},
        {"folder without any permission", dir("nodir"), 0000, 0700},
        {"the link's target", target, 0444, 0444},
        {"a fifo", fifo, 0400, 0400},
    };
    for (const auto& c : cases) {
        if (c.path != target && c.path != fifo)
            Chmod(c.path, c.before);
    }
    engine::ClearAttributes(link);
    for (const auto& c : cases) {
        if (c.path != target)
            engine::ClearAttributes(c.path);
        EXPECT_EQ(ModeOf(c.path), c.after) << c.name;
    }
    EXPECT_EQ(platform::KindOf(link), platform::FileKind::Link);

    // Nothing there, or no path at all: nothing happens.
    const QString missing = folder.File(QStringLiteral("missing"));
    engine::ClearAttributes(missing);
    engine::ClearAttributes(QString());
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(EngineUtilitiesTest, EsisteCartellaIsTrueOnlyForAFolder) {
    const QString sub = folder.File(QStringLiteral("sub"));
    ASSERT_TRUE(QDir().mkdir(sub));
    const QString file = folder.Write(QStringLiteral("file"), "x");
    const QString link = folder.File(QStringLiteral("link"));
    Symlink(sub, link);
    const QString dangling = folder.File(QStringLiteral("dangling"));
    Symlink(folder.File(QStringLiteral("nowhere")), dangling);
    struct Case {
        QString path;
        bool folder;
    };
    const Case cases[] = {
        {sub, true},
        {folder.Path(), true},
        {file, false},
        {link, false},
        {dangling, false},
        {folder.File(QStringLiteral("missing")), false},
        {file + QStringLiteral("/below"), false},
        {QString(), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(engine::EsisteCartella(c.path), c.folder) << c.path.toStdString();
    }
}

TEST_F(EngineUtilitiesTest, Drive1ChangeStoresTheFreeSpaceInTenMillionBytes) {
    struct Case {
        std::optional<std::uint64_t> freeBytes;
        std::int64_t tenThousandths;
    };
    const Case cases[] = {
        {52'428'800'000ull, 52'428'800},    // 5242.88
        {123'456'789'012ull, 123'456'789},  // 12345.6789: the last 12 bytes fall away
        {999ull, 1},                        // to the nearest thousand bytes
        {499ull, 0},
        {0ull, 0},
        {std::nullopt, 0},  // the query failed
    };
    QStringList asked;
    for (const auto& c : cases) {
        platform::hooks::SetFreeSpaceQuery([&](const QString& d) {
            asked << d;
            return c.freeBytes;
        });
        form1.drive = QStringLiteral("/media/data");
        form1.Totale = platform::Currency::FromWhole(99);
        engine::Drive1_Change();
        EXPECT_EQ(form1.Totale.tenThousandths, c.tenThousandths);
    }
    EXPECT_EQ(asked.size(), 6);
    EXPECT_EQ(asked.front(), QStringLiteral("/media/data")) << "the entry's text, unchanged";

    // The real query: a folder that is not there, and no entry at all.
    platform::hooks::SetFreeSpaceQuery(nullptr);
    for (const QString& drive : {folder.File(QStringLiteral("missing")), QString()}) {
        form1.drive = drive;
        form1.Totale = platform::Currency::FromWhole(99);
        engine::Drive1_Change();
        EXPECT_EQ(form1.Totale.tenThousandths, 0) << drive.toStdString();
    }
    form1.drive = folder.Path();
    engine::Drive1_Change();
    EXPECT_GT(form1.Totale.tenThousandths, 0);
}

TEST_F(EngineUtilitiesTest, ArrestaSistemaStartsBothRequestsEvenWhenTheFirstFails) {
    engine::ArrestaSistema();
    const std::vector<platform::CommandLine> expected = {
        {QStringLiteral("systemctl"), {QStringLiteral("poweroff")}},
        {QStringLiteral("shutdown"), {QStringLiteral("-P"), QStringLiteral("now")}},
    };
    EXPECT_EQ(started, expected);
}

}  // namespace
