// The program's icon: a red-rimmed warning triangle holding a camera, above a road.
#include "gui/paint/AppIcon.h"

#include <QPainter>
#include <QPainterPath>

QImage appIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    // The road: a dark band narrowing towards the horizon, with a dashed centre line.
    QPainterPath road;
    road.moveTo(10, 64);
    road.lineTo(28, 30);
    road.lineTo(36, 30);
    road.lineTo(54, 64);
    road.closeSubpath();
    p.fillPath(road, QColor(0x3a, 0x3f, 0x46));
    p.setPen(QPen(QColor(0xf2, 0xc9, 0x4c), 2.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(32, 62), QPointF(32, 55));
    p.drawLine(QPointF(32, 50), QPointF(32, 45));

    // The sign: white triangle, red rim.
    QPainterPath sign;
    sign.moveTo(32, 3);
    sign.lineTo(60, 48);
    sign.lineTo(4, 48);
    sign.closeSubpath();
    p.setPen(QPen(QColor(0xc8, 0x1e, 0x1e), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(sign);

    // The camera: body, lens and a small flash.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x20, 0x20, 0x20));
    p.drawRoundedRect(QRectF(21, 26, 22, 14), 2.5, 2.5);
    p.drawRect(QRectF(26, 23, 7, 4));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(32, 33), 4.6, 4.6);
    p.setBrush(QColor(0x20, 0x20, 0x20));
    p.drawEllipse(QPointF(32, 33), 2.6, 2.6);
    p.setBrush(QColor(0xf2, 0xc9, 0x4c));
    p.drawRect(QRectF(37, 28, 3.5, 2.5));
    return image;
}

QIcon appIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(appIconImage(size)));
    return icon;
}
