#include "platform/Shell.h"

#include <QProcess>

namespace platform {

std::vector<CommandLine> ShutdownCommandLines() {
    // The same request in the command's two switch notations.
    return {
        {QStringLiteral("shutdown"),
         {QStringLiteral("-f"), QStringLiteral("-s"), QStringLiteral("-t"), QStringLiteral("1")}},
        {QStringLiteral("shutdown"),
         {QStringLiteral("/f"), QStringLiteral("/s"), QStringLiteral("/t"), QStringLiteral("1")}},
    };
}

void detail::PrepareDetachedStart(QProcess& process) {
    // CREATE_NO_WINDOW: a console program runs hidden.
    process.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments* args) { args->flags |= 0x08000000; });
}

CommandLine OpenCommandLine(const QString& target) {
    return {QStringLiteral("explorer"), {target}};
}

}  // namespace platform
