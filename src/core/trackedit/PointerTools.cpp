// The editor's buttons and its pan, zoom and place-mark tools.
#include "trackedit/PointerTools.h"

#include <algorithm>
#include <cmath>

namespace varno::trackedit {
namespace {

using K = views::PointerEvent::Kind;
using B = views::PointerEvent::Button;

bool inRange(int v, int lo, int hi)
{
    return lo <= v && v <= hi;
}

bool leftPress(const views::PointerEvent& e)
{
    return e.kind == K::Press && e.button == B::Left;
}

// Zooming out shows more of the height background per pixel, zooming in less,
// never less than one sample a pixel.
void zoom(ToolContext& c, bool out)
{
    if (out) {
        c.projection.scale *= 0.6;
        if (c.srtm)
            c.srtm->divisor += 0.5;
    } else {
        c.projection.scale *= 1.4;
        if (c.srtm && c.srtm->divisor > 1.0)
            c.srtm->divisor -= 0.5;
    }
}

// The marks after a marker button: never below 0 nor above the point count.
Marks stepped(Marks m, long count, EditorButton b)
{
    const bool isStart = b <= EditorButton::StartPlus10;
    long v = isStart ? m.start : m.end;
    switch (b) {
    case EditorButton::StartMinus10:
    case EditorButton::EndMinus10:
        v = v > 9 ? v - 10 : 0;
        break;
    case EditorButton::StartMinus1:
    case EditorButton::EndMinus1:
        v = v > 0 ? v - 1 : v;
        break;
    case EditorButton::StartPlus1:
    case EditorButton::EndPlus1:
        v = v < count ? v + 1 : v;
        break;
    default:
        v = v >= count - 9 ? count : v + 10;
        break;
    }
    (isStart ? m.start : m.end) = v;
    return m;
}

bool isMarkerButton(EditorButton b)
{
    return b >= EditorButton::StartMinus10 && b <= EditorButton::EndPlus10;
}

// The point of the edited track nearest to a double click, -1 for none. The
// click is compared 129 pixels up from where the points are drawn.
long nearestPoint(const EditorProjection& p, const std::vector<TrackPoint>& pts, int x, int y)
{
    double best = 10000.0;
    long found = -1;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const double dx = p.x(pts[i].latDeg, pts[i].lonDeg) - x;
        const double dy = p.y(pts[i].latDeg) - (y - 129);
        const double d = std::sqrt(dx * dx + dy * dy);
        if (d < best) {
            best = d;
            found = static_cast<long>(i);
        }
    }
    return found;
}

} // namespace

EditorButton hitButton(int x, int y, int width, int height)
{
    const int H = height;
    (void)width;
    if (86 <= y && y < 106)
        return EditorButton::TrackBar;
    if (112 <= y && y < 129) {
        struct Span {
            int lo, hi;
            EditorButton b;
        };
        static constexpr Span kTop[] = {
            {250, 272, EditorButton::StartMinus10}, {277, 300, EditorButton::StartMinus1},
            {309, 331, EditorButton::StartPlus1},   {337, 359, EditorButton::StartPlus10},
            {400, 421, EditorButton::EndMinus10},   {427, 450, EditorButton::EndMinus1},
            {458, 481, EditorButton::EndPlus1},     {486, 507, EditorButton::EndPlus10},
        };
        for (const Span& s : kTop)
            if (inRange(x, s.lo, s.hi))
                return s.b;
        return EditorButton::TopBarGap;
    }
    if (H - 25 < y && y < H - 3) {
        if (inRange(x, 5, 27))
            return EditorButton::ZoomOut;
        if (inRange(x, 33, 57))
            return EditorButton::ZoomIn;
        return EditorButton::BottomBarGap;
    }
    if (H - 106 < y && y < H - 36) {
        if (inRange(x, 7, 33) && y < H - 90)
            return EditorButton::North;
        if (inRange(x, 7, 33) && H - 90 < y && y < H - 76)
            return EditorButton::South;
        if (inRange(x, 5, 18) && H - 64 < y && y < H - 28)
            return EditorButton::West;
        if (inRange(x, 22, 34) && H - 64 < y && y < H - 28)
            return EditorButton::East;
    }
    return EditorButton::None;
}

