#include "platform/Application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "platform/Events.h"
#include "platform/MessageBox.h"
#include "platform/Messages.h"
#include "platform/ScreenServices.h"

namespace platform {

namespace {
std::function<void()>& EndHandler() {
    static std::function<void()> handler;
    return handler;
}
bool g_ended = false;

// The translation of the toolkit's own texts for the user's locale (LANGUAGE,
// LC_ALL, LC_MESSAGES, LANG), installed before any window is made; null where
// the toolkit has none for that language, whose dialogs then stay English.
std::unique_ptr<QTranslator> InstallToolkitTexts() {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator.get())) {
        return nullptr;
    }
    return translator;
}
}  // namespace

Application::Application(int& argc, char** argv)
    : app_(std::make_unique<QApplication>(argc, argv)), toolkitTexts_(InstallToolkitTexts()) {
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
