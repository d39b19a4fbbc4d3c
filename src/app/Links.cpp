#include "app/Links.h"

#include "platform/Files.h"
#include "platform/ProgramFolder.h"
#include "platform/Shell.h"

namespace app {

namespace {
QString InProgramFolder(const QString& relative) {
    QString path = relative;
    path.replace(QLatin1Char('/'), platform::kSep);
    return platform::ProgramFolder() + platform::kSep + path;
}
}  // namespace

QString HomePageAddress() {
    return QLatin1String(kMakersSite);
}

QString HelpPagePath() {
    return InProgramFolder(QStringLiteral("Guida/Guida.html"));
}

QString VersionHistoryPath() {
    return InProgramFolder(QStringLiteral("Versioni.txt"));
}

QString ProductPageAddress() {
    return QLatin1String(kMakersSite) + QStringLiteral("/quellix.html");
}

QString DonationPageAddress() {
    return QLatin1String(kMakersSite) + QStringLiteral("/donazioni.html");
}

void OpenPage(const QString& target) {
    // Whether the page exists or opens is the business of the program that opens it.
    (void)platform::StartDetached(platform::OpenCommandLine(target));
}

}  // namespace app
