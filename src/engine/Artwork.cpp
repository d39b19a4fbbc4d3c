#include "engine/Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace engine {

void PaintGround(QPainter& p, const QImage& image, const QGradientStops& stops, QPointF centre,
                 qreal radius, const QColor& glow) {
    QLinearGradient ground(0, 0, 0, image.height());
    for (const auto& [at, colour] : stops) ground.setColorAt(at, colour);
    p.fillRect(image.rect(), ground);
    QRadialGradient light(centre.x(), centre.y(), radius);
    light.setColorAt(0.0, glow);
    QColor faded = glow;
    faded.setAlpha(0);
    light.setColorAt(1.0, faded);
    p.fillRect(image.rect(), light);
}

void PaintDiagonals(QPainter& p, const QImage& image, int alpha) {
    const int w = image.width();
    const int h = image.height();
    p.setPen(QPen(QColor(255, 255, 255, alpha), 1));
    for (int x = -h; x < w; x += 9) p.drawLine(x, h, x + h, 0);
}

QPixmap DialogBackground() {
    QImage img(473, 252, QImage::Format_RGB888);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // A deep blue ground, lighter at the top, where the status line stands, with
    // a soft glow behind the second line.
    PaintGround(p, img,
                {{0.0, QColor(28, 52, 112)}, {0.55, QColor(12, 26, 70)}, {1.0, QColor(6, 14, 42)}},
                QPointF(236, 100), 220, QColor(70, 110, 200, 90));
    // A darker band behind the bar and the button.
    QPainterPath band;
    band.addRoundedRect(QRectF(10, 138, 441, 90), 12, 12);
    p.fillPath(band, QColor(0, 0, 0, 70));
    PaintDiagonals(p, img, 14);
    p.end();
    return QPixmap::fromImage(img);
}

QPixmap BarStrip() {
    QImage img(1, 50, QImage::Format_RGB888);
    for (int y = 0; y < 50; ++y) {
        // Bright red in the middle, darker at the edges: a rounded look when stretched.
        double t = 1.0 - std::abs(y - 18) / 32.0;
        int r = static_cast<int>(140 + 115 * t);
        int g = static_cast<int>(20 + 90 * t * t);
        int b = static_cast<int>(20 + 40 * t * t);
        img.setPixelColor(0, y, QColor(r, g, b));
    }
    return QPixmap::fromImage(img);
}

QCursor CancelCursor() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // A red stop sign with a white bar: this button stops the run.
    QPolygonF octagon;
    for (int i = 0; i < 8; ++i) {
        double a = (22.5 + 45.0 * i) * 3.14159265358979 / 180.0;
        octagon << QPointF(16 + 14 * std::cos(a), 16 + 14 * std::sin(a));
    }
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(QColor(200, 20, 20));
    p.drawPolygon(octagon);
    p.fillRect(QRectF(8, 14, 16, 4), Qt::white);
    p.end();
    return QCursor(pm, 16, 16);
}

}  // namespace engine
