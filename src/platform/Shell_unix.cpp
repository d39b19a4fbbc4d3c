#include "platform/Shell.h"

namespace platform {

std::vector<CommandLine> ShutdownCommandLines() {
    // The same request twice, for systems run by systemd and for the others.
    return {
        {QStringLiteral("systemctl"), {QStringLiteral("poweroff")}},
        {QStringLiteral("shutdown"), {QStringLiteral("-P"), QStringLiteral("now")}},
    };
}

CommandLine OpenCommandLine(const QString& target) {
    return {QStringLiteral("xdg-open"), {target}};
}

}  // namespace platform
