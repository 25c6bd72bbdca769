// The track editor's drawing: header, bands, marker texts, buttons, the tracks,
// the edited track, its markers, the location cross and the track bar.
#include <algorithm>
#include <cmath>
#include <span>

#include <fmt/printf.h>

#include "trackedit/Editor.h"

namespace varno::trackedit {
namespace {

using views::Point;
using views::Rect;

constexpr std::uint32_t rgb(unsigned r, unsigned g, unsigned b)
{
    return r | (g << 8) | (b << 16);
}

constexpr std::uint32_t kBlack = rgb(0, 0, 0);
constexpr std::uint32_t kWhite = rgb(255, 255, 255);
constexpr std::uint32_t kYellow = rgb(233, 240, 0);
constexpr std::uint32_t kStartColour = rgb(255, 150, 50);
constexpr std::uint32_t kEndColour = rgb(0, 193, 230);
constexpr std::uint32_t kButtonFace = rgb(212, 208, 200);
constexpr std::uint32_t kButtonPressed = rgb(150, 146, 140);
constexpr int kTop = EditorProjection::kMapTop;

void text(views::Scene& s, std::string t, int x, int y, std::uint32_t colour, std::uint32_t back)
{
    views::TextItem item;
    item.text = std::move(t);
    item.x = x;
    item.y = y;
    item.cellHeight = 18;
    item.colour = colour;
    item.background = back;
    s.add(std::move(item));
}

void line(views::Scene& s, Point a, Point b, std::uint32_t colour, int width)
{
    s.add(views::PolylineItem{{a, b}, colour, width, {}});
}

// A button: a face, a frame and its sign (an arrow or a short label).
void button(views::Scene& s, Rect r, bool pressed, const char* label)
{
    s.addBox(r, kBlack, pressed ? kButtonPressed : kButtonFace);
    views::TextItem t;
    t.text = label;
    t.family = "Arial";
    t.cellHeight = std::min(14, r.bottom - r.top);
    t.x = r.left + 2;
    t.y = r.top + (r.bottom - r.top - t.cellHeight) / 2;
    t.colour = kBlack;
    t.clip = r;
    s.add(std::move(t));
}

void arrow(views::Scene& s, Rect r, bool pressed, int dx, int dy)
{
    s.addBox(r, kBlack, pressed ? kButtonPressed : kButtonFace);
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const int hx = (r.right - r.left) / 2 - 2, hy = (r.bottom - r.top) / 2 - 2;
    // A triangle pointing along (dx, dy).
    const Point tip{cx + dx * hx, cy + dy * hy};
    const Point a{cx - dx * hx + dy * hx, cy - dy * hy + dx * hy};
    const Point b{cx - dx * hx - dy * hx, cy - dy * hy - dx * hy};
    s.add(views::PolylineItem{{tip, a, b, tip}, kBlack, 1, {}});
}

void cross(views::Scene& s, int x, int y, std::uint32_t colour)
{
    line(s, {x - 25, y + 133}, {x + 25, y + 133}, colour, 0);
    line(s, {x, y + 110}, {x, y + 160}, colour, 0);
}

// Whether any of an entry's extent can land on screen.
bool mayBeOnScreen(const EditorProjection& p, const TrackEntry& e)
{
    if (!e.loaded)
        return false;
    if (e.extent.empty)
        return !e.points.empty(); // not known: let the drawing decide
    const TrackExtent& x = e.extent;
    const int top = p.y(x.maxLatDeg), bottom = p.y(x.minLatDeg);
    if (bottom <= 0 || top >= p.height - 150)
        return false;
    // Across a small extent the cosine hardly changes: one at the middle
    // latitude with a margin will do. A tall extent is left to the drawing.
    if (x.maxLatDeg - x.minLatDeg > 0.5)
        return true;
    const double k = std::cos((x.minLatDeg + x.maxLatDeg) * 0.5 * 0.017453292519943295) * 111319.2 * p.scale;
    const double left = (x.minLonDeg - p.leftLonDeg) * k, right = (x.maxLonDeg - p.leftLonDeg) * k;
    const double margin = (std::fabs(left) + std::fabs(right)) * 0.01 + 2.0;
    return right + margin > 0 && left - margin < p.width - 20;
}

// The part of the world the map shows, with a margin: the longitude span is
// widest where the cosine is smallest, and the lines between points of an
// entry may bend a little out of its extent.
GeoBox screenBox(const EditorProjection& p)
{
    if (!(p.scale > 0.0) || !std::isfinite(p.scale))
        return {-1e9, 1e9, -1e9, 1e9};
    const double latPerPx = 1.0 / (111248.4 * p.scale);
    const double top = p.topLatDeg + 2 * latPerPx;
    const double bottom = p.topLatDeg - (p.height - 150 + 2) * latPerPx;
    const double maxAbsLat = std::min(89.9, std::max(std::fabs(top), std::fabs(bottom)));
    const double lonPerPx = 1.0 / (std::cos(maxAbsLat * 0.017453292519943295) * 111319.2 * p.scale);
    const double width = (p.width - 20) * lonPerPx;
    return {bottom, top, p.leftLonDeg - width * 0.02 - 2 * lonPerPx,
            p.leftLonDeg + width * 1.02 + 2 * lonPerPx};
}

} // namespace

// Polylines and labels are drawn entry by entry, so the entries near the
// screen are looked up in the grid and drawn in runs, in list order. Icons and
// node names come after every entry's lines, so with either shown the whole
// list is drawn in one go.
void Editor::drawEntries(views::Scene& scene)
{
    const std::span<const TrackEntry> entries(map_.store()->tracks);
    if (displayFlags.icons || displayFlags.nodeNames) {
        drawTracks(scene, proj_, entries, displayFlags);
        return;
    }
    if (indexVersion_ != map_.version() || index_.size() != entries.size()) {
        index_.build(entries);
        indexVersion_ = map_.version();
    }
    index_.query(screenBox(proj_), candidates_);
    const std::size_t n = candidates_.size();
    std::size_t k = 0;
    while (k < n) {
        if (!mayBeOnScreen(proj_, entries[candidates_[k]])) {
            ++k;
            continue;
        }
        const std::size_t from = candidates_[k++];
        std::size_t to = from + 1;
        while (k < n && candidates_[k] == to && mayBeOnScreen(proj_, entries[to])) {
            ++to;
            ++k;
        }
        drawTracks(scene, proj_, entries.subspan(from, to - from), displayFlags);
    }
}

void Editor::buildScene(views::Scene& scene, int W, int H)
{
    proj_.width = W;
    proj_.height = H;
    scene.add(views::FillItem{{0, 0, W, H}, kBlack});

    // Header.
    const TrackStore* store = map_.store();
    const EditedTrack* edited = marked_.track();
    if (store)
        text(scene, "Tracks map desc. " + store->description.value_or(std::string()), 10, 20, kWhite, kBlack);
    if (edited) {
        text(scene, "Track desc. " + edited->entry.description.value_or("None"), 10, 40, kWhite, kBlack);
        text(scene, "Track path/name " + edited->entry.path.value_or("None"), 10, 60, kWhite, kBlack);
    }

    // The height background lies under everything else.
    if (srtm_)
        drawSrtm(scene, *srtm_, W, H);

    // Bands behind the texts and the button bars.
    line(scene, {1, 80}, {W - 3, 80}, kYellow, 3);
    line(scene, {1, 122}, {W - 3, 122}, kWhite, 22);
    line(scene, {1, H - 12}, {140, H - 12}, kWhite, 22);
    if (showLocation)
        line(scene, {W < 251 ? 1 : W - 250, H - 12}, {W - 3, H - 12}, kWhite, 22);

    // Marker coordinates.
    const TrackPoint startPos = marked_.startMarker(), endPos = marked_.endMarker();
    text(scene, fmt::sprintf("Lat. %9f", startPos.latDeg), 10, 114, kBlack, kWhite);
    text(scene, fmt::sprintf("Long. %9f", startPos.lonDeg), 125, 114, kBlack, kWhite);
    text(scene, fmt::sprintf("Lat. %9f", endPos.latDeg), 525, 114, kBlack, kWhite);
    text(scene, fmt::sprintf("Long. %9f", endPos.lonDeg), 635, 114, kBlack, kWhite);
    if (showLocation)
        text(scene, fmt::sprintf("Lat. %9f, Long. %9f", location_.latDeg, location_.lonDeg), W - 240, H - 20,
             kBlack, kWhite);

    // Buttons.
    struct Top {
        int x;
        EditorButton b;
        const char* label;
    };
    static constexpr Top kTopButtons[] = {
        {250, EditorButton::StartMinus10, "-10"}, {277, EditorButton::StartMinus1, "-1"},
        {309, EditorButton::StartPlus1, "+1"},    {336, EditorButton::StartPlus10, "+10"},
        {400, EditorButton::EndMinus10, "-10"},   {427, EditorButton::EndMinus1, "-1"},
        {458, EditorButton::EndPlus1, "+1"},      {485, EditorButton::EndPlus10, "+10"},
    };
    for (const Top& t : kTopButtons)
        button(scene, {t.x, 113, t.x + 25, 113 + 18}, pressed_ == t.b, t.label);
    arrow(scene, {8, H - 100, 8 + 25, H - 100 + 14}, pressed_ == EditorButton::North, 0, -1);
    arrow(scene, {8, H - 85, 8 + 25, H - 85 + 14}, pressed_ == EditorButton::South, 0, 1);
    arrow(scene, {6, H - 58, 6 + 13, H - 58 + 28}, pressed_ == EditorButton::West, -1, 0);
    arrow(scene, {22, H - 58, 22 + 13, H - 58 + 28}, pressed_ == EditorButton::East, 1, 0);
    button(scene, {5, H - 21, 5 + 26, H - 21 + 19}, pressed_ == EditorButton::ZoomOut, " -");
    button(scene, {34, H - 21, 34 + 26, H - 21 + 19}, pressed_ == EditorButton::ZoomIn, " +");

    // The tracks of the map file and the loaded data.
    if (store)
        drawEntries(scene);

    // The edited track: only the segments with an end on screen on each axis.
    const Marks marks = marked_.marks();
    if (edited) {
        views::PolylineItem run{{}, kWhite, 0, {}};
        const std::vector<TrackPoint>& pts = edited->entry.points;
        int px = 0, py = 0;
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const int x = proj_.x(pts[i].latDeg, pts[i].lonDeg);
            const int y = proj_.y(pts[i].latDeg);
            if (i > 0) {
                const bool show = (proj_.onScreenX(px) || proj_.onScreenX(x)) &&
                                  (proj_.onScreenY(py) || proj_.onScreenY(y));
                if (show) {
                    if (run.points.empty())
                        run.points.push_back({px, py + kTop});
                    run.points.push_back({x, y + kTop});
                } else if (!run.points.empty()) {
                    scene.add(std::move(run));
                    run = views::PolylineItem{{}, kWhite, 0, {}};
                }
            }
            px = x;
            py = y;
        }
        if (!run.points.empty())
            scene.add(std::move(run));

        const auto marker = [&](long index, std::uint32_t colour) {
            const TrackPoint* p = marked_.pointAt(index);
            if (!p)
                return;
            const int x = proj_.x(p->latDeg, p->lonDeg), y = proj_.y(p->latDeg);
            if (proj_.onScreenX(x) && proj_.onScreenY(y))
                cross(scene, x, y, colour);
        };
        marker(marks.start, kStartColour);
        marker(marks.end, kEndColour);
    }

