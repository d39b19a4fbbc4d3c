// The open dialog (one file or several) and the folder picker, behind seams
// that tests answer. Qt's own widget dialogs: links are never resolved, so a
// chosen link stays a link.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace platform {

class Form;

// One entry of the dialog's type list: the label is shown as it stands, the
// patterns (blank-separated, "*" for every file) decide what is listed.
struct FileFilter {
    QString label;
    QString patterns;
    friend bool operator==(const FileFilter&, const FileFilter&) = default;
};

struct OpenDialogRequest {
    QString title;
    std::vector<FileFilter> filters;
    QString folder;         // the folder it opens in; empty: the dialog's own choice
    QString defaultSuffix;  // added to a typed name that has no extension ("lng")
    bool multiSelect = false;
    const Form* owner = nullptr;  // modal to this form's window when given
};

struct OpenDialogResult {
    // Full paths in the dialog's order; empty after Cancel or a failure.
    QStringList files;
    // The dialog could not be shown: its error number and description.
    bool failed = false;
    int errorNumber = 0;
    QString errorDescription;
};

// Existing files only, in existing folders; no read-only box.
OpenDialogResult ShowOpenDialog(const OpenDialogRequest& request);

// Existing folders only; "" when cancelled. The path has no trailing separator
// (but for the root itself).
QString BrowseForFolder(const QString& title, const Form* owner = nullptr);

namespace hooks {
// Tests answer the dialogs, on the UI thread; without a hook the real dialog
// is shown.
using OpenDialogHook = std::function<OpenDialogResult(const OpenDialogRequest&)>;
void SetOpenDialogHook(OpenDialogHook hook);
using FolderPickerHook = std::function<QString(const QString& title)>;
void SetFolderPickerHook(FolderPickerHook hook);
}  // namespace hooks

}  // namespace platform
