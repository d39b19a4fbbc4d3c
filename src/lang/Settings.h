// The settings file beside the program: two lines, the selected method's index
// and the language file's name.
#pragma once

#include <QString>

namespace lang {

// The number of wipe methods in the main window's method list.
inline constexpr int kMethodCount = 9;

// The program folder followed by "Quellix.ini".
QString SettingsFilePath();

// Writes the settings file whole: the method list's index (-1 when nothing is
// selected) and fileLingua, each followed by CR LF. A step that fails is
// skipped; nothing is reported and nothing is thrown.
void ScriviIni(int listIndex, const QString& fileLingua);

// Reads the settings file: its first field into metodoSalvato, its next field
// into fileLingua; a field the file does not hold leaves its variable as it was.
// Returns false, touching neither, when there is no settings file (a first
// start); anything but an ordinary file at its path counts as none. A file
// that is present but cannot be read returns true with both left as they were.
// Only the first two lines are read, each up to kMaxLineBytes (lang/FirstLines.h).
bool ReadSettings(QString& metodoSalvato, QString& fileLingua);

// The method list index that a saved method selects: the number at the start
// of metodoSalvato (0 when none), rounded halves to even; 0 to 8 select that
// method, anything else (and a value beyond 16 bits) gives -1, no selection.
int SavedMethodIndex(const QString& metodoSalvato);

}  // namespace lang
