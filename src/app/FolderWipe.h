// The folder picker of the folder wipe.
#pragma once

#include <QString>

namespace platform {
class Form;
}

namespace app {

// Shows the folder picker over `owner` with `title` above the folders and gives
// the chosen folder's full path, or "" when the user cancels. Only existing
// folders can be chosen and a chosen link stays a link; `kind` picks among the
// options of a picker the platform does not have, so every kind is the same here.
QString ScegliCartella(const QString& title, const platform::Form* owner, float kind);

}  // namespace app