    // The location; off screen, the next paint moves the view to it.
    if (showLocation) {
        const int x = proj_.x(location_.latDeg, location_.lonDeg), y = proj_.y(location_.latDeg);
        const bool onX = proj_.onScreenX(x), onY = proj_.onScreenY(y);
        if (onX && onY) {
            cross(scene, x, y, kEndColour);
            scene.add(
                views::EllipseItem{{x - 25, y + 110, x + 25, y + 160}, kWhite, 3, views::kNoColour, 0, 360});
        }
        // Off screen across, the location comes to the middle of the map, at
        // any latitude.
        if (!onX)
            proj_.leftLonDeg = location_.lonDeg - (W - 20) / 2.0 * proj_.lonDegPerPx(location_.latDeg);
        if (!onY)
            proj_.topLatDeg = location_.latDeg + 3e-06 / proj_.scale * H;
    }

    // The track bar.
    if (W >= 210) {
        scene.add(views::FillItem{{0, 90, W - 2, 90 + 19}, kBlack});
        const long L = W - 200, start = marks.start, end = marks.end, count = marked_.count();
        if (0 <= start && start <= count && count > 0) {
            scene.add(views::FrameItem{{98, 91, 98 + static_cast<int>(L), 90 + 18}, kYellow, 1});
            const auto bar = [&](long x, long w, std::uint32_t colour) {
                if (w > 0)
                    scene.add(
                        views::FillItem{{static_cast<int>(x), 93, static_cast<int>(x + w), 93 + 14}, colour});
            };
            const long s = L * start / count, e = L * end / count;
            bar(99, s - 2, rgb(160, 0, 0));
            bar(99 + s, L * (end - start) / count - 2, rgb(0, 236, 190));
            bar(99 + e, L * (count - end) / count - 2, rgb(0, 40, 176));
        }
        text(scene, fmt::sprintf("%06.f", static_cast<double>(start)), 10, 93, kWhite, kBlack);
        text(scene, fmt::sprintf("%06.f", static_cast<double>(end)), W - 70, 93, kWhite, kBlack);
    }
}

} // namespace varno::trackedit
