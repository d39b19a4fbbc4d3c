// The translation form: an HTML page with every line of the English, Italian
// and Portuguese language files side by side and a field for each translation,
// sent to the makers by e-mail.
#pragma once

#include <QString>
#include <QStringList>

namespace lang {

// Lines stored of each reference file; further lines still count as rows.
inline constexpr int kStoredReferenceLines = 201;

// The program folder followed by "Invia_Traduzione.html".
QString TranslationFormPath();

// The page's lines, without their line ends, from the reference files in the
// program's Lang folder. A file that is missing, is a link or cannot be read
// counts as missing.
QStringList TranslationFormLines(const QString& productName, const QString& mailAddress);

// Writes the page into the program folder, each line followed by CR LF; a line
// that cannot be written is skipped, and nothing is reported.
void WriteTranslationForm(const QString& productName, const QString& mailAddress);

}  // namespace lang
