// The real open dialog: what its one filter lists, and the paths it returns.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTimer>

#include "platform/FileDialogs.h"
#include "support/TestSupport.h"

namespace {

// The names the dialog's file list shows, once it has read its folder.
QStringList ListedNames(QFileDialog* dialog, int expected) {
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    if (!view)
        return {};
    QStringList names;
    QDeadlineTimer deadline(5000);
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        names.clear();
        const QModelIndex root = view->rootIndex();
        for (int r = 0; r < view->model()->rowCount(root); ++r)
            names << view->model()->index(r, 0, root).data().toString();
    } while (names.size() < expected && !deadline.hasExpired());
    names.sort();
    return names;
}

TEST(OpenDialog, OneFilterListsEveryFileAndSeveralComeBackAsFullPaths) {
    testsupport::TempFolder folder;
    folder.Write(QStringLiteral("plain"), "a");
    folder.Write(QStringLiteral("notes.txt"), "b");
    folder.Write(QStringLiteral("archive.tar.gz"), "c");
    ASSERT_EQ(
        QFile::link(folder.File(QStringLiteral("notes.txt")), folder.File(QStringLiteral("link"))),
        true);

    platform::OpenDialogRequest request;
    request.title = QStringLiteral("Open");
    request.filters = {{QStringLiteral("All files (*.*)"), QStringLiteral("*")}};
    request.folder = folder.Path();
    request.multiSelect = true;

    QString title, filterShown;
    QStringList listed;
    bool multi = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        multi = dialog->fileMode() == QFileDialog::ExistingFiles;
        if (auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
            filterShown = types->currentText();
        listed = ListedNames(dialog, 4);
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
            ->setText(QStringLiteral("\"plain\" \"link\""));
        static_cast<QDialog*>(dialog)->accept();  // as the Open button does
    });
    const platform::OpenDialogResult result = platform::ShowOpenDialog(request);

    EXPECT_EQ(title, QStringLiteral("Open"));
    EXPECT_TRUE(multi);
    EXPECT_EQ(filterShown, QStringLiteral("All files (*.*)"));
    EXPECT_EQ(listed.join(QLatin1Char(',')).toStdString(), "archive.tar.gz,link,notes.txt,plain");
    EXPECT_FALSE(result.failed);
    // The link comes back as itself, not as the file it points to.
    EXPECT_EQ(result.files.join(QLatin1Char(',')).toStdString(),
              (folder.File(QStringLiteral("plain")) + QLatin1Char(',') +
               folder.File(QStringLiteral("link")))
                  .toStdString());
}

TEST(OpenDialog, CancelGivesNothingAndNoFailure) {
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    platform::OpenDialogRequest request;
    request.title = QStringLiteral("Open");
    request.multiSelect = true;
    const platform::OpenDialogResult result = platform::ShowOpenDialog(request);
    EXPECT_TRUE(result.files.isEmpty());
    EXPECT_FALSE(result.failed);
}

}  // namespace
