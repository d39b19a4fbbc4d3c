#include "platform/Paths.h"

namespace platform {

QString JoinPath(const QString& folder, const QString& name) {
    return folder.endsWith(kSep) ? folder + name : folder + kSep + name;
}

}  // namespace platform
