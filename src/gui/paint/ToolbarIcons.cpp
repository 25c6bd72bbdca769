// The toolbar pictures, drawn at run time so no image files are needed.
#include "gui/paint/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "session/CommandTable.h"

namespace {

// Every picture is drawn on a 16 x 16 grid and scaled.
void draw(QPainter& p, varno::session::CommandId id)
{
    using varno::session::CommandId;
    const QPen outline(QColor(40, 40, 40), 1.2);
    p.setPen(outline);
    switch (id) {
    case CommandId::ToolStart: { // green "play" triangle
        QPainterPath t;
        t.moveTo(4, 2);
        t.lineTo(14, 8);
        t.lineTo(4, 14);
        t.closeSubpath();
        p.setBrush(QColor(30, 160, 60));
        p.drawPath(t);
        break;
    }
    case CommandId::ToolStop: // red square
        p.setBrush(QColor(200, 40, 40));
        p.drawRect(QRectF(3, 3, 10, 10));
        break;
    case CommandId::ToolZoomIn:
    case CommandId::ToolZoomOut: // magnifying glass, with a plus to zoom in
        p.setBrush(QColor(210, 230, 250));
        p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
        p.setPen(QPen(QColor(40, 40, 40), 2.2));
        p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
        p.setPen(QPen(QColor(20, 20, 20), 1.4));
        p.drawLine(QPointF(3.8, 6), QPointF(8.2, 6));
        if (id == CommandId::ToolZoomIn)
            p.drawLine(QPointF(6, 3.8), QPointF(6, 8.2));
        break;
    case CommandId::ToolMark: { // map pin
        QPainterPath pin;
        pin.moveTo(8, 15);
        pin.cubicTo(3, 9, 3, 7, 3, 6);
        pin.arcTo(QRectF(3, 1, 10, 10), 180, -180);
        pin.cubicTo(13, 7, 13, 9, 8, 15);
        p.setBrush(QColor(220, 60, 40));
        p.drawPath(pin);
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(6, 4, 4, 4));
        break;
    }
    case CommandId::ToolDay: // sun
        p.setBrush(QColor(250, 200, 30));
        p.drawEllipse(QRectF(4.5, 4.5, 7, 7));
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(8, 8);
            p.rotate(45.0 * i);
            p.drawLine(QPointF(0, -5.5), QPointF(0, -7.5));
            p.restore();
        }
        break;
    case CommandId::ToolNight: { // crescent moon
        QPainterPath moon;
        moon.addEllipse(QRectF(2, 2, 12, 12));
        QPainterPath bite;
        bite.addEllipse(QRectF(6, 0.5, 11, 11));
        p.setBrush(QColor(60, 70, 150));
        p.drawPath(moon.subtracted(bite));
        break;
    }
    case CommandId::Tool800x600: // a window with a title bar
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.setBrush(QColor(50, 90, 170));
        p.drawRect(QRectF(1.5, 2.5, 13, 3));
        p.setPen(QPen(QColor(40, 40, 40), 1));
        p.drawLine(QPointF(4, 9), QPointF(12, 9));
        p.drawLine(QPointF(4, 11.5), QPointF(10, 11.5));
        break;
    case CommandId::ToolMute: { // speaker with a slash
        QPainterPath s;
        s.moveTo(2, 6);
        s.lineTo(5, 6);
        s.lineTo(9, 2.5);
        s.lineTo(9, 13.5);
        s.lineTo(5, 10);
        s.lineTo(2, 10);
        s.closeSubpath();
        p.setBrush(QColor(90, 90, 90));
        p.drawPath(s);
        p.setPen(QPen(QColor(200, 30, 30), 1.6));
        p.drawLine(QPointF(10.5, 4), QPointF(15, 12));
        break;
    }
    case CommandId::FileOpen: { // folder
        p.setBrush(QColor(240, 200, 90));
        QPainterPath f;
        f.moveTo(1.5, 4);
        f.lineTo(6, 4);
        f.lineTo(7.5, 5.5);
        f.lineTo(14.5, 5.5);
        f.lineTo(14.5, 13.5);
        f.lineTo(1.5, 13.5);
        f.closeSubpath();
        p.drawPath(f);
        break;
    }
    case CommandId::FileSave: // diskette
        p.setBrush(QColor(60, 90, 160));
        p.drawRect(QRectF(2, 2, 12, 12));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 2, 7, 4.5));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(4.5, 9, 7, 5));
        break;
    case CommandId::FilePrint: // printer
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(150, 150, 150));
        p.drawRect(QRectF(1.5, 6, 13, 6));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10, 7, 4.5));
        break;
    case CommandId::AppAbout: { // question mark in a circle
        p.setBrush(QColor(60, 120, 200));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        QFont f;
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    default:
        break;
    }
}

} // namespace

QIcon toolbarIcon(varno::session::CommandId commandId)
{
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        draw(p, commandId);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}
