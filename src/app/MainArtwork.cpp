#include "app/MainArtwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "engine/Artwork.h"

namespace app {

namespace {

struct PanelColours {
    QColor top, bottom, edge;
};

const PanelColours kRed{QColor(182, 36, 46), QColor(116, 14, 26), QColor(236, 110, 110)};
const PanelColours kBlue{QColor(34, 74, 156), QColor(16, 40, 100), QColor(110, 150, 230)};

// A panel with soft corners: a shadow, a gradient body and a thin light rim.
void Panel(QPainter& p, const QRectF& r, const PanelColours& c) {
    const qreal radius = 16;
    for (int i = 6; i >= 1; --i) {
        QPainterPath shadow;
        shadow.addRoundedRect(r.adjusted(-i + 3, -i + 4, i + 3, i + 4), radius + i, radius + i);
        p.fillPath(shadow, QColor(0, 0, 0, 14));
    }
    QPainterPath body;
    body.addRoundedRect(r, radius, radius);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, c.top);
    g.setColorAt(1.0, c.bottom);
    p.fillPath(body, g);
    // A soft sheen over the upper part.
    QLinearGradient sheen(r.topLeft(), QPointF(r.left(), r.top() + std::min(40.0, r.height())));
    sheen.setColorAt(0.0, QColor(255, 255, 255, 40));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillPath(body, sheen);
    QColor edge = c.edge;
    edge.setAlpha(150);
    p.setPen(QPen(edge, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(0.6, 0.6, -0.6, -0.6), radius, radius);
}

// The icon drawn in a 128 x 128 design space: a page going into a shredder.
void PaintIcon(QPainter& p, int size) {
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 128.0, size / 128.0);
    QPainterPath tile;
    tile.addRoundedRect(QRectF(4, 4, 120, 120), 24, 24);
    QLinearGradient ground(0, 4, 0, 124);
    ground.setColorAt(0.0, QColor(40, 84, 176));
    ground.setColorAt(1.0, QColor(10, 24, 72));
    p.fillPath(tile, ground);
    p.setPen(QPen(QColor(140, 170, 240), 3));
    p.drawPath(tile);

    // The page, with a folded corner, its lower half already in the slot.
    QPainterPath page;
    page.moveTo(34, 16);
    page.lineTo(80, 16);
    page.lineTo(94, 30);
    page.lineTo(94, 62);
    page.lineTo(34, 62);
    page.closeSubpath();
    p.setPen(QPen(QColor(60, 60, 80), 2));
    p.setBrush(QColor(250, 250, 252));
    p.drawPath(page);
    p.setBrush(QColor(200, 205, 220));
    p.drawPolygon(QPolygonF({QPointF(80, 16), QPointF(80, 30), QPointF(94, 30)}));
    p.setPen(QPen(QColor(150, 160, 185), 3));
    for (int y = 36; y <= 54; y += 9) p.drawLine(42, y, 86, y);

    // The shredder's red mouth.
    QLinearGradient red(0, 60, 0, 80);
    red.setColorAt(0.0, QColor(235, 70, 70));
    red.setColorAt(1.0, QColor(150, 16, 24));
    p.setPen(QPen(QColor(90, 0, 10), 2));
    p.setBrush(red);
    p.drawRoundedRect(QRectF(20, 60, 88, 20), 6, 6);

    // The strips that come out below.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 245, 250));
    for (int i = 0; i < 6; ++i) {
        qreal x = 32 + i * 11.5;
        qreal len = 22 + (i % 3) * 8;
        p.drawRoundedRect(QRectF(x, 82, 7, len), 2, 2);
    }
}

QImage IconImage(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    PaintIcon(p, size);
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

// The same picture in at most 256 colours, transparent or opaque pixels only.
QImage IconImage256(int size) {
    QImage img = IconImage(size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            QRgb c = img.pixel(x, y);
            img.setPixel(x, y, qAlpha(c) >= 128 ? (c | 0xFF000000u) : 0u);
        }
    }
    return img
        .convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::ThresholdAlphaDither)
        .convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

QPixmap MainBackground() {
    QImage img(722, 367, QImage::Format_RGB888);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    engine::PaintGround(p, img, {{0.0, QColor(14, 30, 82)}, {1.0, QColor(4, 10, 38)}},
                        QPointF(360, 120), 420, QColor(60, 90, 170, 60));
    // Faint diagonal lines, as on the progress window.
    engine::PaintDiagonals(p, img, 10);

    // Left: the method list, then its description.
    Panel(p, QRectF(18, 10, 394, 66), kRed);
    Panel(p, QRectF(18, 92, 394, 236), kRed);
    // Right: destroy files, destroy a folder, then the drive with its button
    // and the shutdown box.
    Panel(p, QRectF(424, 10, 284, 66), kBlue);
    Panel(p, QRectF(424, 92, 284, 66), kBlue);
    Panel(p, QRectF(424, 184, 284, 144), kBlue);
    p.end();
    return QPixmap::fromImage(img);
}

std::vector<QImage> ProgramIconImages() {
    return {IconImage256(32), IconImage(128), IconImage(64), IconImage(48), IconImage(32)};
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const QImage& image : ProgramIconImages()) icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

QImage HandImage() {
    QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // The pointing finger, three folded fingers, the palm and the thumb.
    QPainterPath hand;
    hand.addRoundedRect(QRectF(9.5, 1.5, 5, 17), 2.5, 2.5);
    hand.addRoundedRect(QRectF(14, 10.5, 4.5, 9), 2.2, 2.2);
    hand.addRoundedRect(QRectF(18, 11.5, 4.5, 9), 2.2, 2.2);
    hand.addRoundedRect(QRectF(22, 12.5, 4.5, 9), 2.2, 2.2);
    hand.addRoundedRect(QRectF(9.5, 15, 17, 13), 4, 4);
    QPainterPath thumb;
    thumb.moveTo(10, 24);
    thumb.lineTo(4.5, 17.5);
    thumb.quadTo(3, 15, 5.5, 14.5);
    thumb.quadTo(7.5, 14.5, 10, 18);
    thumb.closeSubpath();
    hand.addPath(thumb);
    hand.setFillRule(Qt::WindingFill);
    hand = hand.simplified();
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    // The cuff.
    p.setBrush(QColor(38, 97, 206));
    p.drawRoundedRect(QRectF(10.5, 27, 15, 4), 1.5, 1.5);
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

QCursor HandCursor() {
    // The hot spot is the tip of the pointing finger.
    return QCursor(QPixmap::fromImage(HandImage()), 12, 2);
}

}  // namespace app
