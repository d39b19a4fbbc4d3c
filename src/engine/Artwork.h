// The progress window's pictures, painted in code.
#pragma once

#include <QCursor>
#include <QPixmap>

namespace engine {

// 473 x 252: the window's background.
QPixmap DialogBackground();
// 1 x 50: the strip the progress bar stretches.
QPixmap BarStrip();
// 32 x 32: the pointer over the Cancel button.
QCursor CancelCursor();

}  // namespace engine
