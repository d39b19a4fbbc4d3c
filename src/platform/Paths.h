// Paths as the system spells them: the separator, and a folder joined to a name.
#pragma once

#include <QChar>
#include <QString>

namespace platform {

// The separator the program puts between a folder and a name (this system's).
extern const QChar kSep;

// The path of `name` inside `folder`: one separator between them, none added
// after a folder that already ends in one (a drive's root).
QString JoinPath(const QString& folder, const QString& name);

}  // namespace platform
