#include "lang/LanguageFile.h"

#include "lang/FirstLines.h"
#include "lang/Testi.h"
#include "platform/Convert.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Locale.h"
#include "platform/ProgramFolder.h"

namespace lang {

namespace {

// The position after the first `count` characters of the text (a surrogate
// pair is one character); `found` tells how many there were, up to `count`.
qsizetype SkipCharacters(const QString& text, int count, int& found) {
    qsizetype at = 0;
    found = 0;
    while (found < count && at < text.size()) {
        const bool pair =
            text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate();
        at += pair ? 2 : 1;
        ++found;
    }
    return at;
}

}  // namespace

QString LanguageFilePath(const QString& fileLingua) {
    using platform::kSep;
    return platform::ProgramFolder() + kSep + QStringLiteral("Lang") + kSep + fileLingua;
}

void LoadLanguageFile(const QString& fileLingua) {
    QStringList lines;
    try {
        lines = ReadFirstLines(LanguageFilePath(fileLingua), kLastTextLine);
    } catch (const platform::RuntimeError&) {
        return;  // no file, no access: the table keeps what it held
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // Lengths count characters, not UTF-16 units: a prefix may hold any letter.
        int chars = 0;
        const qsizetype afterPrefix = SkipCharacters(lines[i], kLinePrefix, chars);
        if (chars < 2) {
            continue;  // too short to hold a text: the entry keeps what it held
        }
        Testi[i + 1] = lines[i].mid(afterPrefix);
    }
}

QString GetLingua(int lInfo) {
    if (lInfo == kLocaleLanguageCode) {
        return platform::UserLanguageCode();
    }
    return {};
}

QString LanguageFileForCode(const QString& code) {
    const QString key = code.toLower().left(2);
    QString name = QStringLiteral("English");
    if (key == QLatin1String("it")) {
        name = QStringLiteral("Italiano");
    } else if (key == QLatin1String("pt")) {
        name = QStringLiteral("Português");
    } else if (key == QLatin1String("ru")) {
        name = QStringLiteral("Russian");
    } else if (key == QLatin1String("sv")) {
        name = QStringLiteral("Swedish");
    }
    return name + QStringLiteral(".lng");
}

QString FirstStartLanguageFile() {
    return LanguageFileForCode(GetLingua(kLocaleLanguageCode));
}

void ChooseLanguageIfNone(QString& fileLingua) {
    if (platform::Trim(fileLingua).isEmpty()) {
        fileLingua = FirstStartLanguageFile();
    }
}

}  // namespace lang
