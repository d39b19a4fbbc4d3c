// The program folder: the executable's own folder, where the program keeps its
// settings file, its language files and its pages.
#pragma once

#include <QString>

namespace platform {

// The folder of the running executable, without a trailing separator.
QString ProgramFolder();

namespace hooks {
// Points the program folder at another folder, so that tests never write beside
// the real executable; an empty path gives the executable's folder back.
void SetProgramFolder(const QString& folder);
}  // namespace hooks

}  // namespace platform
