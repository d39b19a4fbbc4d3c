// The language menu's pieces: the open dialog on the Lang folder, and the
// language file a chosen path names.
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "platform/FileDialogs.h"

namespace lang {

// ApriFile's only mode: the open dialog.
inline constexpr int kOpenDialogMode = 1;

// Shows the open dialog, modal to the owner: one existing file, the filters in
// their order with the first selected, the initial folder, and the default
// extension added to a typed name without one. Returns the chosen file's full
// path, or "" after Cancel, a failure, or a mode other than 1.
QString ApriFile(const platform::Form* owner, int mode, const QString& title,
                 const std::vector<platform::FileFilter>& filters, const QString& initialFolder,
                 const QString& defaultExtension);

// The program folder's Lang folder.
QString LanguageFolder();
// The dialog's two filters: language files (text 50) and all files (text 15).
std::vector<platform::FileFilter> LanguageFilters();

// The new FileLingua for a chosen path: the file's path relative to this
// program's own Lang folder, subfolders included, both resolved canonically.
// Only an existing file beneath that folder counts, and only a name without CR
// or LF that the settings file reads back unchanged (no comma, no leading blank
// or double quote); anything else gives nothing, and FileLingua stays as it was.
std::optional<QString> LanguageFileOf(const QString& chosen);

}  // namespace lang
