#include "platform/Application.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "platform/Form.h"

namespace platform {

namespace {
std::function<void()>& EndHandler() {
    static std::function<void()> handler;
    return handler;
}
bool g_ended = false;
}  // namespace

int RunEventLoop() {
    if (g_ended)
        return 0;
    return QApplication::exec();
}

void EndProgram() {
    if (EndHandler()) {
        EndHandler()();
        return;
    }
    g_ended = true;
    // exit() stops every running event loop of the thread at once.
    QCoreApplication::exit(0);
}

namespace hooks {

void SetEndHandler(std::function<void()> handler) {
    EndHandler() = std::move(handler);
}

void SnapshotIfAsked(Form& form) {
    const QString path = qEnvironmentVariable("QUELLIX_SNAPSHOT");
    if (path.isEmpty())
        return;
    // Give the window a moment to be laid out and painted with its fonts.
    QTimer::singleShot(700, qApp, [&form, path] {
        QWidget* window = form.WindowIfLoaded();
        bool saved = window && window->grab().save(path, "PNG");
        if (!saved)
            std::fprintf(stderr, "Could not save the window's picture.\n");
        QCoreApplication::exit(saved ? 0 : 1);
    });
}

}  // namespace hooks

}  // namespace platform
