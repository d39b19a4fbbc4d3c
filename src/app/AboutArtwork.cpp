#include "app/AboutArtwork.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "app/MainArtwork.h"

namespace app {

QPixmap AboutTitlePicture() {
    QImage img(77, 75, QImage::Format_RGB888);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // A soft blue halo behind the emblem, gone before the title begins.
    QRadialGradient halo(QPointF(30, 37), 36);
    halo.setColorAt(0.0, QColor(200, 220, 250));
    halo.setColorAt(0.7, QColor(232, 241, 253));
    halo.setColorAt(1.0, Qt::white);
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(QPointF(30, 37), 36, 36);
    // The program's emblem.
    const QImage emblem = ProgramIconImages().at(1);  // 128 pixels, scaled down smoothly
    p.drawImage(QRectF(6, 12, 50, 50), emblem);
    p.end();
    return QPixmap::fromImage(img);
}

QPixmap AboutPicture() {
    QImage img(150, 120, QImage::Format_RGB888);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // The floor shadow.
    QRadialGradient shadow(QPointF(70, 108), 60);
    shadow.setColorAt(0.0, QColor(200, 205, 215));
    shadow.setColorAt(1.0, Qt::white);
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(QRectF(12, 100, 116, 16));

    // The drive: a brushed case with its platter seen through the lid.
    QRectF body(14, 30, 104, 74);
    QLinearGradient metal(body.topLeft(), body.bottomLeft());
    metal.setColorAt(0.0, QColor(236, 239, 244));
    metal.setColorAt(1.0, QColor(168, 175, 188));
    p.setPen(QPen(QColor(96, 104, 120), 1.5));
    p.setBrush(metal);
    p.drawRoundedRect(body, 10, 10);
    QRadialGradient platter(QPointF(56, 62), 30);
    platter.setColorAt(0.0, QColor(250, 250, 252));
    platter.setColorAt(0.55, QColor(190, 198, 212));
    platter.setColorAt(1.0, QColor(120, 130, 150));
    p.setBrush(platter);
    p.drawEllipse(QPointF(56, 66), 30, 30);
    p.setBrush(QColor(90, 98, 114));
    p.drawEllipse(QPointF(56, 66), 5, 5);
    // The arm.
    p.setPen(QPen(QColor(70, 76, 90), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(100, 44), QPointF(72, 80));
    p.setBrush(QColor(70, 76, 90));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(100, 44), 6, 6);
    // The data being erased: lines that fade away to the right.
    for (int i = 0; i < 4; ++i) {
        QLinearGradient fade(18, 0, 48, 0);
        fade.setColorAt(0.0, QColor(2, 92, 202, 220));
        fade.setColorAt(1.0, QColor(2, 92, 202, 0));
        p.setBrush(fade);
        p.drawRoundedRect(QRectF(18, 38 + i * 7, 30 - i * 5, 3), 1.5, 1.5);
    }

    // The shield in front, blue with a white tick.
    QPainterPath shield;
    shield.moveTo(112, 8);
    shield.cubicTo(122, 14, 132, 15, 142, 14);
    shield.cubicTo(143, 44, 134, 62, 112, 74);
    shield.cubicTo(90, 62, 81, 44, 82, 14);
    shield.cubicTo(92, 15, 102, 14, 112, 8);
    QLinearGradient blue(QPointF(112, 8), QPointF(112, 74));
    blue.setColorAt(0.0, QColor(64, 132, 232));
    blue.setColorAt(1.0, QColor(2, 62, 150));
    p.setPen(QPen(Qt::white, 3));
    p.setBrush(blue);
    p.drawPath(shield);
    p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath tick;
    tick.moveTo(98, 40);
    tick.lineTo(109, 51);
    tick.lineTo(128, 28);
    p.drawPath(tick);
    p.end();
    return QPixmap::fromImage(img);
}

}  // namespace app
