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

// The path with every run of separators made one and a trailing one dropped (a
// root keeps its own): "tree/" and "tree//f" name "tree" and "tree/f".
QString CleanPath(const QString& path);

// Whether a name of the path is "." or "..": such a path may climb through a
// link before it comes back, so a run never takes it as it stands.
bool HasDotNames(const QString& path);

}  // namespace platform
