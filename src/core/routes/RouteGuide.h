// The route features together: the route list, the guidance and the agent that speaks for them.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/Prompt.h"
#include "geo/LatLon.h"
#include "routes/Guidance.h"
#include "routes/RouteList.h"
#include "speech/SpeechAgent.h"

namespace varno::settings {
class Settings;
}

namespace varno::routes {

// RouteName and the route file names of the start timers and the pick list
// hold at most this many characters.
inline constexpr std::size_t kRouteNameLimit = 299;

// What the view owns of routes, and the steps the window, the command line
// and the commands take on them. UI thread only.
class RouteGuide {
public:
    RouteGuide(settings::Settings& settings, Prompt& prompt, speech::SpeechAgent& agent,
               std::string dataRoot);

    // Replaces the route with the file of this stored name ("C:\VARNO\..."
    // names lie in the data folder). When the file has exclusion lines and
    // SayExcluded is on, the agent says the title and "Has excluded cameras".
    // Then onLoaded runs (the camera store's reload counter starts over).
    // False when the file could not be read whole (the message has been shown).
    bool load(const std::string& storedName);
    // The current route file (RouteName) loaded again; false when it cannot be read.
    bool reloadCurrent();
    // Empties the route, as before the first load.
    void free();

    // One guidance step on the fix (a repaint of a route-following view):
    // what it says goes to the agent.
    void step(geo::LatLon fix);

    // Reads the road types into the guidance (the current point counts as unannounced).
    speech::RoadFlags readRoadTypes();
    // Entering a route-following view: no pending speak request, the road
    // types read, and the agent loaded when RouteUseMSAgent is on.
    void enterRouteView();
    void loadAgentIfRouteSpeech();
    // Z, X, C: store the road type and use it from the next step on.
    void setRoadType(speech::RoadFlags flags);
    // F10: in a route-following view it switches RouteUseMSAgent; elsewhere
    // it loads or unloads the character.
    void toggleAgent(bool routeViewShown);
    // The label options read again (at start and after "Route options").
    void readLabelFlags();

    // Whether the camera of this raw camera line is excluded by the route.
    bool excludes(std::string_view cameraLine) const { return route_.excludes(cameraLine); }

    RouteList& route() { return route_; }
    const RouteList& route() const { return route_; }
    Guidance& guidance() { return guidance_; }
    const Guidance& guidance() const { return guidance_; }
    speech::AgentControl& agent() { return agent_; }
    LabelFlags labelFlags() const { return labels_; }
    const std::string& dataRoot() const { return dataRoot_; }

    std::function<void()> onLoaded;
    // After a load that ran out of memory (GPS reading stops).
    std::function<void()> onOutOfMemory;

private:
    settings::Settings& settings_;
    Prompt& prompt_;
    std::string dataRoot_;
    RouteList route_;
    Guidance guidance_;
    speech::AgentControl agent_;
    LabelFlags labels_;
};

} // namespace varno::routes
