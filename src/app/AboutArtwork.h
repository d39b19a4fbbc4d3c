// The about box's pictures, painted in code.
#pragma once

#include <QPixmap>

namespace app {

// 77 x 75, 24-bit: the title picture, the program's emblem on white, fading to
// white on the right where the title runs over it.
QPixmap AboutTitlePicture();

// 150 x 120, 24-bit: the picture in the credits, a drive under a shield.
QPixmap AboutPicture();

}  // namespace app
