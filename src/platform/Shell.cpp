#include "platform/Shell.h"

#include <QProcess>

namespace platform {

namespace {
hooks::StartHook& Hook() {
    static hooks::StartHook hook;
    return hook;
}
bool g_enabled = false;
}  // namespace

namespace hooks {
void SetStartHook(StartHook hook) {
    Hook() = std::move(hook);
}
}  // namespace hooks

void EnableStarts() {
    g_enabled = true;
}

bool StartDetached(const QString& program, const QStringList& arguments) {
    if (Hook()) {
        auto hook = Hook();  // the hook may replace itself
        return hook(program, arguments);
    }
    if (!g_enabled) {
        qWarning("Quellix: refused to start %s: starts are not enabled in this process",
                 qPrintable(program));
        return false;
    }
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    detail::PrepareDetachedStart(process);
    return process.startDetached();
}

}  // namespace platform
