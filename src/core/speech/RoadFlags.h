// The road type the route agent works in, and the sentence it says for it.
#pragma once

namespace varno::speech {

// The road type flags; motorway wins over town, and with neither the
// country distances apply.
struct RoadFlags {
    bool motorway = false;
    bool country = true;
    bool town = false;
    friend bool operator==(const RoadFlags&, const RoadFlags&) = default;
};

// The spoken name of the road type, said when the agent character loads.
const char* roadModeSentence(RoadFlags flags);

} // namespace varno::speech
