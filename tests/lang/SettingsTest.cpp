#include <gtest/gtest.h>

#include <QFile>
#include <functional>
#include <utility>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "LangFixture.h"
#include "lang/Settings.h"

namespace {

using lang::ReadSettings;
using lang::SavedMethodIndex;
using lang::ScriviIni;
using lang::SettingsFilePath;
using testsupport::ReadFile;

TEST_F(LangTest, WritesTwoLinesEndedByCrLf) {
    EXPECT_EQ(SettingsFilePath(), folder.Path() + "/Quellix.ini");
    folder.Write("Quellix.ini", QByteArray(200, 'x'));  // rewritten whole
    ScriviIni(5, QStringLiteral("Português.lng"));
    EXPECT_EQ(ReadFile(SettingsFilePath()), "5\r\nPortugu\xC3\xAAs.lng\r\n");
    ScriviIni(-1, QStringLiteral(" a,b.lng "));
    EXPECT_EQ(ReadFile(SettingsFilePath()), "-1\r\n a,b.lng \r\n");
}

TEST_F(LangTest, ReadsTheTwoFieldsOfTheSettingsFile) {
    struct Case {
        const char* content;
        const char* metodo;  // "keep" and "kept": the variable was not touched
        const char* lingua;
    } cases[] = {
        {"5\r\nItaliano.lng\r\n", "5", "Italiano.lng"},
        {"-1\r\nEnglish.lng\r\n", "-1", "English.lng"},
        {"3\rSwedish.lng", "3", "Swedish.lng"},
        {"4\r\n", "4", "kept"},  // a first line only
        {"", "keep", "kept"},    // an empty file
        {"\r\nRussian.lng\r\n", "", "Russian.lng"},
        {"0\r\nMy,Lang.lng\r\n", "0", "My"},  // a comma ends the name
        {"  \"2\"\r\n\"A, B.lng\"\r\n", "2", "A, B.lng"},
        {"6\nSwedish.lng\n", "6\nSwedish.lng\n", "kept"},  // an LF alone is no line end
        {"7,English.lng\r\n", "7", "English.lng"},
    };
    for (const auto& c : cases) {
        folder.Write("Quellix.ini", c.content);
        QString metodo = "keep", lingua = "kept";
        EXPECT_TRUE(ReadSettings(metodo, lingua)) << c.content;
        EXPECT_EQ(metodo, QString::fromUtf8(c.metodo)) << c.content;
        EXPECT_EQ(lingua, QString::fromUtf8(c.lingua)) << c.content;
    }
}

TEST_F(LangTest, ANameWithACommaIsWrittenWholeButReadBackShort) {
    ScriviIni(2, "My,Lang.lng");
    QString metodo, lingua;
    ASSERT_TRUE(ReadSettings(metodo, lingua));
    EXPECT_EQ(metodo, "2");
    EXPECT_EQ(lingua, "My");
}

TEST_F(LangTest, OnlyAnOrdinaryFileIsASettingsFile) {
    QString metodo = "keep", lingua = "kept";
    EXPECT_FALSE(ReadSettings(metodo, lingua));  // missing: a first start

    const QString target = folder.Write("real.ini", "5\r\nItaliano.lng\r\n");
    ASSERT_TRUE(QFile::link(target, SettingsFilePath()));
    EXPECT_FALSE(ReadSettings(metodo, lingua));
    // Writing never goes through the link either.
    ScriviIni(1, "English.lng");
    EXPECT_EQ(ReadFile(target), "5\r\nItaliano.lng\r\n");

    ASSERT_TRUE(QFile::remove(SettingsFilePath()));
    ASSERT_TRUE(QDir(folder.Path()).mkdir("Quellix.ini"));
    EXPECT_FALSE(ReadSettings(metodo, lingua));
    EXPECT_NO_THROW(ScriviIni(1, "English.lng"));

    EXPECT_EQ(metodo, "keep");
    EXPECT_EQ(lingua, "kept");
}

#ifndef _WIN32
// The settings file's name held by another name of a file of the user's or by a
// link to it (absolute or relative): the two lines replace it, and the user's file
// keeps every byte. Nothing else is left in the folder.
TEST_F(LangTest, WritingReplacesALinkAtTheNameAndNeverWritesThroughIt) {
    const QByteArray words = "5\r\nItaliano.lng\r\nthe user's own words\r\n";
    const QString mine = folder.Write("mine.txt", words);
    const QByteArray from = QFile::encodeName(mine);
    const QByteArray at = QFile::encodeName(SettingsFilePath());
    const std::pair<const char*, std::function<int()>> cases[] = {
        {"hard link", [&] { return ::link(from.constData(), at.constData()); }},
        {"link", [&] { return ::symlink(from.constData(), at.constData()); }},
        {"relative link", [&] { return ::symlink("Lang/../mine.txt", at.constData()); }},
    };
    for (const auto& [name, plant] : cases) {
        SCOPED_TRACE(name);
        QFile::remove(SettingsFilePath());
        ASSERT_EQ(plant(), 0);
        ScriviIni(1, "English.lng");
        EXPECT_EQ(ReadFile(mine), words);
        struct stat st {};
        ASSERT_EQ(::lstat(at.constData(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_EQ(st.st_nlink, 1u);
        EXPECT_EQ(ReadFile(SettingsFilePath()), "1\r\nEnglish.lng\r\n");
        EXPECT_EQ(folder.Entries(), (QStringList{"Lang", "mine.txt", "Quellix.ini"}));
    }
}
#endif

TEST(SavedMethodIndex, SelectsMethodsZeroToEightOrNothing) {
    struct Case {
        const char* saved;
        int index;
    } cases[] = {
        {"0", 0},   {"5", 5},   {"8", 8},      {"", 0},       {"abc", 0},     {" 7", 7}, {"3x", 3},
        {"2.5", 2}, {"3.5", 4}, {"8.4", 8},    {"8.6", -1},   {"-0.4", 0},    {"9", -1}, {"12", -1},
        {"-3", -1}, {"-1", -1}, {"40000", -1}, {"1e400", -1}, {"-32769", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SavedMethodIndex(QString::fromUtf8(c.saved)), c.index) << c.saved;
    }
}

TEST_F(LangTest, AFolderThatCannotBeWrittenLeavesNoFileAndNoMessage) {
    testsupport::BoxRecorder boxes;
    platform::hooks::SetFaultInjector([](platform::hooks::FileOp op, const QString&) {
        return op == platform::hooks::FileOp::OpenOutput ? platform::hooks::Fault::AccessDenied
                                                         : platform::hooks::Fault::None;
    });
    EXPECT_NO_THROW(ScriviIni(0, "English.lng"));
    EXPECT_FALSE(QFile::exists(SettingsFilePath()));

    // A file already there keeps what it held.
    platform::hooks::SetFaultInjector(nullptr);
    ScriviIni(3, "Italiano.lng");
    platform::hooks::SetFaultInjector([](platform::hooks::FileOp op, const QString&) {
        return op == platform::hooks::FileOp::OpenOutput ? platform::hooks::Fault::ReadOnly
                                                         : platform::hooks::Fault::None;
    });
    ScriviIni(4, "English.lng");
    EXPECT_EQ(ReadFile(SettingsFilePath()), "3\r\nItaliano.lng\r\n");
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(LangTest, ALineThatCannotBeWrittenIsMissingAndTheNextIsStillTried) {
    int writes = 0;
    platform::hooks::SetFaultInjector([&writes](platform::hooks::FileOp op, const QString&) {
        return op == platform::hooks::FileOp::Write && writes++ == 0
                   ? platform::hooks::Fault::DiskFull
                   : platform::hooks::Fault::None;
    });
    EXPECT_NO_THROW(ScriviIni(6, "Swedish.lng"));
    EXPECT_EQ(ReadFile(SettingsFilePath()), "Swedish.lng\r\n");
}

#ifndef _WIN32
// Runs the settings writer in a read-only program folder as a user that the
// folder's permissions bind: this one, or, for root, a child turned "nobody".
// Returns 0 when no file and no message came of it, 2 when no such user could run.
int WriteInReadOnlyFolder() {
    if (::geteuid() != 0) {
        testsupport::BoxRecorder boxes;
        ScriviIni(0, "English.lng");
        return QFile::exists(SettingsFilePath()) ? 3 : boxes.boxes.empty() ? 0 : 4;
    }
    const pid_t child = ::fork();
    if (child < 0)
        return 2;
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        testsupport::BoxRecorder boxes;
        ScriviIni(0, "English.lng");
        ::_exit(QFile::exists(SettingsFilePath()) ? 3 : boxes.boxes.empty() ? 0 : 4);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return 5;
    return WEXITSTATUS(status);
}

TEST_F(LangTest, AReadOnlyProgramFolderLeavesNoFileAndNoMessage) {
    const QFile::Permissions writable = QFile::permissions(folder.Path());
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                          QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(folder.Path(), readOnly));
    const int result = WriteInReadOnlyFolder();
    QFile::setPermissions(folder.Path(), writable);
    if (result == 2) {
        GTEST_SKIP() << "no user that folder permissions bind could run the writer; the "
                        "fault-injection test covers a folder that cannot be written";
    }
    EXPECT_EQ(result, 0) << "3: a file was left, 4: a message was shown, 5: the child failed";
    EXPECT_FALSE(QFile::exists(SettingsFilePath()));
}
#endif

}  // namespace
