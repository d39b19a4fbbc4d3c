#include "OperationFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWindow>

#include "engine/Dialog.h"
#include "platform/Files.h"
#include "platform/Shell.h"

namespace apptest {

DragAnswer DragAndDrop(QWidget* window, const QPoint& at, const QStringList& paths,
                       Qt::DropActions offered) {
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    return DragAndDrop(window, at, urls, offered);
}

DragAnswer DragAndDrop(QWidget* window, const QPoint& at, const QList<QUrl>& urls,
                       Qt::DropActions offered) {
    QMimeData data;
    data.setUrls(urls);
    QWindow* handle = window->windowHandle();
    DragAnswer answer;
    QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
    answer.proposed = enter.proposedAction();
    QCoreApplication::sendEvent(handle, &enter);
    answer.enterAccepted = enter.isAccepted();
    answer.enterAction = enter.dropAction();
    QDragMoveEvent move(at, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
    if (answer.enterAccepted) {
        // The system repeats the last answer unless the target changes it.
        move.setDropAction(answer.enterAction);
        move.accept();
    }
    QCoreApplication::sendEvent(handle, &move);
    answer.moveAccepted = move.isAccepted();
    answer.moveAction = move.dropAction();
    if (answer.moveAccepted) {
        QDropEvent drop(at, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(handle, &drop);
        answer.dropAccepted = drop.isAccepted();
        answer.dropAction = drop.dropAction();
    } else {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(handle, &leave);
    }
    return answer;
}

void OperationTest::SetUp() {
    AppTest::SetUp();
    testsupport::ResetEngineState();
    // Method 1: one pass, written in one go on a file under 1000 bytes.
    WriteSettings("1\r\nEnglish.lng\r\n");
    StartUp();
    boxes.boxes.clear();
    platform::hooks::SetStartHook([this](const QString& program, const QStringList& args) {
        started.push_back(program + QLatin1Char(' ') + args.join(QLatin1Char(' ')));
        return true;
    });
    platform::hooks::SetFaultInjector([this](platform::hooks::FileOp op, const QString& path) {
        if (op == platform::hooks::FileOp::Open &&
            std::none_of(opened.begin(), opened.end(), [&](auto& o) { return o.path == path; })) {
            engine::DialogForm& dlg = engine::Dialog();
            const bool loaded = dlg.IsLoaded();
            opened.push_back(
                {path, loaded ? dlg.ImgBar.Width() : -1,
                 loaded && dlg.IsShown() && dlg.Label9.Visible() && !form().IsShown()});
        }
        return platform::hooks::Fault::None;
    });
}

void OperationTest::TearDown() {
    platform::hooks::SetOpenDialogHook(nullptr);
    platform::hooks::SetStartHook(nullptr);
    testsupport::ResetEngineState();
    AppTest::TearDown();
}

void OperationTest::ChooseFiles(const QStringList& files) {
    platform::hooks::SetOpenDialogHook([this, files](const platform::OpenDialogRequest& r) {
        asked.push_back(r);
        platform::OpenDialogResult result;
        result.files = files;
        return result;
    });
}

QString OperationTest::MakeFile(const QString& name, int size) {
    QDir().mkpath(QFileInfo(folder_.File(name)).path());
    return folder_.Write(name, QByteArray(size, 'm'));
}

void OperationTest::ClickCancel() {
    qobject_cast<QAbstractButton*>(engine::Dialog().CancelButton.Widget())->click();
}

bool OperationTest::Untouched(const QString& path, int size) {
    return testsupport::ReadFile(path) == QByteArray(size, 'm');
}

int OperationTest::Shutdowns() const {
    return static_cast<int>(started.size());
}

}  // namespace apptest
