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

struct LayoutFont {
    QFont font;
    int ascent = 0;
};

const LayoutFont& fontFor(int cellHeight)
{
    static std::map<int, LayoutFont> fonts;
    auto it = fonts.find(cellHeight);
    if (it == fonts.end()) {
        QFont f = CVARNOView::cellFont(QStringLiteral("Times New Roman"), cellHeight);
        const int ascent = QFontMetrics(f).ascent();
        it = fonts.emplace(cellHeight, LayoutFont{f, ascent}).first;
    }
    return it->second;
}

// The layout's origins are the top left of the character cell.
void drawText(QPainter& p, const SceneText& t)
{
    const LayoutFont& f = fontFor(t.fontHeight);
    if (p.font() != f.font)
        p.setFont(f.font);
    p.drawText(QPoint(t.x, t.y + f.ascent), textFromBytes(t.text));
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

// One-pixel lines, handed to the painter in runs of one colour.
void drawLines(QPainter& p, const std::vector<SceneLine>& lines)
{
    QVector<QLine> run;
    run.reserve(static_cast<qsizetype>(lines.size()));
    auto flush = [&](std::uint32_t colour) {
        if (run.isEmpty())
            return;
        p.setPen(QPen(toQColor(colour), 0));
        p.drawLines(run);
        run.clear();
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0 && lines[i].colour != lines[i - 1].colour)
            flush(lines[i - 1].colour);
        run.append(QLine(lines[i].x1, lines[i].y1, lines[i].x2, lines[i].y2));
    }
    if (!lines.empty())
        flush(lines.back().colour);
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
    return fontFor(cellHeight).font;
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
