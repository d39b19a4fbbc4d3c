// The folder picker of the folder wipe.
#pragma once

#include <QString>

namespace platform {
class Form;
}

namespace app {

// Shows the folder picker over `owner` with `title` above the folders and gives
// the chosen folder's full path, or "" when the user cancels. Only existing
// folders can be chosen and a chosen link stays a link.
QString ScegliCartella(const QString& title, const platform::Form* owner);

}  // namespace app
