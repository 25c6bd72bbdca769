// About 100 MB of generated OSM XML, shared by the benchmarks that read OSM:
// a grid of nodes, ways along its rows, some tagged nodes. Written once into
// the folder given and kept there.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include <fmt/format.h>

namespace varno::bench {

inline std::string syntheticOsmXml(const std::filesystem::path& folder)
{
    const std::string p = (folder / "grid-100MB.osm").string();
    if (std::filesystem::exists(p))
        return p;
    std::ofstream out(p, std::ios::binary);
    out << "<?xml version='1.0' encoding='UTF-8'?>\n<osm version='0.6' generator='bench'>\n"
           " <bounds minlat='51' minlon='-2' maxlat='52' maxlon='-1'/>\n";
    const int side = 1000;
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c) {
            const long id = 1L + r * side + c;
            if (c % 97 == 0)
                out << fmt::format(
                    " <node id='{}' lat='{:.7f}' lon='{:.7f}' version='1'>\n  <tag k='amenity' "
                    "v='bench'/>\n </node>\n",
                    id, 51 + r * 0.001, -2 + c * 0.001);
            else
                out << fmt::format(" <node id='{}' lat='{:.7f}' lon='{:.7f}' version='1'/>\n", id,
                                   51 + r * 0.001, -2 + c * 0.001);
        }
    for (int r = 0; r < side; ++r) {
        out << fmt::format(" <way id='{}' version='1'>\n", r + 1);
        for (int c = 0; c < side; ++c)
            out << fmt::format("  <nd ref='{}'/>\n", 1L + r * side + c);
        out << "  <tag k='highway' v='residential'/>\n  <tag k='name' v='Bench Street'/>\n </way>\n";
    }
    out << "</osm>\n";
    return p;
}

} // namespace varno::bench
