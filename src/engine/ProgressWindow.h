// What the progress window shows while a file is wiped.
#pragma once

#include <QString>

namespace engine {

// The status line of a file being wiped: "Wiping: <name>", then on a line of its
// own the share written, with the pass number when `pass` is above 0.
QString WipingCaption(const QString& Nome, int percent, int pass);

}  // namespace engine
