// What a view's scene is built from: the window size, the fix, the colours and the lists to draw.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/TimeZone.h"
#include "cameras/CameraPoint.h"
#include "gps/Fix.h"
#include "routes/Guidance.h"
#include "routes/RouteList.h"

namespace varno::cameras {
struct CameraPanelText;
}
namespace varno::poi {
class PoiList;
}
namespace varno::roads {
class RoadFollower;
}

namespace varno::views {

class TrackRing;
struct Trail;

// What the route guidance step gives the pointer and trail views to draw.
struct RouteMarks {
    struct Label {
        std::string text;
        geo::LatLon at;
    };
    std::vector<Label> labels; // the route view's label texts, in route order
    bool hasNearest = false;
    std::string nearestText, nextText;
    // The route points around the nearest one: before it, it, and after it.
    geo::LatLon previous, nearest, following;
    bool nearestIsFirst = false;
};

struct SceneInput {
    int windowWidth = 0;
    int windowHeight = 0;
    gps::Fix fix;
    // The colour scheme, 0x00BBGGRR.
    std::uint32_t windowFill = 0x00FFFFFF;
    std::uint32_t boxBackground = 0;
    std::uint32_t boxText = 0;
    TimeZone timeZone;
    int speedUnits = 0;
    double mapRadius = 4000.0; // [m]
    const cameras::CameraPanelText* panel = nullptr;
    std::string averageSpeedText;
    // Over the limit of a camera near by (the chime aid): the speed box shows red.
    bool overLimit = false;
    // The same for the camera line: its distance is drawn in the over-limit colour.
    bool distanceOverLimit = false;
    // The average-speed zone's average above its limit (the chime aid): the
    // average-speed line is drawn in the over-limit colour.
    bool averageOverLimit = false;
    // The camera list; nullptr or empty: no letters, no icons.
    const std::vector<cameras::CameraPoint>* cameras = nullptr;
    // The track ring when DisplayTrack is on; nullptr draws no trail.
    const TrackRing* trail = nullptr;
    // The loaded route with the distances and texts of the last guidance
    // step, and the label options; nullptr: no route drawn.
    const routes::RouteList* route = nullptr;
    const routes::Guidance* guidance = nullptr;
    routes::LabelFlags routeLabels;
    // The POI list while the POI view is shown; nullptr otherwise.
    const poi::PoiList* pois = nullptr;
    // The compass rose's displayed heading [deg] before and after this draw's lag step.
    double headingBefore = 0.0;
    double heading = 0.0;
    // The loaded GPX trail, nullptr when none.
    const Trail* gpxTrail = nullptr;
    // What the pointer and trail views draw of the route and its guidance.
    const RouteMarks* routeMarks = nullptr;
    // Nothing has been handed over since start-up.
    bool nothingReceived = false;
    // The receiver says it has no fix: the position shown is the last one it
    // sent, kept in place but marked stale.
    bool noFix = false;
    // The receiver's state in big words over the view (the ReceiverNotice
    // setting); the link's own words, empty while it is fine; the satellites
    // the last GGA used, unknown without one.
    bool receiverNotice = false;
    std::string linkNotice;
    std::optional<int> satellites;
    // The road map, when one is set: the map views draw its ways around the
    // fix under their own objects (reading it only when they move far).
    roads::RoadFollower* roadMap = nullptr;
    // The night colour scheme is loaded.
    bool night = false;
    // The strip text of a sentence taken by this repaint (" Bad" already
    // appended by the intake); nullopt when none was taken.
    std::optional<std::string> stripText;
};

} // namespace varno::views
