// What the tests look at in their folders: paths as the system takes them, the
// files left below a folder, a folder's names, a file's permission bits.
#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace testsupport {

// The path as the system calls take it.
QByteArray Native(const QString& path);

// Every file left below the folder, hidden ones and those of the system too, as
// full paths.
QStringList FilesBelow(const QString& folder);

// The names in the folder, hidden ones too, sorted.
QStringList Names(const QString& folder);

// The permission bits of what the path names (a link's own), 0 when it is gone.
mode_t ModeOf(const QString& path);

// The number of the error the call raises, 0 when it raises none.
int ErrorOf(const std::function<void()>& call);

}  // namespace testsupport
