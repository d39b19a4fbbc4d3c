// The progress window's pictures, painted in code.
#pragma once

#include <QColor>
#include <QCursor>
#include <QGradientStops>
#include <QPixmap>
#include <QPointF>

class QImage;
class QPainter;

namespace engine {

// The ground of a window's picture: a gradient from top to bottom through the
// stops, under a soft round glow of `glow` that fades out over `radius`.
void PaintGround(QPainter& p, const QImage& image, const QGradientStops& stops, QPointF centre,
                 qreal radius, const QColor& glow);
// Faint diagonal lines, 9 pixels apart, across the image: shredded paper.
void PaintDiagonals(QPainter& p, const QImage& image, int alpha);

// 473 x 252: the window's background.
QPixmap DialogBackground();
// 1 x 50: the strip the progress bar stretches.
QPixmap BarStrip();
// 32 x 32: the pointer over the Cancel button.
QCursor CancelCursor();

}  // namespace engine
