#include <QFile>

#include "platform/DroppedFiles.h"

namespace platform::detail {

bool OnThisMachine(const QUrl& url) {
    return url.host().isEmpty();
}

// A name that is not valid UTF-8 decodes to a stand-in that names another file,
// or none.
bool PathHoldsItsName(const QUrl& url, const QString& path) {
    return QFile::encodeName(path) ==
           QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

bool IsDriveRoot(const QString& path) {
    (void)path;  // one root, "/", and no drives
    return false;
}

}  // namespace platform::detail
