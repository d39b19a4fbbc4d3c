// The language files delivered with the program: one line for every entry,
// in the shape the loader reads.
#include <gtest/gtest.h>

#include <QFile>
#include <set>

#include "lang/LanguageFile.h"
#include "lang/Testi.h"
#include "platform/ProgramFolder.h"
#include "platform/TextInput.h"

namespace {

const char* const kLanguages[] = {"English", "Italiano", "Português", "Russian", "Swedish"};

// Entries the program loads but never shows.
const std::set<int> kNeverShown = {16, 33, 53, 54, 59, 63, 75, 76, 84, 85, 86, 87, 88, 89, 90};
// Entries put on menus after an "&" of the program's own.
const std::set<int> kAfterAccessKey = {3, 4, 80, 83};

class LanguageFileShape : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        name = QString::fromUtf8(GetParam()) + QStringLiteral(".lng");
        QFile file(QStringLiteral(QUELLIX_SOURCE_DIR "/data/Lang/") + name);
        if (!file.open(QIODevice::ReadOnly)) {
            GTEST_SKIP() << "data/Lang/" << name.toStdString() << " is not there yet";
        }
        content = file.readAll();
    }
    QString name;
    QByteArray content;
};

TEST_P(LanguageFileShape, HasNinetyCrLfLinesWithATextForEveryShownEntry) {
    ASSERT_TRUE(content.endsWith("\r\n")) << "the last line lacks its CR LF";
    ASSERT_FALSE(content.startsWith("\xEF\xBB\xBF")) << "a byte-order mark";
    ASSERT_EQ(QString::fromUtf8(content).toUtf8(), content) << "not valid UTF-8";
    QList<QByteArray> lines = content.split('\n');
    lines.removeLast();  // after the last LF
    ASSERT_EQ(lines.size(), lang::kLastTextLine);
    for (int n = 1; n <= lang::kLastTextLine; ++n) {
        QByteArray raw = lines[n - 1];
        ASSERT_TRUE(raw.endsWith('\r')) << "line " << n << " ends with an LF alone";
        raw.chop(1);
        ASSERT_FALSE(raw.contains('\r')) << "line " << n << " holds a CR";
        const QString line = QString::fromUtf8(raw);
        // The prefix is free to the loader; these files number their lines, which
        // shows a line lost or added at once.
        EXPECT_TRUE(line.startsWith(QStringLiteral("%1 ").arg(n, 2, 10, QLatin1Char('0'))))
            << "line " << n << ": " << line.toStdString();
        const QString text = line.mid(lang::kLinePrefix);
        if (!kNeverShown.count(n)) {
            EXPECT_FALSE(text.trimmed().isEmpty()) << "entry " << n << " is shown but empty";
        }
        if (kAfterAccessKey.count(n)) {
            EXPECT_FALSE(text.contains(QLatin1Char('&')))
                << "entry " << n << " gets its access key from the program: " << text.toStdString();
        }
    }
}

TEST_P(LanguageFileShape, LoadsIntoTheTextTable) {
    platform::hooks::SetProgramFolder(QStringLiteral(QUELLIX_SOURCE_DIR "/data"));
    lang::Testi.fill(QString());
    lang::LoadLanguageFile(name);
    platform::hooks::SetProgramFolder(QString());

    const QStringList lines = platform::SplitLines(QString::fromUtf8(content));
    EXPECT_EQ(lang::Testi[0], "");
    for (int n = 1; n <= lang::kLastTextLine && n <= lines.size(); ++n) {
        EXPECT_EQ(lang::Testi[n], lines[n - 1].mid(lang::kLinePrefix)) << "entry " << n;
    }
    EXPECT_FALSE(lang::Testi[1].isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Delivered, LanguageFileShape, ::testing::ValuesIn(kLanguages),
                         [](const auto& info) {
                             // Test names are ASCII: "Português" becomes "Portugu_s".
                             std::string s = info.param;
                             std::string out;
                             for (unsigned char c : s) {
                                 if (std::isalnum(c)) {
                                     out += static_cast<char>(c);
                                 } else if (c < 0x80 || (c & 0xC0) == 0xC0) {
                                     out += '_';
                                 }
                             }
                             return out;
                         });

}  // namespace
