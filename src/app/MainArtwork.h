// The main window's pictures, painted in code.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <vector>

namespace app {

// 722 x 367, 24-bit: the window's background with its panels.
QPixmap MainBackground();

// The program icon's five images: 32 x 32 in 256 colours, then 128, 64, 48 and
// 32 pixels square in 32-bit colour.
std::vector<QImage> ProgramIconImages();
QIcon ProgramIcon();

// 32 x 32: the pointing hand shown over the controls that act when clicked.
QImage HandImage();
QCursor HandCursor();

}  // namespace app
