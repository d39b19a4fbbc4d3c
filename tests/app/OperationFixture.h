// The main window started for an operation: boxes answered, the open dialog
// answered, started commands recorded, and drags delivered as the system does.
#pragma once

#include <QDropEvent>
#include <QStringList>
#include <QUrl>
#include <utility>
#include <vector>

#include "AppFixture.h"
#include "platform/FileDialogs.h"
#include "platform/Messages.h"

namespace apptest {

// How the window answered each step of a drag.
struct DragAnswer {
    bool enterAccepted = false, moveAccepted = false, dropAccepted = false;
    Qt::DropAction proposed = Qt::IgnoreAction;
    Qt::DropAction enterAction = Qt::IgnoreAction, moveAction = Qt::IgnoreAction,
                   dropAction = Qt::IgnoreAction;
};

// A drag of these paths (Shift held, so the source proposes a move), entered,
// moved and dropped at a point of the window, sent to the window as the system
// sends it: the window hands each event to the widget under the point. A
// refused drag is not dropped, as the system would not drop it.
DragAnswer DragAndDrop(QWidget* window, const QPoint& at, const QStringList& paths,
                       Qt::DropActions offered);
DragAnswer DragAndDrop(QWidget* window, const QPoint& at, const QList<QUrl>& urls,
                       Qt::DropActions offered);

inline const Qt::DropActions kAllActions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;

class OperationTest : public AppTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Answers the open dialog with these files.
    void ChooseFiles(const QStringList& files);
    // A file of the test's folder (subfolders made) with size bytes of 'm'.
    QString MakeFile(const QString& name, int size);
    static void ClickCancel();
    // Whether the file is still there with its own content.
    static bool Untouched(const QString& path, int size);
    // The shutdown requests made.
    int Shutdowns() const;

    testsupport::BoxRecorder boxes{platform::mb::Yes};
    // Each file as it was first opened: the bar's width (twips) then, and whether
    // the run's windows stood as they should (progress window shown with its
    // second line, main window hidden).
    struct Opened {
        QString path;
        int bar;
        bool windowsOfARun;
    };
    std::vector<Opened> opened;
    std::vector<platform::OpenDialogRequest> asked;
    std::vector<QString> started;
};

}  // namespace apptest
