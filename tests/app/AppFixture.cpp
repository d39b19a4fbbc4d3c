#include "AppFixture.h"

#include <QDir>
#include <QFile>
#include <QWidget>

#include "app/Main.h"
#include "lang/Testi.h"
#include "platform/Application.h"
#include "platform/FileDialogs.h"
#include "platform/Locale.h"
#include "platform/ProgramFolder.h"

namespace apptest {

QByteArray MarkedLanguage(const QString& mark) {
    QByteArray file;
    for (int n = 1; n <= 90; ++n) {
        file +=
            QStringLiteral("%1 %2%3\r\n").arg(n, 2, 10, QLatin1Char('0')).arg(mark).arg(n).toUtf8();
    }
    return file;
}

void AppTest::SetUp() {
    platform::hooks::SetProgramFolder(folder_.Path());
    platform::hooks::SetUserLocale(QStringLiteral("en_US"));
    platform::hooks::SetMountedVolumes(
        std::vector<platform::MountedVolume>{
            {QStringLiteral("/"), QStringLiteral("/dev/sda1"), QStringLiteral("ext4")},
            {QStringLiteral("/proc"), QStringLiteral("proc"), QStringLiteral("proc")},
            {QStringLiteral("/srv/nowhere"), QStringLiteral("/dev/sdb1"), QStringLiteral("ext4")},
        },
        QStringLiteral("/srv/nowhere/work"));
    platform::hooks::SetEndHandler([this] { ++ends_; });
    // No test sees a real open dialog: it is cancelled unless the test answers it.
    platform::hooks::SetOpenDialogHook(
        [](const platform::OpenDialogRequest&) { return platform::OpenDialogResult{}; });
    // No test shows a real picker: a click on the folder button finds it cancelled.
    platform::hooks::SetFolderPickerHook([](const QString&) { return QString(); });
    lang::Testi.fill(QString());
    QDir(folder_.Path()).mkdir(QStringLiteral("Lang"));
    WriteLanguage(QStringLiteral("English.lng"), QStringLiteral("E"));
    WriteLanguage(QStringLiteral("Italiano.lng"), QStringLiteral("I"));
    // The window's fields outlive an unload, as the window's own do; a test starts clean.
    form().FileLingua.clear();
    form().MetodoSalvato.clear();
    form().Descrizioni.fill(QString());
}

void AppTest::TearDown() {
    form().Unload();
    platform::hooks::SetEndHandler(nullptr);
    platform::hooks::SetOpenDialogHook(nullptr);
    platform::hooks::SetFolderPickerHook(nullptr);
    platform::hooks::SetMountedVolumes(std::nullopt);
    platform::hooks::SetUserLocale(std::nullopt);
    platform::hooks::SetProgramFolder(QString());
}

void AppTest::WriteLanguage(const QString& name, const QString& mark) {
    folder_.Write(QStringLiteral("Lang/") + name, MarkedLanguage(mark));
}

void AppTest::WriteSettings(const QByteArray& content) {
    folder_.Write(QStringLiteral("Quellix.ini"), content);
}

QByteArray AppTest::Settings() const {
    return testsupport::ReadFile(folder_.File(QStringLiteral("Quellix.ini")));
}

bool AppTest::SettingsExist() const {
    return QFile::exists(folder_.File(QStringLiteral("Quellix.ini")));
}

void AppTest::StartUp() {
    app::Main();
}

QPoint AppTest::CentreOf(platform::Control& control) {
    QWidget* w = control.Widget();
    return w->mapTo(form().Window(), w->rect().center());
}

QPoint AppTest::Background(int leftTwips, int topTwips) {
    QWidget* client = form().ClientArea();
    QPoint p(platform::TwipsToPixels(leftTwips), platform::TwipsToPixels(topTwips));
    EXPECT_EQ(client->childAt(p), nullptr) << "not the background";
    return client->mapTo(form().Window(), p);
}

}  // namespace apptest
