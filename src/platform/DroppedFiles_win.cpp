#include "platform/DroppedFiles.h"

namespace platform::detail {

// A file of another host is a share this machine reaches by its name.
bool OnThisMachine(const QUrl& url) {
    (void)url;
    return true;
}

// Names are UTF-16: every name a string holds is the name itself.
bool PathHoldsItsName(const QUrl& url, const QString& path) {
    (void)url, (void)path;
    return true;
}

bool IsDriveRoot(const QString& path) {
    return path.size() == 3 && path[1] == QLatin1Char(':');
}

}  // namespace platform::detail
