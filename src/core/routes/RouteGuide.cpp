// The route features together: loading, the guidance step and the agent steps.
#include "routes/RouteGuide.h"

#include "base/DataPath.h"
#include "settings/Settings.h"

namespace varno::routes {

namespace keys = settings::keys;

RouteGuide::RouteGuide(settings::Settings& settings, Prompt& prompt, speech::SpeechAgent& agent,
                       std::string dataRoot)
    : settings_(settings), prompt_(prompt), dataRoot_(std::move(dataRoot)),
      agent_(
          agent, settings, prompt, [this] { return readRoadTypes(); }, dataRoot_)
{
}

bool RouteGuide::load(const std::string& storedName)
{
    guidance_.routeReplaced();
    const std::string path = storedName.empty() ? storedName : mapDataPath(storedName, dataRoot_);
    const RouteList::LoadResult r = route_.load(path, prompt_);
    if (r.outOfMemory && onOutOfMemory)
        onOutOfMemory();
    if (!r.opened)
        return false;
    if (r.sawExclusion && settings_.read(keys::SayExcluded) == 1) {
        agent_.load(readRoadTypes());
        agent_.speak(route_.title());
        agent_.speak("Has excluded cameras");
    }
    if (onLoaded)
        onLoaded();
    return !r.outOfMemory;
}

bool RouteGuide::reloadCurrent()
{
    std::optional<std::string> name = settings_.read(keys::RouteName);
    if (!name)
        return false;
    if (name->size() > kRouteNameLimit)
        name->resize(kRouteNameLimit);
    load(*name);
    return true;
}

void RouteGuide::free()
{
    guidance_.routeReplaced();
    route_.clear();
}

void RouteGuide::step(geo::LatLon fix)
{
    const bool announce = settings_.read(keys::RouteUseMSAgent) == 1;
    if (const std::optional<std::string>& say = guidance_.step(route_, fix, announce))
        agent_.speak(*say);
}

speech::RoadFlags RouteGuide::readRoadTypes()
{
    const speech::RoadFlags flags = readRoadFlags(settings_);
    guidance_.readRoadTypes(flags);
    return flags;
}

void RouteGuide::enterRouteView()
{
    guidance_.clearSpeakRequest();
    readRoadTypes();
    loadAgentIfRouteSpeech();
}

void RouteGuide::loadAgentIfRouteSpeech()
{
    if (settings_.read(keys::RouteUseMSAgent) == 1)
        agent_.load(guidance_.roadFlags());
}

void RouteGuide::setRoadType(speech::RoadFlags flags)
{
    writeRoadFlags(settings_, flags);
    guidance_.setRoadFlags(flags);
}

void RouteGuide::toggleAgent(bool routeViewShown)
{
    if (!routeViewShown) {
        if (agent_.loaded())
            agent_.unload();
        else
            agent_.load(readRoadTypes());
        return;
    }
    if (settings_.read(keys::RouteUseMSAgent) == 1) {
        settings_.write(keys::RouteUseMSAgent, false);
        agent_.unload();
    } else {
        settings_.write(keys::RouteUseMSAgent, true);
        agent_.load(readRoadTypes());
    }
}

void RouteGuide::readLabelFlags()
{
    labels_ = routes::readLabelFlags(settings_);
}

} // namespace varno::routes
