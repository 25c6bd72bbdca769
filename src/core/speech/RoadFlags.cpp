// The sentence the agent says for the road type.
#include "speech/RoadFlags.h"

namespace varno::speech {

const char* roadModeSentence(RoadFlags flags)
{
    if (flags.motorway)
        return "Route motorway mode";
    if (flags.country)
        return "Route country mode";
    if (flags.town)
        return "Route town mode";
    return "Route no mode set, please check Route MSAgent settings";
}

} // namespace varno::speech
