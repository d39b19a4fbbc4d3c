// The language files: loading one into the text table, and the language
// chosen at the first start from the user's locale.
#pragma once

#include <QString>

namespace lang {

// The last line of a language file that holds a text; later lines are ignored.
inline constexpr int kLastTextLine = 90;
// Characters at the start of each line that are not part of the text.
inline constexpr int kLinePrefix = 3;

// The path of a language file: the program folder, "Lang" and the name.
QString LanguageFilePath(const QString& fileLingua);

// Puts line n of the language file named fileLingua into Testi(n), for n = 1 to 90.
// The table is never cleared: a missing line, or one shorter than two
// characters, leaves its entry as it was. A file that cannot be read changes
// nothing and reports nothing. Only the first 90 lines are read, each up to
// kMaxLineBytes (lang/FirstLines.h).
void LoadLanguageFile(const QString& fileLingua);

// The locale item GetLingua knows: the two-letter code of the user's language.
inline constexpr int kLocaleLanguageCode = 0x59;
// The text of a locale item for the user's locale, or an empty string for an
// item that is not known or cannot be read.
QString GetLingua(int lInfo);

// The language file for a language code: "it", "pt", "ru" and "sv" (after
// lower-casing and keeping the first two characters) give "Italiano.lng",
// "Português.lng", "Russian.lng" and "Swedish.lng"; anything else "English.lng".
QString LanguageFileForCode(const QString& code);
// The language file of the user's locale, for the first start.
QString FirstStartLanguageFile();
// When fileLingua holds nothing but blanks, sets it to the first-start language file.
void ChooseLanguageIfNone(QString& fileLingua);

}  // namespace lang
