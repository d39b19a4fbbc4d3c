#include "platform/Shell.h"

#include <QProcess>

namespace platform {

std::vector<CommandLine> ShutdownCommandLines() {
    // The same request twice, for systems run by systemd and for the others.
    return {
        {QStringLiteral("systemctl"), {QStringLiteral("poweroff")}},
        {QStringLiteral("shutdown"), {QStringLiteral("-P"), QStringLiteral("now")}},
    };
}

void detail::PrepareDetachedStart(QProcess& process) {
    (void)process;  // nothing beyond the streams
}

CommandLine OpenCommandLine(const QString& target) {
    return {QStringLiteral("xdg-open"), {target}};
}

}  // namespace platform
