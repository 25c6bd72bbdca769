// Draws the camera view's scene, as the core laid it out, with QPainter.
#include "CameraViewPainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <array>
#include <map>

#include "CVARNOView.h"
#include "CameraTypeIcons.h"
#include "ColourConvert.h"

using namespace varno::views;

namespace {

// Rectangles of the layout include their left and top edges and stop short of
// their right and bottom ones.
QRect toQRect(const Rect& r)
{
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

void drawText(QPainter& p, const SceneText& t)
{
    const QFont& f = layoutFont(t.fontHeight);
    p.setFont(f);
    // The layout's origins are the top left of the character cell.
    p.drawText(QPoint(t.x, t.y + QFontMetrics(f).ascent()), textFromBytes(t.text));
}

void drawBox(QPainter& p, const SceneBox& b, const BoxColours& colours)
{
    const QRect r = toQRect(b.rect);
    const bool black = b.style != BoxStyle::Scheme;
    const QColor frame = b.style == BoxStyle::Black ? QColor(Qt::black) : toQColor(kFrameGrey);
    const QColor fill = black ? QColor(Qt::black) : colours.background;
    p.fillRect(r, frame);
    p.fillRect(r.adjusted(1, 1, -1, -1), fill);
    if (b.texts.empty())
        return;
    p.save();
    p.setClipRect(r);
    p.setPen(colours.text);
    p.setBackground(fill);
    p.setBackgroundMode(Qt::OpaqueMode);
    for (const SceneText& t : b.texts)
        drawText(p, t);
    p.restore();
}

bool isTopLine(BoxId id)
{
    return id == BoxId::CameraLine || id == BoxId::AverageSpeedLine;
}

void drawLines(QPainter& p, const std::vector<SceneLine>& lines)
{
    if (lines.empty())
        return;
    std::uint32_t colour = lines.front().colour;
    p.setPen(QPen(toQColor(colour), 0));
    for (const SceneLine& l : lines) {
        if (l.colour != colour) {
            colour = l.colour;
            p.setPen(QPen(toQColor(colour), 0));
        }
        p.drawLine(l.x1, l.y1, l.x2, l.y2);
    }
}

void drawMapContents(QPainter& p, const CameraViewScene& scene)
{
    const SceneBox* map = scene.box(BoxId::Map);
    if (!map)
        return;
    p.save();
    p.setClipRect(toQRect(map->rect));
    p.setBackgroundMode(Qt::TransparentMode);
    p.setPen(Qt::white);
    for (const SceneText& letter : scene.mapLetters)
        drawText(p, letter);
    if (scene.radiusLabel)
        drawText(p, *scene.radiusLabel);
    drawLines(p, scene.crossHair);
    drawLines(p, scene.trail);
    p.restore();
}

} // namespace

const QFont& layoutFont(int cellHeight)
{
    static std::map<int, QFont> fonts;
    auto it = fonts.find(cellHeight);
    if (it == fonts.end())
        it = fonts.emplace(cellHeight, CVARNOView::cellFont(QStringLiteral("Times New Roman"), cellHeight))
                 .first;
    return it->second;
}

void paintTopLines(QPainter& p, const CameraViewScene& scene, const BoxColours& colours)
{
    for (const SceneBox& b : scene.boxes)
        if (isTopLine(b.id))
            drawBox(p, b, colours);
    for (const IconSlot& icon : scene.icons)
        p.drawImage(QPoint(icon.x, icon.y), cameraTypeIcon(icon.icon));
}

void paintDashboard(QPainter& p, const CameraViewScene& scene, const BoxColours& colours)
{
    for (const SceneBox& b : scene.boxes) {
        if (isTopLine(b.id))
            continue;
        drawBox(p, b, colours);
        if (b.id == BoxId::Map)
            drawMapContents(p, scene);
    }
}
