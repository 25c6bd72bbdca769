// Route guidance: the nearest and next route points and their announcements, one step per repaint.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "geo/LatLon.h"
#include "routes/RouteList.h"
#include "speech/RoadFlags.h"

namespace varno::settings {
class Settings;
}

namespace varno::routes {

inline constexpr const char* kNoNearbyPoint = "No nearby point";
// The last announced distance after every reset [m].
inline constexpr int kUnannounced = 10000;

// [m] a point is announced once below far and once more below near.
struct AnnounceDistances {
    int far = 600;
    int near = 300;
    friend bool operator==(const AnnounceDistances&, const AnnounceDistances&) = default;
};
AnnounceDistances announceDistances(speech::RoadFlags flags);

// What the route labels show beside the "*".
struct LabelFlags {
    bool number = true;
    bool text1 = true;
    bool text2 = true;
};

// The settings behind them: a flag is on when its value is exactly 1.
speech::RoadFlags readRoadFlags(settings::Settings& settings);
LabelFlags readLabelFlags(settings::Settings& settings);
// Z, X and C: stores the one road type.
void writeRoadFlags(settings::Settings& settings, speech::RoadFlags flags);

// A point's label: "*" or "* <position>", then " Desc. 1" and ",Desc. 2" as
// the flags ask (Desc. 2 follows a blank when only the number precedes it).
std::string labelText(const RoutePoint& point, int position, LabelFlags flags);

// The announcement of a point at distanceM: "Desc. 1 Desc. 2 <metres> metres";
// a Desc. 1 of ":" makes it Desc. 2 alone.
std::string announcementText(const RoutePoint& point, double distanceM);

// A route label placed on a map: the label's top-left corner.
struct PlacedLabel {
    int x = 0;
    int y = 0;
    std::string text;
};
// The labels of the points the last step measured that lie strictly inside
// the map square of mapRadius around the fix, in route order, placed around
// (centreX, centreY) at 170 x 125 pixels per radius.
std::vector<PlacedLabel> placedLabels(const RouteList& route, LabelFlags flags, double mapRadius, int centreX,
                                      int centreY);

// The guidance state of the route-following views (route, pointer, trail).
// UI thread only.
class Guidance {
public:
    // One step on the fix as it stands: measures every point, finds the
    // nearest and the one after it, answers a speak request and, when
    // announce is set (RouteUseMSAgent), announces the nearest point once
    // below the far and once below the near distance. Returns the text to
    // speak in this step, if any.
    const std::optional<std::string>& step(RouteList& route, geo::LatLon fix, bool announce);

    // "No nearby point" until a step finds a nearest point.
    const std::string& nearestText() const { return nearestText_; }
    const std::string& nextText() const { return nextText_; }
    // Whether the last step found a nearest point (its texts are then real).
    bool foundNearest() const { return found_; }
    // The nearest point (index into the route's points): kept by a step that
    // finds none, cleared when the route is replaced.
    std::optional<std::size_t> nearest() const { return nearest_; }
    int lastAnnouncedDistance() const { return lastDistance_; }

    // "Speak nearest route waypoint": the next step that has a nearest point speaks it.
    void requestSpeak() { speakRequest_ = true; }
    void clearSpeakRequest() { speakRequest_ = false; }
    bool speakRequested() const { return speakRequest_; }

    // Reading the road types: the flags, and the current point counts as not
    // yet announced.
    void readRoadTypes(speech::RoadFlags flags);
    // The road type keys change the flags alone.
    void setRoadFlags(speech::RoadFlags flags) { road_ = flags; }
    speech::RoadFlags roadFlags() const { return road_; }

    // The route list was freed or replaced.
    void routeReplaced();

private:
    void composeTexts(const RouteList& route, std::size_t nearest);

    speech::RoadFlags road_;
    std::optional<std::size_t> nearest_;
    std::optional<std::size_t> lastPoint_;
    int lastDistance_ = kUnannounced;
    bool speakRequest_ = false;
    bool found_ = false;
    std::string nearestText_ = kNoNearbyPoint;
    std::string nextText_ = kNoNearbyPoint;
    std::optional<std::string> speak_;
};

} // namespace varno::routes
