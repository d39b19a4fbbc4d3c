#include "platform/FileDialogs.h"

#include <QDir>
#include <QFileDialog>

#include "platform/Form.h"

namespace platform {

namespace {

hooks::OpenDialogHook& OpenHook() {
    static hooks::OpenDialogHook hook;
    return hook;
}

hooks::FolderPickerHook& FolderHook() {
    static hooks::FolderPickerHook hook;
    return hook;
}

QWidget* OwnerWindow(const Form* owner) {
    return owner ? owner->WindowIfLoaded() : nullptr;
}

// Qt takes the patterns from the last parentheses of a filter text and, with
// the details hidden, shows what stands before them: so the label is shown
// unchanged even when it holds parentheses of its own ("All files (*.*)").
QString FilterText(const FileFilter& filter) {
    return filter.label + QStringLiteral(" (") + filter.patterns + QStringLiteral(")");
}

}  // namespace

OpenDialogResult ShowOpenDialog(const OpenDialogRequest& request) {
    if (OpenHook())
        return OpenHook()(request);

    QFileDialog dialog(OwnerWindow(request.owner), request.title, request.folder);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontResolveSymlinks |
                      QFileDialog::ReadOnly | QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                                           : QFileDialog::ExistingFile);
    QStringList filters;
    for (const auto& f : request.filters) filters << FilterText(f);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setWindowModality(Qt::ApplicationModal);

    OpenDialogResult result;
    if (dialog.exec() == QDialog::Accepted) {
        for (const QString& f : dialog.selectedFiles()) result.files << QDir::toNativeSeparators(f);
    }
    return result;
}

QString BrowseForFolder(const QString& title, const Form* owner) {
    if (FolderHook())
        return FolderHook()(title);

    QFileDialog dialog(OwnerWindow(owner), title);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontResolveSymlinks |
                      QFileDialog::ShowDirsOnly | QFileDialog::ReadOnly);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(QDir::cleanPath(dialog.selectedFiles().constFirst()));
}

namespace hooks {
void SetOpenDialogHook(OpenDialogHook hook) {
    OpenHook() = std::move(hook);
}
void SetFolderPickerHook(FolderPickerHook hook) {
    FolderHook() = std::move(hook);
}
}  // namespace hooks

}  // namespace platform
