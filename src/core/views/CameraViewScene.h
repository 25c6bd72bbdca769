// What the camera view draws for one repaint: boxes with texts, map letters, lines and icon slots.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cameras/CameraPoint.h"
#include "views/CameraViewLayout.h"
#include "views/TrackRing.h"

namespace varno::cameras {
struct CameraPanelText;
}
namespace varno::gps {
class CNmeaDecoder;
}

namespace varno::views {

// The nine type icons, in the order they fill the average-speed line.
enum class IconClass { Mobil, Gatso, RedLight, Monit, RedSpeed, Specs, Tempo, Truvelo, Other };
inline constexpr std::size_t kIconClassCount = 9;

// The first five characters of CamType against "MOBIL", "GATSO", "REDLI",
// "MONIT", "REDSP", "SPECS", "TEMPO", "TRUVE", letter case aside; Other else.
IconClass iconClassOf(std::string_view camType);

// The hazard text as drawn: the first 19 characters, then the next 19 only if
// there are more, then up to 19 more only if there are more still. A cut never
// splits a UTF-8 sequence.
std::vector<std::string> hazardPieces(std::string_view hazard);

struct SceneText {
    std::string text;
    int x = 0; // [px] window position of the text's top left corner
    int y = 0;
    int fontHeight = 24;
};

enum class BoxStyle {
    Scheme, // grey frame, scheme background, scheme text colour
    Black,  // black fill, black frame (the map)
    Strip,  // black fill, grey frame, scheme text colour (the sentence strip)
};

struct SceneBox {
    BoxId id;
    Rect rect;
    BoxStyle style = BoxStyle::Scheme;
    std::vector<SceneText> texts;
};

struct SceneLine {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::uint32_t colour = kWhite; // 0x00BBGGRR, one-pixel pen
    friend bool operator==(const SceneLine&, const SceneLine&) = default;
};

struct IconSlot {
    IconClass icon;
    int x = 0; // [px] top left of the bitmap
    int y = 0;
};

// Everything one repaint of the camera view needs from the core, in drawing
// order. Boxes that do not fit the window are already left out; the paint code
// draws exactly what is here.
struct CameraViewScene {
    // Camera line and average-speed line first, the rest of the dashboard
    // after the icons; the sentence strip last (see strip below).
    std::vector<SceneBox> boxes;
    // Drawn into the average-speed line after it (only when it is shown).
    std::vector<IconSlot> icons;

    bool mapShown = false;
    // The first character of each camera's CamType, white, font 20.
    std::vector<SceneText> mapLetters;
    std::optional<SceneText> radiusLabel;
    std::vector<SceneLine> crossHair;
    // Yellow one-pixel trail lines (DisplayTrack on and a ring allocated).
    std::vector<SceneLine> trail;

    // The sentence strip, drawn by every view: present when it fits the window.
    // Its text is empty when no new sentence was taken by this repaint.
    std::optional<SceneBox> strip;

    const SceneBox* box(BoxId id) const;
};

// What the scene is computed from: the window size and the view's state.
struct CameraViewInput {
    int windowWidth = 0;
    int windowHeight = 0;
    const gps::CNmeaDecoder* fix = nullptr;
    int timeZone = 1;
    int speedUnits = 0;
    double mapRadius = 4000.0; // [m]
    const cameras::CameraPanelText* panel = nullptr;
    std::string averageSpeedText;
    // The camera list; nullptr or empty: no letters, no icons.
    const std::vector<cameras::CameraPoint>* cameras = nullptr;
    // The track ring when DisplayTrack is on; nullptr draws no trail.
    const TrackRing* trail = nullptr;
    // The strip text of a sentence taken by this repaint (" Bad" already
    // appended by the intake); nullopt when none was taken.
    std::optional<std::string> stripText;
};

CameraViewScene buildCameraViewScene(const CameraViewInput& in);

// The parts on their own, for the views that share them.
std::vector<IconSlot> iconSlots(const std::vector<cameras::CameraPoint>& cameras, double fixLat,
                                double fixLon, const Rect& averageSpeedBox);
std::vector<SceneLine> trailLines(const TrackRing& ring, double fixLat, double fixLon, double mapRadius,
                                  const Rect& mapBox);
std::vector<SceneLine> crossHairLines(const Rect& mapBox);

} // namespace varno::views
