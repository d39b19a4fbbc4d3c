#include "lang/LanguageMenu.h"

#include <QDir>

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
    const QString path = QDir::cleanPath(QDir::fromNativeSeparators(chosen));
    const QString marker = QStringLiteral("/Lang/");
    const qsizetype at = path.lastIndexOf(marker, -1, Qt::CaseSensitive);
    if (at < 0) {
        return std::nullopt;
    }
    const QString name = path.mid(at + marker.size());
    // The folder before the marker must be this program's own, and the name a
    // file right in it: anything else would name a file the program never finds.
    const QString ownFolder = QDir::cleanPath(QDir::fromNativeSeparators(LanguageFolder()));
    if (name.isEmpty() || name.contains(QLatin1Char('/')) ||
        path.left(at + marker.size() - 1) != ownFolder || !ReadsBackAsSaved(name)) {
        return std::nullopt;
    }
    return name;
}

}  // namespace lang
