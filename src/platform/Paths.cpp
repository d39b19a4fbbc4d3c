#include "platform/Paths.h"

#include <QStringList>

namespace platform {

QString JoinPath(const QString& folder, const QString& name) {
    return folder.endsWith(kSep) ? folder + name : folder + kSep + name;
}

QString CleanPath(const QString& path) {
    QString out;
    out.reserve(path.size());
    // A network path of the Windows kind keeps the two separators it starts with.
    const bool network = kSep == QLatin1Char('\\') && path.startsWith(QStringLiteral("\\\\"));
    if (network)
        out = QStringLiteral("\\\\");
    for (qsizetype i = network ? 2 : 0; i < path.size(); ++i) {
        if (path[i] == kSep && out.endsWith(kSep))
            continue;
        out += path[i];
    }
    // A root ("/", "C:\\") keeps its separator.
    const bool root = out.size() == 1 || (out.size() == 3 && out[1] == QLatin1Char(':'));
    if (out.size() > 1 && out.endsWith(kSep) && !root && !(network && out.size() == 2))
        out.chop(1);
    return out;
}

bool HasDotNames(const QString& path) {
    for (const QString& name : path.split(kSep)) {
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            return true;
    }
    return false;
}

}  // namespace platform
