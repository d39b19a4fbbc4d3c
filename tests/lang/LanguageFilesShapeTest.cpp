// The language files delivered with the program: one line for every entry,
// in the shape the loader reads, and menus the keyboard can reach in every
// language.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>
#include <map>
#include <set>

#include "app/Form1.h"
#include "app/Main.h"
#include "lang/LanguageFile.h"
#include "lang/Testi.h"
#include "platform/Application.h"
#include "platform/Drives.h"
#include "platform/Locale.h"
#include "platform/ProgramFolder.h"
#include "platform/TextInput.h"
#include "support/TestSupport.h"

namespace {

const char* const kLanguages[] = {"English", "Italiano", "Português", "Russian", "Swedish"};

// Entries the program loads but never shows.
const std::set<int> kNeverShown = {16, 33, 53, 54, 59, 63, 75, 76, 86, 87, 88, 89, 90};
// Entries put on menus after an "&" of the program's own.
const std::set<int> kAfterAccessKey = {3, 4, 80, 83};
// Menu entries that the program puts on the menus as they are: each carries
// its own access key.
const std::set<int> kOwnAccessKey = {1, 2, 5, 6, 7, 8, 9, 55, 56, 79, 82};

// How many access keys a menu caption marks: an "&" before a character,
// "&&" being an ampersand shown as such.
int AccessKeyCount(const QString& caption) {
    int count = 0;
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (caption[i + 1] != QLatin1Char('&'))
                ++count;
            ++i;
        }
    }
    return count;
}

QString DeliveredPath(const QString& name) {
    return QStringLiteral(QUELLIX_SOURCE_DIR "/data/Lang/") + name;
}

class LanguageFileShape : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        name = QString::fromUtf8(GetParam()) + QStringLiteral(".lng");
        QFile file(DeliveredPath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly))
            << "data/Lang/" << name.toStdString() << " is delivered with the program";
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
        if (kOwnAccessKey.count(n)) {
            EXPECT_EQ(AccessKeyCount(text), 1) << "entry " << n << ": " << text.toStdString();
        }
        // The program puts the count right after text 84, and a blank and the
        // amount after text 85.
        if (n == 84) {
            EXPECT_TRUE(text.endsWith(QLatin1Char(' '))) << text.toStdString();
        }
        if (n == 85) {
            EXPECT_FALSE(text.endsWith(QLatin1Char(' '))) << text.toStdString();
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

// Test names are ASCII: "Português" becomes "Portugu_s".
std::string AsciiName(const ::testing::TestParamInfo<const char*>& info) {
    std::string out;
    for (const char* p = info.param; *p; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (std::isalnum(c)) {
            out += static_cast<char>(c);
        } else if (c < 0x80 || (c & 0xC0) == 0xC0) {
            out += '_';
        }
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(Delivered, LanguageFileShape, ::testing::ValuesIn(kLanguages), AsciiName);

// The real main window, started in a program folder of the test's own that
// holds one delivered language file and names it in its settings.
class DeliveredMenus : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(folder_.Path()).mkdir(QStringLiteral("Lang")));
        platform::hooks::SetProgramFolder(folder_.Path());
        platform::hooks::SetUserLocale(QStringLiteral("en_US"));
        platform::hooks::SetMountedVolumes(
            std::vector<platform::MountedVolume>{
                {QStringLiteral("/"), QStringLiteral("/dev/sda1"), QStringLiteral("ext4")}},
            QStringLiteral("/"));
        platform::hooks::SetEndHandler([this] { ++ends_; });
        lang::Testi.fill(QString());
        app::Form1().FileLingua.clear();
        app::Form1().MetodoSalvato.clear();
    }
    void TearDown() override {
        app::Form1().Unload();
        platform::hooks::SetEndHandler(nullptr);
        platform::hooks::SetMountedVolumes(std::nullopt);
        platform::hooks::SetUserLocale(std::nullopt);
        platform::hooks::SetProgramFolder(QString());
    }

    // Starts the program in the language; false when its file is missing or the
    // window does not become the active one.
    bool StartIn(const char* language) {
        const QString name = QString::fromUtf8(language) + QStringLiteral(".lng");
        QFile file(DeliveredPath(name));
        if (!file.open(QIODevice::ReadOnly))
            return false;
        folder_.Write(QStringLiteral("Lang/") + name, file.readAll());
        folder_.Write(QStringLiteral("Quellix.ini"), "0\r\n" + name.toUtf8() + "\r\n");
        app::Main();
        QWidget* window = app::Form1().Window();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window);
    }

    // Types Alt with the key on the main window, as the user does. The key goes
    // with its text, which is how a letter outside ASCII comes in.
    static void AltKey(const QKeySequence& mnemonic) {
        const QKeyCombination key = mnemonic[0];
        const QString text = QString(QChar(static_cast<char16_t>(key.key()))).toLower();
        QTest::sendKeyEvent(QTest::Click, app::Form1().Window(), key.key(), text,
                            key.keyboardModifiers());
    }

    // Closes whatever popup menu is open.
    static void CloseMenus() {
        while (QWidget* popup = QApplication::activePopupWidget())
            QTest::keyClick(popup, Qt::Key_Escape);
    }

    testsupport::TempFolder folder_;
    int ends_ = 0;
};

