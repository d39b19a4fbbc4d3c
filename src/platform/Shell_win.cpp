#include "platform/Shell.h"

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

CommandLine OpenCommandLine(const QString& target) {
    return {QStringLiteral("explorer"), {target}};
}

}  // namespace platform