bool ZoomTool::onPointer(const views::PointerEvent& e, EditorButton hit, ToolContext& c)
{
    if (leftPress(e) && (hit == EditorButton::ZoomOut || hit == EditorButton::ZoomIn)) {
        zoom(c, hit == EditorButton::ZoomOut);
        return true;
    }
    if (e.kind == K::Wheel && e.wheelDelta != 0) {
        // A turn away from the user zooms out.
        zoom(c, e.wheelDelta > 0);
        return true;
    }
    return false;
}

bool PanTool::onPointer(const views::PointerEvent& e, EditorButton hit, ToolContext& c)
{
    EditorProjection& p = c.projection;
    std::optional<SrtmLayer>& srtm = c.srtm;
    if (leftPress(e)) {
        // A button moves the view by a thousandth of a pixel's metre count.
        const double step = 1.0 / p.scale / 1000.0;
        switch (hit) {
        case EditorButton::North:
            p.topLatDeg += step;
            if (srtm && srtm->firstRow > 299)
                srtm->firstRow -= 300;
            return true;
        case EditorButton::South:
            p.topLatDeg -= step;
            if (srtm)
                srtm->firstRow += 300;
            return true;
        case EditorButton::West:
            p.leftLonDeg -= step;
            if (srtm && srtm->firstColumn > 299)
                srtm->firstColumn -= 300;
            return true;
        case EditorButton::East:
            p.leftLonDeg += step;
            if (srtm)
                srtm->firstColumn += 300;
            return true;
        default:
            return false;
        }
    }
    if (e.button != B::Right)
        return false;
    if (e.kind == K::Press) {
        downX_ = e.x;
        downY_ = e.y;
        downLatDeg_ = p.topLatDeg - (e.y - EditorProjection::kMapTop) * p.latDegPerPx();
        return false;
    }
    if (e.kind != K::Release || (e.x == downX_ && e.y == downY_))
        return false;
    // The place the drag took hold of ends under the pointer, at any latitude:
    // a pixel of longitude is as wide as it is at that place.
    p.leftLonDeg -= (e.x - downX_) * p.lonDegPerPx(downLatDeg_);
    p.topLatDeg += (e.y - downY_) * p.latDegPerPx();
    return true;
}

bool PlaceMarkTool::onPointer(const views::PointerEvent& e, EditorButton hit, ToolContext& c)
{
    const EditedTrack* track = c.track.track();
    const Marks now = c.track.marks();
    const long count = c.track.count();
    if (leftPress(e)) {
        // The marker buttons move the marks of an edited track only.
        if (!isMarkerButton(hit) || !track)
            return false;
        const Marks next = stepped(now, count, hit);
        if (next != now)
            c.moveMarks(next);
        return true;
    }
    if (e.kind != K::DoubleClick || (e.button != B::Left && e.button != B::Right))
        return false;
    const int x = e.x, y = e.y, W = c.projection.width, H = c.projection.height;
    const bool left = e.button == B::Left;
    Marks next = now;
    if (86 <= y && y < 106) {
        if (!(93 < x && x < W - 103) || count <= 3 || !track)
            return false;
        // The end is placed over a bar 3 pixels narrower than the one the start
        // is placed over, so near the right end it lands past the last point:
        // it is held to the count, and a window too narrow for the bar leaves it.
        const int span = left ? W - 197 : W - 200;
        if (span <= 0)
            return false;
        const long at =
            std::min<long>(count, static_cast<long>(static_cast<long long>(x - 93) * count / span));
        (left ? next.start : next.end) = at;
    } else {
        if ((112 <= y && y < 129) || (H - 25 < y && y < H - 3) || (x < 38 && H - 106 < y && y < H - 36))
            return false;
        if (!track)
            return false;
        const long found = nearestPoint(c.projection, track->entry.points, x, y);
        if (found < 0)
            return false;
        (left ? next.start : next.end) = found;
    }
    if (next == now)
        return false;
    c.moveMarks(next);
    return true;
}

} // namespace varno::trackedit
