#include <gtest/gtest.h>

#include "LangFixture.h"
#include "lang/LanguageFile.h"

namespace {

using lang::LoadLanguageFile;
using lang::Testi;

TEST_F(LangTest, LinesAfterTheNinetiethAreIgnored) {
    WriteLanguage("Long.lng", NumberedLines(1, 95, "text"));
    LoadLanguageFile("Long.lng");
    EXPECT_EQ(Testi[0], "");
    EXPECT_EQ(Testi[1], "text 1");
    EXPECT_EQ(Testi[90], "text 90");
}

TEST_F(LangTest, AShortFileLeavesTheRestOfTheTableAsItWas) {
    WriteLanguage("Short.lng", NumberedLines(1, 40, "short"));
    WriteLanguage("Full.lng", NumberedLines(1, 90, "full"));

    LoadLanguageFile("Short.lng");  // the first loading: the rest stays empty
    EXPECT_EQ(Testi[40], "short 40");
    for (int n = 41; n <= 90; ++n) EXPECT_EQ(Testi[n], "") << n;

    LoadLanguageFile("Full.lng");
    LoadLanguageFile("Short.lng");  // the table is never cleared
    EXPECT_EQ(Testi[1], "short 1");
    EXPECT_EQ(Testi[40], "short 40");
    EXPECT_EQ(Testi[41], "full 41");
    EXPECT_EQ(Testi[90], "full 90");
    EXPECT_EQ(Testi[0], "");
}

TEST_F(LangTest, SkipsThePrefixAndKeepsEntriesOfShortLines) {
    struct Case {
        const char* line;
        const char* text;  // the entry after loading; "old" when left alone
    } cases[] = {
        {"", "old"},
        {"x", "old"},
        {"ab", ""},
        {"abc", ""},
        {"abcdefg", "defg"},
        {"07   blanks kept  ", "  blanks kept  "},
        {"\xC3\x84\xC3\x96\xC3\x9C"
         "text",
         "text"},  // three characters, not three bytes
        {"12 \xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9", "Русский"},
        {"\xF0\x9F\x98\x80\xF0\x9F\x98\x80", ""},  // two characters beyond the BMP
        {"\xF0\x9F\x98\x80"
         "ab\xF0\x9F\x98\x80",
         "\xF0\x9F\x98\x80"},
        {"01\t&Tab", "&Tab"},
    };
    QByteArray file;
    for (const Case& c : cases) file += QByteArray(c.line) + "\r\n";
    Testi.fill(QStringLiteral("old"));
    WriteLanguage("Cases.lng", file);
    LoadLanguageFile("Cases.lng");
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(Testi[i + 1], QString::fromUtf8(cases[i].text)) << "line " << i + 1;
    }
}

TEST_F(LangTest, ReadsLinesEndedByCrAloneAndKeepsLoneLineFeeds) {
    Testi.fill(QStringLiteral("old"));
    WriteLanguage("Lf.lng", "01 A\n02 B\n03 C\n");
    LoadLanguageFile("Lf.lng");
    EXPECT_EQ(Testi[1], "A\n02 B\n03 C\n");  // one line
    EXPECT_EQ(Testi[2], "old");

    WriteLanguage("Cr.lng", "01 A\r02 B\r\r\n04 D");  // the last line lacks its line end
    LoadLanguageFile("Cr.lng");
    EXPECT_EQ(Testi[1], "A");
    EXPECT_EQ(Testi[2], "B");
    EXPECT_EQ(Testi[3], "old");  // an empty line
    EXPECT_EQ(Testi[4], "D");
    EXPECT_EQ(Testi[5], "old");
}

TEST_F(LangTest, AByteOrderMarkIsNotPartOfThePrefix) {
    WriteLanguage("Bom.lng",
                  "\xEF\xBB\xBF"
                  "01 File\r\n");
    LoadLanguageFile("Bom.lng");
    EXPECT_EQ(Testi[1], "File");
}

TEST_F(LangTest, AFileThatCannotBeReadChangesNothing) {
    testsupport::BoxRecorder boxes;
    Testi.fill(QStringLiteral("old"));
    Testi[0].clear();
    ASSERT_TRUE(QDir(folder.Path()).mkdir("Lang/Folder.lng"));
    for (const char* name : {"Missing.lng", "", "Folder.lng"}) {
        EXPECT_NO_THROW(LoadLanguageFile(QString::fromUtf8(name))) << name;
    }
    for (int n = 1; n <= 90; ++n) EXPECT_EQ(Testi[n], "old") << n;
    EXPECT_EQ(Testi[0], "");
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(LangTest, TheLanguageFileIsInTheLangFolderOfTheProgramFolder) {
    EXPECT_EQ(lang::LanguageFilePath("Italiano.lng"), folder.Path() + "/Lang/Italiano.lng");
    WriteLanguage("Português.lng", "01 Arquivo\r\n");
    LoadLanguageFile(QStringLiteral("Português.lng"));
    EXPECT_EQ(Testi[1], "Arquivo");
}

TEST_F(LangTest, TheFirstStartLanguageFollowsTheLocale) {
    struct Case {
        const char* locale;
        const char* file;
    } cases[] = {
        {"it", "Italiano.lng"}, {"pt_BR", "Português.lng"}, {"ru", "Russian.lng"},
        {"sv", "Swedish.lng"},  {"fr", "English.lng"},      {"de", "English.lng"},
        {"en", "English.lng"},  {"", "English.lng"},        {"it_CH.UTF-8", "Italiano.lng"},
    };
    for (const Case& c : cases) {
        platform::hooks::SetUserLocale(QString::fromLatin1(c.locale));
        EXPECT_EQ(lang::FirstStartLanguageFile(), QString::fromUtf8(c.file)) << c.locale;
    }
}

TEST(LanguageFileForCode, LowerCasesAndComparesTheFirstTwoCharacters) {
    EXPECT_EQ(lang::LanguageFileForCode("IT"), "Italiano.lng");
    EXPECT_EQ(lang::LanguageFileForCode("svx"), "Swedish.lng");
    EXPECT_EQ(lang::LanguageFileForCode("p"), "English.lng");
    EXPECT_EQ(lang::LanguageFileForCode(" ru"), "English.lng");
    EXPECT_EQ(lang::GetLingua(0x5A), "");  // an item the program does not ask for
}

TEST_F(LangTest, OnlyANameOfBlanksIsReplacedByTheLocalesLanguage) {
    platform::hooks::SetUserLocale(QStringLiteral("ru_RU"));
    struct Case {
        const char* before;
        const char* after;
    } cases[] = {{"", "Russian.lng"},
                 {"  \t ", "Russian.lng"},
                 {"Missing.lng", "Missing.lng"},
                 {" Swedish.lng", " Swedish.lng"}};
    for (const Case& c : cases) {
        QString fileLingua = QString::fromUtf8(c.before);
        lang::ChooseLanguageIfNone(fileLingua);
        EXPECT_EQ(fileLingua, QString::fromUtf8(c.after)) << c.before;
    }
}

}  // namespace
