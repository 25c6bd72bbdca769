// The nine camera type pictures of the average-speed line, drawn at run time.
#include "gui/paint/CameraTypeIcons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <array>

using varno::views::IconId;

namespace {

const QColor kInk(20, 20, 20);

// Each picture: a coloured tile, a small drawing in its top part and the
// type's short name along the bottom, so it reads at a glance while driving.
struct IconLook {
    QColor tile;
    const char* caption;
};

IconLook lookOf(IconId c)
{
    switch (c) {
    case IconId::Mobil:
        return {QColor(90, 160, 235), "MOBILE"};
    case IconId::Gatso:
        return {QColor(250, 210, 40), "GATSO"};
    case IconId::RedLight:
        return {QColor(235, 235, 235), "RED"};
    case IconId::Monit:
        return {QColor(170, 200, 170), "MONIT"};
    case IconId::RedSpeed:
        return {QColor(250, 170, 150), "RED+SP"};
    case IconId::Specs:
        return {QColor(255, 150, 40), "SPECS"};
    case IconId::Tempo:
        return {QColor(255, 235, 150), "TEMP"};
    case IconId::Truvelo:
        return {QColor(190, 190, 215), "TRUV"};
    default: // Other, and the track editor's pictures (not camera types)
        break;
    }
    return {QColor(210, 210, 210), "CAM"};
}

// A box camera seen from the side: body and lens facing left.
void boxCamera(QPainter& p, QRectF body, const QColor& colour)
{
    p.setBrush(colour);
    p.drawRect(body);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(body.left() + 3.5, body.center().y()), 2.5, 2.5);
}

void trafficLight(QPainter& p, QRectF r, bool speedToo)
{
    p.setBrush(QColor(50, 50, 50));
    p.drawRoundedRect(r, 2, 2);
    const double d = r.width() - 4;
    const std::array<QColor, 3> lamps = {QColor(230, 20, 20), QColor(90, 70, 0), QColor(0, 70, 0)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(lamps[static_cast<std::size_t>(i)]);
        p.drawEllipse(QRectF(r.left() + 2, r.top() + 2 + i * (d + 1), d, d));
    }
    if (speedToo) {
        p.setBrush(Qt::white);
        p.setPen(QPen(QColor(220, 20, 20), 2));
        p.drawEllipse(QPointF(r.right() + 9, r.top() + 9), 7, 7);
        p.setPen(kInk);
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(8);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(r.right() + 2, r.top() + 2, 14, 14), Qt::AlignCenter, QStringLiteral("30"));
    }
}

void drawPicture(QPainter& p, IconId c)
{
    p.setPen(QPen(kInk, 1));
    switch (c) {
    case IconId::Mobil: { // a van with a camera in its back window
        QPainterPath van;
        van.moveTo(6, 22);
        van.lineTo(6, 9);
        van.lineTo(27, 9);
        van.lineTo(35, 16);
        van.lineTo(36, 22);
        van.closeSubpath();
        p.setBrush(Qt::white);
        p.drawPath(van);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(12, 23), 3, 3);
        p.drawEllipse(QPointF(30, 23), 3, 3);
        p.setBrush(QColor(60, 60, 60));
        p.drawRect(QRectF(8, 11, 8, 6));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(12, 14), 1.6, 1.6);
        break;
    }
    case IconId::Gatso: // a rear-facing box on a post
        p.setBrush(QColor(90, 90, 90));
        p.drawRect(QRectF(20, 17, 3, 10));
        boxCamera(p, QRectF(10, 5, 22, 12), QColor(255, 240, 120));
        break;
    case IconId::RedLight:
        trafficLight(p, QRectF(16, 3, 10, 25), false);
        break;
    case IconId::RedSpeed:
        trafficLight(p, QRectF(8, 3, 10, 25), true);
        break;
    case IconId::Monit: // a pole-top camera looking down the road
        p.setBrush(QColor(90, 90, 90));
        p.drawRect(QRectF(27, 8, 3, 20));
        p.save();
        p.translate(21, 10);
        p.rotate(18);
        boxCamera(p, QRectF(-10, -4, 16, 8), QColor(230, 230, 230));
        p.restore();
        break;
    case IconId::Specs: // two cameras on gantries, an arrow between them
        p.setBrush(QColor(40, 40, 40));
        boxCamera(p, QRectF(4, 6, 12, 8), QColor(255, 230, 120));
        boxCamera(p, QRectF(26, 6, 12, 8), QColor(255, 230, 120));
        p.setPen(QPen(kInk, 2));
        p.drawLine(QPointF(8, 22), QPointF(32, 22));
        p.drawLine(QPointF(32, 22), QPointF(27, 18));
        p.drawLine(QPointF(32, 22), QPointF(27, 26));
        break;
    case IconId::Tempo: { // a traffic cone
        QPainterPath cone;
        cone.moveTo(21, 3);
        cone.lineTo(29, 25);
        cone.lineTo(13, 25);
        cone.closeSubpath();
        p.setBrush(QColor(250, 110, 20));
        p.drawPath(cone);
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(QPointF(17.5, 15), QPointF(24.5, 15));
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(250, 110, 20));
        p.drawRect(QRectF(9, 25, 24, 3));
        break;
    }
    case IconId::Truvelo: // a front-facing box with two lenses
        p.setBrush(QColor(90, 90, 90));
        p.drawRect(QRectF(20, 20, 3, 8));
        p.setBrush(QColor(240, 240, 240));
        p.drawRect(QRectF(11, 4, 20, 16));
        p.setBrush(kInk);
        p.drawEllipse(QPointF(16, 12), 3, 3);
        p.drawEllipse(QPointF(26, 12), 3, 3);
        break;
    default: // Other: a camera body with a question mark
        p.setBrush(QColor(120, 120, 120));
        p.drawRoundedRect(QRectF(8, 8, 26, 18), 3, 3);
        p.drawRect(QRectF(14, 5, 8, 4));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(21, 17), 6, 6);
        p.setPen(kInk);
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(10);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(15, 11, 12, 12), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
}

QImage drawIcon(IconId c)
{
    const IconLook look = lookOf(c);
    QImage img(kCameraIconSize, kCameraIconSize, QImage::Format_RGB32);
    img.fill(look.tile);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawPicture(p, c);

    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(kInk);
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, kCameraIconSize - 1, kCameraIconSize - 1);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(9);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(1, 30, kCameraIconSize - 2, 11), Qt::AlignCenter, QString::fromLatin1(look.caption));
    return img;
}

} // namespace

const QImage& cameraTypeIcon(IconId cls)
{
    static const std::array<QImage, varno::views::kIconIdCount> icons = [] {
        std::array<QImage, varno::views::kIconIdCount> all;
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = drawIcon(static_cast<IconId>(i));
        return all;
    }();
    const auto i = static_cast<std::size_t>(cls);
    return icons[i < icons.size() ? i : static_cast<std::size_t>(IconId::Other)];
}
