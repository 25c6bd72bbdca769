// A view's drawing as a display list: what one repaint puts on the window, in drawing order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "views/CameraViewLayout.h"

namespace varno::views {

// Colours are 0x00BBGGRR; a set high byte means "none" (no fill, no text background).
inline constexpr std::uint32_t kNoColour = 0xFF000000;

// The pictures an icon item can show: the nine camera type icons, in the
// order they fill the average-speed line, then the track editor's pictures
// of amenities and other points of interest.
enum class IconId {
    Mobil,
    Gatso,
    RedLight,
    Monit,
    RedSpeed,
    Specs,
    Tempo,
    Truvelo,
    Other,
    // amenities
    Parking,
    Toilets,
    School,
    Fountain,
    PlaceOfWorship,
    PublicBuilding,
    Biergarten,
    Townhall,
    Hospital,
    GraveYard,
    University,
    Restaurant,
    FastFood,
    SportsGround,
    PostBox,
    Fuel,
    Telephone,
    Pub,
    // leisure and sport (golf courses and golf share one, a pavilion and swimming share one)
    Golf,
    Playground,
    Stadium,
    Marina,
    Fishing,
    TenPin,
    Athletics,
    Basketball,
    Bowling,
    Bowls,
    Football,
    IceSkating,
    Swimming,
    Rowing,
    Rugby,
    Skateboard,
    Skating,
    Squash,
    Tennis,
    // railway, highway, waterway
    Station,
    LevelCrossing,
    SpeedCamera,
    Lock,
    Weir,
    // historic (a castle, a folly and an archaeological site share one)
    Memorial,
    Castle,
    Monument,
    Fort,
    Well,
    HistoricBuilding,
    Statue,
    Windmill,
    Ruins,
    Museum,
    House,
    Pier,
    FerrisWheel,
};
// The camera type icons come first.
inline constexpr std::size_t kIconIdCount = 9;
inline constexpr IconId kFirstEditorIcon = IconId::Parking;
inline constexpr std::size_t kEditorIconCount =
    static_cast<std::size_t>(IconId::FerrisWheel) - static_cast<std::size_t>(IconId::Parking) + 1;

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Rectangles include their left and top edges and stop short of their right
// and bottom ones. An empty clip (all zero) clips to nothing but the window.
struct FillItem {
    Rect rect;
    std::uint32_t colour = 0;
};

// A frame of the given width drawn inside rect.
struct FrameItem {
    Rect rect;
    std::uint32_t colour = 0;
    int width = 1;
};

// A text whose character cell's top left corner is at (x, y).
struct TextItem {
    std::string text; // UTF-8, or Latin-1 where it is not
    int x = 0;
    int y = 0;
    std::string family = "Times New Roman";
    int cellHeight = 24; // [px] the whole cell, ascent and descent
    std::uint32_t colour = 0;
    std::uint32_t background = kNoColour; // the cell's background, or none
    Rect clip;
    // Drawn centred in clip, both ways, rather than from (x, y).
    bool centred = false;
    // Turned clockwise about (x, y) by this many degrees (a road's name along
    // it); turned texts have no background.
    int angleDeg = 0;
};

// Joined straight lines through points; width 0 is the one-pixel pen.
struct PolylineItem {
    std::vector<Point> points;
    std::uint32_t colour = 0;
    int width = 0;
    Rect clip;
};

// An ellipse inside rect, or the arc of it from startDeg (0 is three o'clock,
// counter-clockwise) over spanDeg; spanDeg 360 is the whole ellipse.
struct EllipseItem {
    Rect rect;
    std::uint32_t pen = 0; // kNoColour: no outline
    int width = 0;
    std::uint32_t fill = kNoColour;
    int startDeg = 0;
    int spanDeg = 360;
};

struct IconItem {
    IconId icon = IconId::Other;
    int x = 0; // [px] top left of the picture
    int y = 0;
};

// Pixels made in the core (a height background, say), row after row,
// each 0xAABBGGRR with 0xFF alpha for opaque.
struct RasterImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// A raster image drawn at (x, y), unscaled.
struct RasterItem {
    std::shared_ptr<const RasterImage> image;
    int x = 0;
    int y = 0;
};

using SceneItem =
    std::variant<FillItem, FrameItem, TextItem, PolylineItem, EllipseItem, IconItem, RasterItem>;

// Everything one repaint draws; the painter draws exactly this, in order.
struct Scene {
    std::vector<SceneItem> items;

    template <class T> void add(T item) { items.emplace_back(std::move(item)); }
    // A one-pixel frame around a fill, as every box of the views is drawn.
    void addBox(const Rect& r, std::uint32_t frame, std::uint32_t fill);

    // --- looking inside, for the views and their tests ---
    // The texts whose origin lies inside r, in drawing order.
    std::vector<const TextItem*> textsIn(const Rect& r) const;
    // The text drawn with its origin exactly at (x, y), if any.
    const TextItem* textAt(int x, int y) const;
    // Whether a frame was drawn exactly around r.
    bool hasFrame(const Rect& r) const;
    template <class T> std::vector<const T*> all() const
    {
        std::vector<const T*> out;
        for (const SceneItem& i : items)
            if (const T* t = std::get_if<T>(&i))
                out.push_back(t);
        return out;
    }
};

} // namespace varno::views
