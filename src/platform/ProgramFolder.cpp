#include "platform/ProgramFolder.h"

#include <QCoreApplication>

namespace platform {

namespace {
QString& Override() {
    static QString folder;
    return folder;
}
}  // namespace

QString ProgramFolder() {
    if (!Override().isEmpty()) {
        return Override();
    }
    return QCoreApplication::applicationDirPath();
}

namespace hooks {
void SetProgramFolder(const QString& folder) {
    Override() = folder;
}
}  // namespace hooks

}  // namespace platform
