// Start-up: the title, the settings read and written, the language applied.
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include "AppFixture.h"
#include "lang/Testi.h"
#include "platform/Events.h"
#include "platform/Locale.h"

namespace apptest {
namespace {

TEST_F(AppTest, TitleIsTheProductNameAndTheVersion) {
    EXPECT_EQ(app::ProgramTitle(), QStringLiteral("Quellix %1.%2.%3")
                                       .arg(QUELLIX_VERSION_MAJOR)
                                       .arg(QUELLIX_VERSION_MINOR)
                                       .arg(QUELLIX_VERSION_PATCH));
    StartUp();
    EXPECT_EQ(form().Caption(), "Quellix 2.1.4");
    EXPECT_EQ(form().Window()->windowTitle(), "Quellix 2.1.4");
    // A change of language leaves it.
    form().FileLingua = QStringLiteral("Italiano.lng");
    form().LeggeIni();
    EXPECT_EQ(form().Caption(), "Quellix 2.1.4");
}

TEST_F(AppTest, StartUpShowsTheWindowAndGivesThePointerBack) {
    int pointerWhileLoading = -1;
    platform::SetScreenMousePointer(platform::pointer::Default);
    // The list's click runs while the window loads: the hourglass is up then.
    form().Combo1.Click = [&] {
        pointerWhileLoading = platform::ScreenMousePointer();
        form().Combo1_Click();
    };
    StartUp();
    EXPECT_EQ(pointerWhileLoading, platform::pointer::Hourglass);
    EXPECT_EQ(platform::ScreenMousePointer(), platform::pointer::Default);
    EXPECT_TRUE(form().IsShown());
    EXPECT_EQ(ends_, 0);
    form().Combo1.Click = [this] { form().Combo1_Click(); };
}

TEST_F(AppTest, FirstStartTakesTheLocalesLanguageAndMethodZero) {
    struct Case {
        const char* locale;
        const char* file;
        const char* mark;
    } cases[] = {{"it_IT.UTF-8", "Italiano.lng", "I"}, {"fr_FR", "English.lng", "E"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        QFile::remove(folder_.File(QStringLiteral("Quellix.ini")));
        form().Unload();
        form().FileLingua.clear();
        form().MetodoSalvato.clear();
        lang::Testi.fill(QString());
        platform::hooks::SetUserLocale(QString::fromLatin1(c.locale));
        StartUp();
        const QString mark = QString::fromLatin1(c.mark);
        EXPECT_EQ(form().Combo1.ListIndex(), 0);
        EXPECT_EQ(form().Combo1.Text(), mark + "35");
        EXPECT_EQ(form().Label9.Caption(), mark + "36");
        EXPECT_EQ(Settings(), QByteArray("0\r\n") + c.file + "\r\n");
    }
}

TEST_F(AppTest, SavedMethodIsSelected) {
    struct Case {
        const char* saved;
        int index;
        const char* description;  // Label9's caption
        double size;              // Label9's font size
        const char* written;      // line 1 after the start
    } cases[] = {
        {"8", 8, "E52", 10, "8"},
        {"3", 3, "E42", 15, "3"},
        {"12", -1, "Metodo di cancellazione", 15, "-1"},
        {"-3", -1, "Metodo di cancellazione", 15, "-1"},
        {"2.5", 2, "E40", 15, "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.saved);
        form().Unload();
        form().MetodoSalvato.clear();
        form().FileLingua.clear();
        WriteSettings(QByteArray(c.saved) + "\r\nEnglish.lng\r\n");
        StartUp();
        EXPECT_EQ(form().Combo1.ListIndex(), c.index);
        EXPECT_EQ(form().Label9.Caption(), c.description);
        EXPECT_EQ(form().Label9.Font().size, c.size);
        EXPECT_EQ(Settings(), QByteArray(c.written) + "\r\nEnglish.lng\r\n");
    }
    // The fourth entry is method 3.
    form().Unload();
    WriteSettings("3\r\nEnglish.lng\r\n");
    StartUp();
    EXPECT_EQ(form().Combo1.Text(), "E41");
}

TEST_F(AppTest, ListHoldsNineEntriesHoweverOftenTheTextsAreApplied) {
    StartUp();
    form().CambiaLingua();
    form().CambiaLingua();
    ASSERT_EQ(form().Combo1.ListCount(), 9);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(form().Combo1.List(i), QStringLiteral("E%1").arg(35 + 2 * i));
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(form().Descrizioni[static_cast<std::size_t>(i)],
                  QStringLiteral("E%1").arg(36 + 2 * i));
    }
    for (int i = 9; i <= 20; ++i) EXPECT_EQ(form().Descrizioni[static_cast<std::size_t>(i)], "");
}

TEST_F(AppTest, ChangeOfLanguageKeepsTheSelectedMethod) {
    WriteSettings("0\r\nEnglish.lng\r\n");
    StartUp();
    form().Combo1.SetListIndex(5);
    EXPECT_EQ(Settings(), "5\r\nEnglish.lng\r\n");
    // What the language menu does with a new file.
    form().FileLingua = QStringLiteral("Italiano.lng");
    form().ScriviIni();
    form().LeggeIni();
    form().CambiaLingua();
    EXPECT_EQ(form().Combo1.ListIndex(), 5);
    EXPECT_EQ(form().Combo1.Text(), "I45");
    EXPECT_EQ(form().Label9.Caption(), "I46");
    EXPECT_EQ(form().mnuFile.Caption(), "I1");
    EXPECT_EQ(Settings(), "5\r\nItaliano.lng\r\n");
}

TEST_F(AppTest, CaptionsComeFromTheTexts) {
    StartUp();
    struct Case {
        QString caption;
        const char* expected;
    };
    auto& f = form();
    const Case cases[] = {
        {f.mnuFile.Caption(), "E1"},
        {f.mnuEsci.Caption(), "E2"},
        {f.mnuDistruggi.Caption(), "&E3"},
        {f.mnuDistruggiFile.Caption(), "&E83"},
        {f.mnuDistruggiCartella.Caption(), "&E80..."},
        {f.mnuDistruggiSpazioLibero.Caption(), "&E4"},
        {f.mnuOpzioni.Caption(), "E56"},
        {f.mnuLingua.Caption(), "E55"},
        {f.mnuAggLingua.Caption(), "E79"},
        {f.mnuDonazioni.Caption(), "E5"},
        {f.mnuFaiDonazione.Caption(), "E6"},
        {f.mnuHelp.Caption(), "&?"},
        {f.mnuGuida.Caption(), "E7"},
        {f.mnuVersioni.Caption(), "E82"},
        {f.mnuAggiornamenti.Caption(), "E8"},
        {f.mnuInfo.Caption(), "E9"},
        {f.Command1.Caption(), "E3 E83"},
        {f.Command2.Caption(), "E3 E4"},
        {f.Command3.Caption(), "E80"},
        {f.Label1.Caption(), "E34"},
        {f.Label4.Caption(), "E10"},
        {f.Label2.Caption(), "By Corvane - E11"},
        {f.Label3.Caption(), "E36"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.caption, QString::fromUtf8(c.expected));
}

TEST_F(AppTest, EmptyTextsLeaveWhatTheCaptionsAdd) {
    StartUp();
    lang::Testi[3].clear();
    form().CambiaLingua();
    EXPECT_EQ(form().Command1.Caption(), " E83");
    EXPECT_EQ(form().Command2.Caption(), " E4");
    EXPECT_EQ(form().mnuDistruggi.Caption(), "&");

    lang::Testi.fill(QString());
    form().CambiaLingua();
    EXPECT_EQ(form().mnuDistruggi.Caption(), "&");
    EXPECT_EQ(form().mnuDistruggiFile.Caption(), "&");
    EXPECT_EQ(form().mnuDistruggiCartella.Caption(), "&...");
    EXPECT_EQ(form().mnuDistruggiSpazioLibero.Caption(), "&");
    EXPECT_EQ(form().mnuFile.Caption(), "");
    EXPECT_EQ(form().Command1.Caption(), " ");
    EXPECT_EQ(form().Command3.Caption(), "");
    EXPECT_EQ(form().Label2.Caption(), "By Corvane - ");
    EXPECT_EQ(form().mnuHelp.Caption(), "&?");
}

TEST_F(AppTest, MissingLanguageFileAtFirstStartLeavesAWorkingWindow) {
    QDir(folder_.File(QStringLiteral("Lang"))).removeRecursively();
    StartUp();
    EXPECT_TRUE(form().IsShown());
    EXPECT_EQ(form().mnuFile.Caption(), "");
    EXPECT_EQ(form().Label1.Caption(), "");
    EXPECT_EQ(form().Combo1.ListCount(), 9);
    EXPECT_EQ(form().Combo1.ListIndex(), 0);
    EXPECT_EQ(form().Combo1.Text(), "");
    EXPECT_EQ(form().Label9.Caption(), "");
    EXPECT_EQ(Settings(), "0\r\nEnglish.lng\r\n");
    // The window still answers the user.
    form().Combo1.SetListIndex(4);
    EXPECT_EQ(Settings(), "4\r\nEnglish.lng\r\n");
}

TEST_F(AppTest, SettingsWithoutALanguageTakeTheLocalesAndAreRewritten) {
    platform::hooks::SetUserLocale(QStringLiteral("it_IT"));
    WriteSettings("6\r\n");
    StartUp();
    EXPECT_EQ(form().Combo1.ListIndex(), 6);
    EXPECT_EQ(form().mnuFile.Caption(), "I1");
    EXPECT_EQ(Settings(), "6\r\nItaliano.lng\r\n");
}

// The settings file's name held by another name of a file of the user's, or by a
// link to it: the start and a change of method put the settings file in its
// place, and the user's file keeps every byte.
TEST_F(AppTest, SettingsReplaceALinkAtTheirNameAndNeverWriteThroughIt) {
    const QByteArray words = "3\r\nEnglish.lng\r\nthe user's own words\r\n";
    for (bool hard : {true, false}) {
        SCOPED_TRACE(hard ? "hard link" : "link");
        form().Unload();
        form().MetodoSalvato.clear();
        form().FileLingua.clear();
        const QString mine = folder_.Write(QStringLiteral("mine.txt"), words);
        const QString ini = folder_.File(QStringLiteral("Quellix.ini"));
        QFile::remove(ini);
        const auto plant = hard ? ::link : ::symlink;
        ASSERT_EQ(plant(QFile::encodeName(mine).constData(), QFile::encodeName(ini).constData()),
                  0);
        StartUp();
        // Another name of the file is read as the settings; a link is not.
        EXPECT_EQ(form().Combo1.ListIndex(), hard ? 3 : 0);
        EXPECT_EQ(Settings(), hard ? "3\r\nEnglish.lng\r\n" : "0\r\nEnglish.lng\r\n");
        EXPECT_EQ(testsupport::ReadFile(mine), words);
        form().Combo1.SetListIndex(5);
        EXPECT_EQ(Settings(), "5\r\nEnglish.lng\r\n");
        EXPECT_EQ(testsupport::ReadFile(mine), words);
        EXPECT_FALSE(QFileInfo(ini).isSymLink());
        EXPECT_EQ(folder_.Entries(), (QStringList{"Lang", "mine.txt", "Quellix.ini"}));
    }
}

}  // namespace
}  // namespace apptest