TEST_P(DeliveredMenus, EveryItemHasAnAccessKeyOfItsOwnWithinItsMenu) {
    ASSERT_TRUE(StartIn(GetParam())) << "the window is not shown and active";
    QMenuBar* bar = app::Form1().MenuBar();
    std::vector<std::pair<QString, QList<QAction*>>> menus{
        {QStringLiteral("menu bar"), bar->actions()}};
    for (QAction* top : bar->actions()) {
        ASSERT_NE(top->menu(), nullptr) << top->text().toStdString();
        menus.emplace_back(top->text(), top->menu()->actions());
    }
    for (const auto& [menu, actions] : menus) {
        std::map<QKeySequence, QString> keys;
        for (QAction* action : actions) {
            if (action->isSeparator())
                continue;
            const QString caption = action->text();
            EXPECT_EQ(AccessKeyCount(caption), 1)
                << menu.toStdString() << ": " << caption.toStdString();
            const QKeySequence key = QKeySequence::mnemonic(caption);
            if (key.isEmpty())
                continue;
            const auto [at, fresh] = keys.emplace(key, caption);
            EXPECT_TRUE(fresh) << menu.toStdString() << ": " << caption.toStdString() << " and "
                               << at->second.toStdString() << " share "
                               << key.toString().toStdString();
        }
    }
}

TEST_P(DeliveredMenus, NoItemStartsWithALowerCaseLetter) {
    ASSERT_TRUE(StartIn(GetParam())) << "the window is not shown and active";
    QList<QAction*> actions = app::Form1().MenuBar()->actions();
    for (QAction* top : app::Form1().MenuBar()->actions()) actions += top->menu()->actions();
    for (QAction* action : actions) {
        QString shown = action->text();
        shown.remove(QRegularExpression(QStringLiteral("&(?!&)")));
        if (action->isSeparator() || shown.isEmpty())
            continue;
        EXPECT_FALSE(shown[0].isLower()) << action->text().toStdString();
    }
}

TEST_P(DeliveredMenus, AltWithTheKeyOfATopMenuOpensIt) {
    ASSERT_TRUE(StartIn(GetParam())) << "the window is not shown and active";
    for (QAction* top : app::Form1().MenuBar()->actions()) {
        SCOPED_TRACE(top->text().toStdString());
        const QKeySequence key = QKeySequence::mnemonic(top->text());
        ASSERT_FALSE(key.isEmpty());
        AltKey(key);
        EXPECT_EQ(QApplication::activePopupWidget(), top->menu());
        CloseMenus();
    }
    EXPECT_EQ(ends_, 0);
}

INSTANTIATE_TEST_SUITE_P(Delivered, DeliveredMenus, ::testing::ValuesIn(kLanguages), AsciiName);

TEST_F(DeliveredMenus, AltFOpensTheFileMenuInEnglish) {
    ASSERT_TRUE(StartIn("English")) << "the window is not shown and active";
    QMenu* file = app::Form1().mnuFile.Menu();
    ASSERT_EQ(QApplication::activePopupWidget(), nullptr);
    QTest::keyClick(app::Form1().Window(), Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(QApplication::activePopupWidget(), file);
    EXPECT_TRUE(file->isVisible());
    CloseMenus();
}

}  // namespace
