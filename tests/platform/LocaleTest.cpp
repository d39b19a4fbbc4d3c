#include <gtest/gtest.h>

#include <QCoreApplication>

#include "platform/Locale.h"
#include "platform/ProgramFolder.h"

namespace {

TEST(UserLanguageCode, GivesTheTwoLetterCodeOfTheLocale) {
    struct Case {
        const char* locale;
        const char* code;
    } cases[] = {
        {"it_IT.UTF-8", "it"}, {"pt_BR", "pt"}, {"sv", "sv"},
        {"de_DE@euro", "de"},  {"", ""},        {"C", ""},
        {"POSIX", ""},         {"fil_PH", ""},  // no two-letter code for this language
    };
    for (const Case& c : cases) {
        platform::hooks::SetUserLocale(QString::fromLatin1(c.locale));
        EXPECT_EQ(platform::UserLanguageCode(), QLatin1String(c.code)) << c.locale;
    }
    platform::hooks::SetUserLocale(std::nullopt);
    const QString code = platform::UserLanguageCode();
    EXPECT_TRUE(code.isEmpty() || (code.size() == 2 && code == code.toLower()))
        << code.toStdString();
}

TEST(ProgramFolder, IsTheExecutablesFolderUnlessATestMovesIt) {
    EXPECT_EQ(platform::ProgramFolder(), QCoreApplication::applicationDirPath());
    platform::hooks::SetProgramFolder(QStringLiteral("/some/where"));
    EXPECT_EQ(platform::ProgramFolder(), "/some/where");
    platform::hooks::SetProgramFolder(QString());
    EXPECT_EQ(platform::ProgramFolder(), QCoreApplication::applicationDirPath());
}

}  // namespace
