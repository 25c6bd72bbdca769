// The converters side by side with the tools users compare them with, on generated inputs of the
// sizes that matter: a 1 000 000-line NMEA log, a 100 MB OSM file (and its .pbf), an SRTM tile at
// 20 m, and the passed-camera list over a 1 000 000-line log and 1 000 000 cameras. The peers
// (gpsbabel, osmium, gdal_contour) are skipped when they are not installed.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>

#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <osmium/builder/osm_object_builder.hpp>
#include <osmium/io/pbf_output.hpp>
#include <osmium/io/writer.hpp>
#include <osmium/memory/buffer.hpp>

#include "base/InputFile.h"
#include "cameras/CameraFile.h"
#include "cameras/PassedCameras.h"
#include "convert/NmeaToGpx.h"
#include "convert/OsmCameras.h"
#include "convert/OsmToGpx.h"
#include "srtm/Contours.h"
#include "srtm/HgtTile.h"
#include "SyntheticOsm.h"

namespace {

using namespace varno;
namespace fs = std::filesystem;

fs::path folder()
{
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / "varno-bench-convert";
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

bool haveTool(const std::string& name)
{
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string nmeaChecksummed(const std::string& body)
{
    unsigned char sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    return fmt::format("${}*{:02X}\r\n", body, sum);
}

// A drive north along 1 W from 51 N, a GGA and an RMC a second.
const std::string& nmeaLog()
{
    static const std::string path = [] {
        const std::string p = (folder() / "drive-1M.nmea").string();
        if (!fs::exists(p)) {
            std::ofstream out(p, std::ios::binary);
            for (int i = 0; i < 500000; ++i) {
                const double minutes = 0.001 * i;
                const int deg = 51 + static_cast<int>(minutes / 60);
                const double min = minutes - 60 * (deg - 51);
                const std::string time = fmt::format("{:02}{:02}{:02}", i / 3600 % 24, i / 60 % 60, i % 60);
                out << nmeaChecksummed(fmt::format(
                           "GPGGA,{},{:02}{:07.4f},N,00100.0000,W,1,08,0.9,95.0,M,47.0,M,,", time, deg, min))
                    << nmeaChecksummed(
                           fmt::format("GPRMC,{},A,{:02}{:07.4f},N,00100.0000,W,30.0,{:.1f},120524,,,A", time,
                                       deg, min, (i % 40) * 1.0));
            }
        }
        return p;
    }();
    return path;
}

// About 100 MB of OSM XML: a grid of nodes, ways along its rows, some tagged nodes.
const std::string& osmXml()
{
    static const std::string path = bench::syntheticOsmXml(folder());
    return path;
}

const std::string& osmPbf()
{
    static const std::string path = [] {
        const std::string p = (folder() / "grid-100MB.osm.pbf").string();
        if (!fs::exists(p) && haveTool("osmium"))
            std::system(("osmium cat -o '" + p + "' '" + osmXml() + "' >/dev/null 2>&1").c_str());
        return p;
    }();
    return path;
}

std::string tilePath()
{
    return std::string(VARNO_CORPUS_DIR) + "/hgt/gpxeditor/N46W122.hgt";
}

// The destination as the program writes it: a temporary file renamed at the end.
class FileSink final : public convert::Sink {
public:
    explicit FileSink(const std::string& path) : sink_(writer_) { writer_.open(path); }
    ~FileSink() override { writer_.commit(); }
    bool write(std::string_view bytes) override { return sink_.write(bytes); }
    bool canRestart() const override { return true; }
    bool restart() override { return sink_.restart(); }

private:
    AtomicFileWriter writer_;
    convert::AtomicSink sink_;
};

void runTool(benchmark::State& state, const std::string& tool, const std::string& command)
{
    if (!haveTool(tool)) {
        state.SkipWithError((tool + " is not installed").c_str());
        return;
    }
    for (auto _ : state)
        if (std::system((command + " >/dev/null 2>&1").c_str()) != 0)
            state.SkipWithError((tool + " failed").c_str());
}

void BM_NmeaToGpx_Varno(benchmark::State& state)
{
    const std::string log = nmeaLog();
    for (auto _ : state) {
        FileHandle f(std::fopen(log.c_str(), "rb"));
        varno::LineInput in(f.get(), 0);
        varno::Progress progress;
        std::vector<convert::NmeaPoint> points;
        convert::pickNmeaPoints(in, {true, 10, true, 100}, points, progress);
        FileSink out((folder() / "ours.gpx").string());
        convert::writeGpxTrack(points, out);
        state.counters["points"] = static_cast<double>(points.size());
    }
}
BENCHMARK(BM_NmeaToGpx_Varno)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_NmeaToGpx_Gpsbabel(benchmark::State& state)
{
    runTool(state, "gpsbabel",
            "gpsbabel -i nmea -f '" + nmeaLog() + "' -o gpx -F '" + (folder() / "gpsbabel.gpx").string() +
                "'");
}
BENCHMARK(BM_NmeaToGpx_Gpsbabel)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_OsmXmlToGpx_Varno(benchmark::State& state)
{
    const std::string osm = osmXml();
    for (auto _ : state) {
        FileSink out((folder() / "osm.gpx").string());
        varno::Progress progress;
        const varno::Report r = convert::convertOsmToGpx(osm, out, {}, progress);
        state.counters["tracks"] = static_cast<double>(r.linesOut);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MiB"] = usage.ru_maxrss / 1024.0;
    state.counters["node_index_MiB"] = 1000000 * 16 / 1048576.0;
}
BENCHMARK(BM_OsmXmlToGpx_Varno)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_OsmPbfToGpx_Varno(benchmark::State& state)
{
    const std::string pbf = osmPbf();
    if (!fs::exists(pbf)) {
        state.SkipWithError("no .pbf (osmium is not installed to make one)");
        return;
    }
    for (auto _ : state) {
        FileSink out((folder() / "osm-pbf.gpx").string());
        varno::Progress progress;
        convert::convertOsmToGpx(pbf, out, {}, progress);
    }
}
BENCHMARK(BM_OsmPbfToGpx_Varno)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_OsmCatToOpl_Osmium(benchmark::State& state)
{
    runTool(state, "osmium",
            "osmium cat -O '" + osmXml() + "' -o '" + (folder() / "osmium.opl").string() + "'");
}
BENCHMARK(BM_OsmCatToOpl_Osmium)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_SrtmIsolines20_Varno(benchmark::State& state)
{
    std::string message;
    const auto tile = srtm::readHgt(tilePath(), message);
    if (!tile) {
        state.SkipWithError(message.c_str());
        return;
    }
    for (auto _ : state) {
        FileSink out((folder() / "isolines.gpx").string());
        varno::Progress progress;
        srtm::isolines(*tile, out, 20, progress);
    }
}
BENCHMARK(BM_SrtmIsolines20_Varno)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_SrtmIsolines20_GdalContour(benchmark::State& state)
{
    runTool(state, "gdal_contour",
            "rm -f '" + (folder() / "gdal").string() + "'.* && gdal_contour -q -i 20 '" + tilePath() + "' '" +
                (folder() / "gdal.shp").string() + "'");
}
BENCHMARK(BM_SrtmIsolines20_GdalContour)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_PassedCameras_1MLines_1MCameras(benchmark::State& state)
{
    // A million cameras spread evenly over Europe (36..70 N, 10 W..40 E), about one
    // every 3 km2; the drive runs north along 1 W through them. Reading the camera
    // file is part of the time, as in the dialog.
    const std::string cameras = (folder() / "cameras-1M.txt").string();
    if (!fs::exists(cameras)) {
        std::ofstream out(cameras, std::ios::binary);
        std::uint64_t x = 88172645463325252ull;
        for (int i = 0; i < 1000000; ++i) {
            x ^= x << 13, x ^= x >> 7, x ^= x << 17;
            const double lat = 36 + (x % 3400000) / 100000.0;
            const double lon = -10 + (x / 3400000 % 5000000) / 100000.0;
            out << fmt::format("{:.5f},{:.5f},Road,Town,,Cam{},Yes,30\n", lat, lon, i % 5000);
        }
    }
    const std::string log = nmeaLog();
    for (auto _ : state) {
        std::string text, message;
        convert::readSource(cameras, text, message);
        const cameras::CameraFile cameraFile(std::move(text));
        FileHandle f(std::fopen(log.c_str(), "rb"));
        varno::LineInput in(f.get(), 0);
        varno::Progress progress;
        cameras::PassedList list;
        cameras::passedCameras(in, cameraFile, {0, 4000, 1}, list, progress);
        state.counters["rows"] = static_cast<double>(list.shown().size());
    }
}
BENCHMARK(BM_PassedCameras_1MLines_1MCameras)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// 10 000 000 nodes as .osm.pbf, made once into the build tree: a grid of 2 500 x 4 000 nodes
// over 25 x 40 km; every 10 000th node a speed camera, every 5 000th a town, and 20 000 named
// roads of 10 nodes along the grid rows.
constexpr std::int64_t kGridNodes = 10000000, kGridColumns = 4000;
const std::string& camerasPbf10M()
{
    static const std::string path = [] {
        const fs::path p = fs::path(VARNO_BENCH_DATA_DIR) / "cameras-10M.osm.pbf";
        if (fs::exists(p))
            return p.string();
        fs::create_directories(p.parent_path());
        const std::string part = p.string() + ".part.osm.pbf";
        osmium::io::Header header;
        header.set("generator", "varno bench");
        osmium::io::Writer writer(part, header, osmium::io::overwrite::allow);
        constexpr std::size_t kBufferBytes = 4 << 20;
        osmium::memory::Buffer buffer(kBufferBytes, osmium::memory::Buffer::auto_grow::no);
        auto room = [&] {
            if (buffer.committed() > kBufferBytes - 4096) {
                writer(std::move(buffer));
                buffer = osmium::memory::Buffer(kBufferBytes, osmium::memory::Buffer::auto_grow::no);
            }
        };
        for (std::int64_t id = 1; id <= kGridNodes; ++id) {
            room();
            {
                const std::int64_t row = (id - 1) / kGridColumns, col = (id - 1) % kGridColumns;
                osmium::builder::NodeBuilder node(buffer);
                node.set_id(id).set_version(1);
                node.set_location(osmium::Location(-1.0 + col * 0.0001, 51.0 + row * 0.0001));
                if (id % 10000 == 0 || id % 5000 == 0) {
                    osmium::builder::TagListBuilder tags(node);
                    if (id % 10000 == 0) {
                        tags.add_tag("highway", "speed_camera");
                        tags.add_tag("maxspeed", "50");
                    } else {
                        tags.add_tag("place", "town");
                        tags.add_tag("name", fmt::format("Town {}", id / 5000));
                    }
                }
            }
            buffer.commit();
        }
        for (std::int64_t w = 0; w < 20000; ++w) {
            room();
            {
                osmium::builder::WayBuilder way(buffer);
                way.set_id(w + 1).set_version(1);
                const std::int64_t first = (w * 500) % kGridNodes + 1;
                {
                    osmium::builder::WayNodeListBuilder refs(way);
                    for (std::int64_t i = 0; i < 10; ++i)
                        refs.add_node_ref(first + i);
                }
                osmium::builder::TagListBuilder tags(way);
                tags.add_tag("highway", "primary");
                tags.add_tag("name", fmt::format("Road {}", w));
            }
            buffer.commit();
        }
        writer(std::move(buffer));
        writer.close();
        fs::rename(part, p);
        return p.string();
    }();
    return path;
}

void BM_OsmCameras10MNodes_Varno(benchmark::State& state)
{
    const std::string& pbf = camerasPbf10M();
    std::uint64_t lines = 0;
    for (auto _ : state) {
        FileSink out((folder() / "osm-cameras.txt").string());
        varno::Progress progress;
        const varno::Report r = convert::convertOsmCameras(pbf, out, progress);
        if (!r.ok()) {
            state.SkipWithError(r.message.c_str());
            return;
        }
        lines = r.linesOut;
    }
    state.counters["cameras"] = static_cast<double>(lines);
    state.counters["nodes/s"] =
        benchmark::Counter(static_cast<double>(kGridNodes) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_OsmCameras10MNodes_Varno)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

BENCHMARK_MAIN();
