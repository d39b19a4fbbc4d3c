#include "platform/Application.h"

#include <QApplication>

#include "platform/Events.h"
#include "platform/Messages.h"
#include "platform/WidgetServices.h"

namespace platform {

namespace {
std::function<void()>& EndHandler() {
    static std::function<void()> handler;
    return handler;
}
bool g_ended = false;
}  // namespace

Application::Application(int& argc, char** argv)
    : app_(std::make_unique<QApplication>(argc, argv)) {
    SetMsgBoxShower(widgets::ShowMessageBox);
    SetScreenServices({widgets::ThrottlePaints, widgets::ShowScreenPointer});
}

Application::~Application() {
    SetMsgBoxShower(nullptr);
    SetScreenServices({});
}

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

}  // namespace hooks

}  // namespace platform
