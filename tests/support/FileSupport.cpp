#include "support/FileSupport.h"

#include <sys/stat.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include "platform/Errors.h"

namespace testsupport {

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

QStringList FilesBelow(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    return files;
}

QStringList Names(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                               QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

mode_t ModeOf(const QString& path) {
    struct stat st {};
    return ::lstat(Native(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

int ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const platform::RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

}  // namespace testsupport
