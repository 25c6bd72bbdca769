// Fuzz target: route file text through the reader, the guidance step, the labels and the exclusion test;
// the same bytes as an agent character file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/LineReader.h"
#include "routes/Guidance.h"
#include "routes/RouteList.h"
#include "speech/AgentCharacter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace varno;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    LineReader reader(text);
    routes::RouteList list;
    list.assign(routes::readRouteText(reader));
    routes::Guidance g;
    g.requestSpeak();
    for (const geo::LatLon fix : {geo::LatLon(51.5, -1.3), geo::LatLon(), geo::LatLon(-33.9, 151.2)}) {
        g.step(list, fix, true);
        for (const routes::PlacedLabel& l : routes::placedLabels(list, {}, 4000.0, 180, 253))
            (void)l;
    }
    for (const routes::RoutePoint& p : list.points()) {
        (void)routes::announcementText(p, p.distance);
        (void)routes::pointsListDistance(p, geo::LatLon(51.5, -1.3));
    }
    (void)list.excludes(text);
    (void)speech::parseAgentCharacter(text);
    return 0;
}
