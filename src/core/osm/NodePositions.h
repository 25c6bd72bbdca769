// Node positions by id, as the OSM readers keep them to resolve the nodes of ways.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace varno::osm {

// A node's position in the OSM unit of 1e-7 degrees: 16 bytes a node.
struct NodePosition {
    std::int64_t id;
    std::int32_t lat;
    std::int32_t lon;

    static NodePosition at(std::int64_t id, double latDeg, double lonDeg)
    {
        return {id, static_cast<std::int32_t>(std::lround(latDeg * 1e7)),
                static_cast<std::int32_t>(std::lround(lonDeg * 1e7))};
    }
    double latDeg() const { return lat / 1e7; }
    double lonDeg() const { return lon / 1e7; }
    bool operator<(const NodePosition& o) const { return id < o.id; }
};

// Sorts by id for findNode; an id given twice keeps its first position.
inline void sortKeepingFirst(std::vector<NodePosition>& nodes)
{
    std::stable_sort(nodes.begin(), nodes.end());
    nodes.erase(std::unique(nodes.begin(), nodes.end(),
                            [](const NodePosition& a, const NodePosition& b) { return a.id == b.id; }),
                nodes.end());
}

// The node of a list sorted by sortKeepingFirst, or nullptr.
inline const NodePosition* findNode(const std::vector<NodePosition>& nodes, std::int64_t id)
{
    const auto it = std::lower_bound(nodes.begin(), nodes.end(), NodePosition{id, 0, 0});
    return it != nodes.end() && it->id == id ? &*it : nullptr;
}

} // namespace varno::osm
