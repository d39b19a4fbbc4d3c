#include "lang/LanguageMenu.h"

#include <QDir>
#include <QFileInfo>

#include "lang/Testi.h"
#include "platform/Files.h"
#include "platform/ProgramFolder.h"
#include "platform/TextInput.h"

namespace lang {

QString ApriFile(const platform::Form* owner, int mode, const QString& title,
                 const std::vector<platform::FileFilter>& filters, const QString& initialFolder,
                 const QString& defaultExtension) {
    if (mode != kOpenDialogMode) {
        return {};
    }
    platform::OpenDialogRequest request;
    request.title = title;
    request.filters = filters;
    request.folder = initialFolder;
    request.defaultSuffix = defaultExtension;
    request.multiSelect = false;
    request.owner = owner;
    const platform::OpenDialogResult result = platform::ShowOpenDialog(request);
    if (result.failed || result.files.isEmpty()) {
        return {};
    }
    return result.files.constFirst();
}

QString LanguageFolder() {
    return platform::ProgramFolder() + platform::kSep + QStringLiteral("Lang");
}

std::vector<platform::FileFilter> LanguageFilters() {
    // "*" rather than "*.*": on POSIX a name need not hold a point.
    return {{Testi[50], QStringLiteral("*.lng")}, {Testi[15], QStringLiteral("*")}};
}

namespace {
// The settings file reads its second line back as a field: a name that comes
// back otherwise (a comma, a leading blank or double quote) would name another
// file at the next start.
bool ReadsBackAsSaved(const QString& name) {
    platform::DelimitedInput input(QStringLiteral("0\r\n") + name + QStringLiteral("\r\n"));
    QString method;
    QString field;
    input.ReadField(method);
    return input.ReadField(field) && field == name;
}
}  // namespace

std::optional<QString> LanguageFileOf(const QString& chosen) {
    if (chosen.contains(QLatin1Char('\r')) || chosen.contains(QLatin1Char('\n'))) {
        return std::nullopt;
    }
    // Both resolved with every link followed: a file reached through a link that
    // leads out of the Lang folder is no file of it, and one reached through a link
    // inside it is named by its own path, which the loader, following no link, finds.
    const QString ownFolder = QFileInfo(LanguageFolder()).canonicalFilePath();
    const QFileInfo file(chosen);
    const QString path = file.canonicalFilePath();
    if (ownFolder.isEmpty() || path.isEmpty() || !QFileInfo(path).isFile()) {
        return std::nullopt;
    }
    const QString beneath = ownFolder + QLatin1Char('/');
    if (!path.startsWith(beneath, Qt::CaseSensitive)) {
        return std::nullopt;
    }
    const QString name = QDir::toNativeSeparators(path.mid(beneath.size()));
    if (!ReadsBackAsSaved(name)) {
        return std::nullopt;
    }
    return name;
}

}  // namespace lang
