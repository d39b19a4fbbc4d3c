#include "platform/Locale.h"

#include <QLocale>

namespace platform {

namespace {
std::optional<QString>& Override() {
    static std::optional<QString> name;
    return name;
}
}  // namespace

QString UserLanguageCode() {
    // Qt's system locale takes its language from LC_ALL, LC_MESSAGES and LANG.
    const QLocale locale = Override() ? QLocale(*Override()) : QLocale::system();
    const QLocale::Language language = locale.language();
    if (language == QLocale::C || language == QLocale::AnyLanguage) {
        return {};
    }
    return QLocale::languageToCode(language, QLocale::ISO639Part1).toLower();
}

QString UserGroupSymbol() {
    return (Override() ? QLocale(*Override()) : QLocale::system()).groupSeparator();
}

QString UserDecimalSymbol() {
    return (Override() ? QLocale(*Override()) : QLocale::system()).decimalPoint();
}

namespace hooks {
void SetUserLocale(std::optional<QString> localeName) {
    Override() = std::move(localeName);
}
}  // namespace hooks

}  // namespace platform
