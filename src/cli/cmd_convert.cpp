// varno-cli convert: the converters of the Convert menu on files or standard input and output.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include <fmt/format.h>

#include "Cli.h"
#include "base/AsciiCase.h"
#include "convert/CameraConvert.h"
#include "convert/GpxText.h"
#include "convert/GpxWriter.h"
#include "convert/NmeaToGpx.h"
#include "convert/OsmCameras.h"
#include "convert/OsmToGpx.h"
#include "srtm/Contours.h"

namespace varno::cli {
namespace {

struct Options {
    std::string source;
    std::string destination;
    bool append = false;
    bool shortNames = false;
    bool pocketGpsNew = false;
    bool route = false;
    std::optional<double> degrees;
    std::optional<double> metres;
    std::optional<std::string> area;
    std::optional<std::string> exclude;
    bool poi = false;
    std::string method = "tracer";
    std::optional<double> step, erase, range;
    bool translate = false;
};

bool number(const std::string& text, std::optional<double>& out)
{
    double value = 0.0;
    if (!readNumber(text, value))
        return false;
    out = value;
    return true;
}

using Runner = varno::Report (*)(Context&, const Options&, varno::Progress&);

// The largest contour step, erase or contour range: more than Everest.
constexpr double kMaxContourMetres = 10000.0;

bool overwriteAllowed(Context& ctx, const std::string& destination, const char* question)
{
    // Only a file is asked about: a folder in the way is the converter's to refuse.
    std::error_code ec;
    if (destination == "-" || !std::filesystem::is_regular_file(destination, ec))
        return true;
    return ctx.prompt->show(question, PromptButtons::YesNo) == PromptAnswer::Yes;
}

constexpr char kOverwriteDestination[] =
    "The destination file already exists.\n\nDo you want to overwrite it ?";
constexpr char kLeftAsItWas[] = "The destination file was left as it was.";

// A camera or route file is replaced only when the user says so; appending
// keeps it anyway, and the source itself is the converter's to refuse.
bool replaceAllowed(Context& ctx, const Options& o)
{
    std::error_code ec;
    return o.append || std::filesystem::equivalent(o.source, o.destination, ec) ||
           overwriteAllowed(ctx, o.destination, kOverwriteDestination);
}

varno::Report cameras(Context& ctx, const Options& o, convert::CameraList list, varno::Progress& progress)
{
    if (!replaceAllowed(ctx, o))
        return varno::Report::failed(kLeftAsItWas);
    convert::CameraOptions options;
    options.list = o.pocketGpsNew ? convert::CameraList::PocketGpsNew : list;
    options.shortNames = o.shortNames;
    if (o.pocketGpsNew)
        return convert::convertCameraFiles({o.source}, o.destination, o.append, options, progress);
    return convert::convertCameraFile({o.source, o.destination, o.append}, options, progress);
}

varno::Report runPocketGps(Context& ctx, const Options& o, varno::Progress& p)
{
    return cameras(ctx, o, convert::CameraList::PocketGps, p);
}

varno::Report runGarmin(Context& ctx, const Options& o, varno::Progress& p)
{
    return cameras(ctx, o, convert::CameraList::Garmin, p);
}

varno::Report runOv2(Context& ctx, const Options& o, varno::Progress& progress)
{
    if (!replaceAllowed(ctx, o))
        return varno::Report::failed(kLeftAsItWas);
    convert::CameraOptions options;
    options.list = o.pocketGpsNew ? convert::CameraList::PocketGpsNew : convert::CameraList::PocketGps;
    options.shortNames = o.shortNames;
    return convert::runBytesJob(
        {o.source, o.destination, o.append, true}, [&](std::string_view bytes, convert::Sink& out) {
            varno::Report r = convert::convertOv2(bytes, out, options, progress);
            // Reading stopped at a broken record before any point: not an OV2 file at all.
            if (r.ok() && r.linesOut == 0 && !r.notes.empty())
                return varno::Report::failed("Error: " + o.source + " is not an OV2 file.\n" + r.notes);
            return r;
        });
}

varno::Report runNmeaGpx(Context& ctx, const Options& o, varno::Progress& progress)
{
    if (!overwriteAllowed(ctx, o.destination, "The output GPX file all ready exists.\n\nOverwrite Yes/No ?"))
        return varno::Report::failed(o.route ? "Error: Unable to create the output GPX route file."
                                               : "Error: Unable to create the output GPX track file.");
    convert::NmeaPickOptions pick;
    pick.atDirectionChange = o.degrees.has_value();
    pick.degrees = o.degrees.value_or(0.0);
    pick.atDistance = o.metres.has_value();
    pick.metres = o.metres.value_or(0.0);
    // Without a rule the dialog would take the first point alone; from the
    // terminal that is never what is meant, so every valid point is taken.
    if (!o.degrees && !o.metres)
        pick.atDistance = true;
    convert::Destination::Texts texts;
    texts.cantOpen = "Error: Unable to open the file.";
    texts.cantWrite = convert::kGpxWriteFailed;
    return convert::runFileJob(
        {o.source, o.destination, false},
        [&](varno::LineInput& in, convert::Sink& out) {
            std::vector<convert::NmeaPoint> points;
            varno::Report report = convert::pickNmeaPoints(in, pick, points, progress);
            if (!report.ok())
                return report;
            if (points.empty())
                return varno::Report::failed(convert::kPointListEmpty);
            if (!(o.route ? convert::writeGpxRoute(points, out) : convert::writeGpxTrack(points, out)))
                return varno::Report::failed(convert::kGpxWriteFailed);
            report.message =
                fmt::format("The GPX output file has been created.\n{} points written.", points.size());
            return report;
        },
        texts);
}

// "TOP,LEFT,BOTTOM,RIGHT"; an empty place stands for the whole globe on that side.
bool parseArea(const std::string& text, convert::OsmArea& area)
{
    double* sides[] = {&area.top, &area.left, &area.bottom, &area.right};
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t comma = i < 3 ? text.find(',', start) : text.size();
        if (comma == std::string::npos)
            return false;
        const std::string part = text.substr(start, comma - start);
        if (!part.empty()) {
            std::optional<double> v;
            if (!number(part, v))
                return false;
            *sides[i] = *v;
        }
        start = comma + 1;
    }
    return true;
}

varno::Report runOsm(Context& ctx, const Options& o, varno::Progress& progress, bool big)
{
    convert::OsmGpxOptions options;
    options.big = big;
    if (big) {
        options.includePoi = o.poi;
        options.translateUnicode = o.translate;
        options.exclusions = convert::osmExclusionsAtOpen();
        if (o.exclude) {
            options.exclusions.clear();
            std::size_t start = 0;
            while (start <= o.exclude->size()) {
                std::size_t comma = o.exclude->find(',', start);
                if (comma == std::string::npos)
                    comma = o.exclude->size();
                if (comma > start)
                    options.exclusions.push_back(o.exclude->substr(start, comma - start));
                start = comma + 1;
            }
        }
        if (o.area && !parseArea(*o.area, options.area))
            return varno::Report::failed("The area is TOP,LEFT,BOTTOM,RIGHT in degrees: " + *o.area);
    }
    if (!overwriteAllowed(ctx, o.destination, "The output GPX file all ready exists.\n\nOverwrite Yes/No ?"))
        return varno::Report::failed("The output GPX file was left as it was.");
    return convert::convertOsmFile({o.source, o.destination, false}, options, progress);
}

varno::Report runOsmGpx(Context& ctx, const Options& o, varno::Progress& p)
{
    return runOsm(ctx, o, p, false);
}
varno::Report runBigOsmGpx(Context& ctx, const Options& o, varno::Progress& p)
{
    return runOsm(ctx, o, p, true);
}

varno::Report runOsmCameras(Context& ctx, const Options& o, varno::Progress& progress)
{
    if (!overwriteAllowed(ctx, o.destination, kOverwriteDestination))
        return varno::Report::failed(kLeftAsItWas);
    return convert::convertOsmCamerasFile({o.source, o.destination, o.append}, progress);
}

varno::Report runSrtm(Context& ctx, const Options& o, varno::Progress& progress)
{
    if (o.method != "tracer" && o.method != "isolines")
        return varno::Report::failed("The method is tracer or isolines, not " + o.method);
    if (!overwriteAllowed(ctx, o.destination, "The output GPX file all ready exists.\n\nOverwrite Yes/No ?"))
        return varno::Report::failed("The output GPX file was left as it was.");
    return convert::runBytesJob(
        {o.source, o.destination, false}, [&](std::string_view bytes, convert::Sink& out) {
            std::string message;
            const auto tile = srtm::parseHgt(bytes, o.source, message);
            if (!tile)
                return varno::Report::failed(message);
            if (o.method == "isolines")
                return srtm::isolines(*tile, out, static_cast<int>(o.step.value_or(20)), progress);
            srtm::TracerOptions options;
            options.step = static_cast<int>(o.step.value_or(options.step));
            options.eraseRange = static_cast<int>(o.erase.value_or(options.eraseRange));
            options.contourRange = static_cast<int>(o.range.value_or(options.contourRange));
            return srtm::traceContours(*tile, out, options, progress);
        });
}

varno::Report runTrackRoute(Context& ctx, const Options& o, varno::Progress& progress)
{
    if (!replaceAllowed(ctx, o))
        return varno::Report::failed(kLeftAsItWas);
    return convert::gpxToRouteFile({o.source, o.destination, o.append}, false, progress);
}

varno::Report runRouteRoute(Context& ctx, const Options& o, varno::Progress& progress)
{
    if (!replaceAllowed(ctx, o))
        return varno::Report::failed(kLeftAsItWas);
    return convert::gpxToRouteFile({o.source, o.destination, o.append}, true, progress);
}

varno::Report runJosm(Context& ctx, const Options& o, varno::Progress& progress)
{
    if (!o.destination.empty() &&
        !overwriteAllowed(ctx, convert::josmMapFile(o.destination),
                          "The file already exists.\n\nDo you want to overwrite it ?"))
        return varno::Report::failed("The map file was left as it was.");
    return convert::josmToProject(o.source, o.destination, progress);
}

// What add-newlines writes, watched for signs that the source is no GPX text:
// a NUL byte (binary data) stops the writing, and a text without "<gpx" is
// found out at the end.
class GpxTextCheck final : public convert::Sink {
public:
    explicit GpxTextCheck(convert::Sink& out) : out_(out) {}
    bool write(std::string_view bytes) override
    {
        if (bytes.find('\0') != std::string_view::npos) {
            binary = true;
            return false;
        }
        sawGpx = sawGpx || (tail_ + std::string(bytes.substr(0, 8))).find("<gpx") != std::string::npos ||
                 bytes.find("<gpx") != std::string_view::npos;
        tail_ = std::string(bytes.substr(bytes.size() - std::min<std::size_t>(bytes.size(), 3)));
        return out_.write(bytes);
    }
    bool binary = false;
    bool sawGpx = false;

private:
    convert::Sink& out_;
    std::string tail_; // the last bytes, for a "<gpx" across two writes
};

varno::Report runNewLines(Context& ctx, const Options& o, varno::Progress& progress)
{
    if (!overwriteAllowed(ctx, o.destination, kOverwriteDestination))
        return varno::Report::failed(kLeftAsItWas);
    if (equalsNoCase(o.source, o.destination))
        return convert::addNewLinesFile({o.source, o.destination, false}, progress); // its own refusal
    return convert::runFileJob({o.source, o.destination, false}, [&](varno::LineInput& in,
                                                                     convert::Sink& out) {
        GpxTextCheck check(out);
        varno::Report r = convert::addNewLines(in, check, progress);
        if (check.binary)
            return varno::Report::failed("Error: " + o.source + " is not a GPX file (binary data).");
        if (r.ok() && !check.sawGpx)
            return varno::Report::failed("Error: " + o.source + " is not a GPX file (no <gpx> element).");
        return r;
    });
}

struct Kind {
    const char* name;
    Runner run;
    const char* help;
};

constexpr Kind kKinds[] = {
    {"pocketgps-csv", runPocketGps,
     "PocketGPS camera CSV (or .ov2) to a camera file [--new [--short-names]]"},
    {"garmin-csv", runGarmin, "Garmin camera CSV (or .ov2) to a camera file"},
    {"ov2", runOv2, "OV2 points to a camera file [--new [--short-names]]"},
    {"nmea-gpx", runNmeaGpx,
     "NMEA log to a GPX track [--route] [--degrees N] [--metres M] (neither: every valid point)"},
    {"osm-gpx", runOsmGpx, "OSM (.osm, .osm.bz2, .osm.gz, .osm.pbf) ways to GPX tracks"},
    {"big-osm-gpx", runBigOsmGpx,
     "an area of an OSM file to GPX [--area TOP,LEFT,BOTTOM,RIGHT] [--poi] [--translate] [--exclude W,W...]"},
    {"osm-cameras", runOsmCameras,
     "OSM speed cameras (highway=speed_camera) to a camera file, Road and Town from the map"},
    {"srtm-gpx", runSrtm,
     "SRTM .hgt contours to GPX [--method tracer|isolines] [--step M] [--erase M] [--range M] (tracer)"},
    {"gpx-track-route", runTrackRoute, "GPX track points to a route CSV"},
    {"gpx-route-route", runRouteRoute, "GPX waypoints and route points to a route CSV"},
    {"josm-project", runJosm, "GPX track segments to a track editor project (DST: its base name)"},
    {"add-newlines", runNewLines, "GPX written on one line broken into lines"},
};

void usage(std::FILE* f)
{
    std::fprintf(f, "usage: varno-cli convert KIND SRC DST [--append] [options]   (SRC or DST '-': standard "
                    "input or output)\n");
    for (const Kind& k : kKinds)
        std::fprintf(f, "  %-18s %s\n", k.name, k.help);
}

} // namespace

int cmdConvert(Context& ctx, const Args& args)
{
    if (args.empty()) {
        usage(ctx.err);
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        usage(ctx.out);
        return 0;
    }
    const Kind* kind = nullptr;
    for (const Kind& k : kKinds)
        if (args[0] == k.name)
            kind = &k;
    if (!kind) {
        std::fprintf(ctx.err, "varno-cli convert: unknown kind '%s'\n", args[0].c_str());
        usage(ctx.err);
        return kExitUsage;
    }
    Options o;
    std::vector<std::string> files;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--append")
            o.append = true;
        else if (a == "--short-names")
            o.shortNames = true;
        else if (a == "--new")
            o.pocketGpsNew = true;
        else if (a == "--route")
            o.route = true;
        else if (a == "--degrees" && hasValue && number(args[i + 1], o.degrees))
            ++i;
        else if (a == "--metres" && hasValue && number(args[i + 1], o.metres))
            ++i;
        else if (a == "--area" && hasValue)
            o.area = args[++i];
        else if (a == "--exclude" && hasValue)
            o.exclude = args[++i];
        else if (a == "--method" && hasValue)
            o.method = args[++i];
        else if (a == "--step" && hasValue && number(args[i + 1], o.step))
            ++i;
        else if (a == "--erase" && hasValue && number(args[i + 1], o.erase))
            ++i;
        else if (a == "--range" && hasValue && number(args[i + 1], o.range))
            ++i;
        else if (a == "--poi")
            o.poi = true;
        else if (a == "--translate")
            o.translate = true;
        else if (a.size() > 1 && a[0] == '-') {
            usage(ctx.err);
            return kExitUsage;
        } else
            files.push_back(a);
    }
    if (files.size() != 2) {
        usage(ctx.err);
        return kExitUsage;
    }
    o.source = files[0];
    o.destination = files[1];

    // The contour options become whole metres (an int): nan, 1e308 or a
    // negative value has no such meaning.
    const auto metres = [](const std::optional<double>& v, double lowest) {
        return !v || (*v >= lowest && *v <= kMaxContourMetres);
    };
    if (!metres(o.step, 1.0) || !metres(o.erase, 0.0) || !metres(o.range, 0.0)) {
        std::fprintf(ctx.err,
                     "varno-cli convert: --step takes 1 to %.0f metres, --erase and --range 0 to %.0f\n",
                     kMaxContourMetres, kMaxContourMetres);
        return kExitUsage;
    }

    const bool terminal = isatty(fileno(ctx.err)) != 0;
    varno::Progress progress([&](std::uint64_t done, std::uint64_t total) {
        if (total > 0)
            std::fprintf(ctx.err, "\r%s: %3d%%", kind->name, static_cast<int>(100.0 * done / total));
        return true;
    });
    // Off a terminal a long conversion (contours of a rough tile take minutes)
    // still says how far it is: a line at every tenth.
    int shownTenths = -1;
    varno::Progress lines([&](std::uint64_t done, std::uint64_t total) {
        const int tenths = total > 0 ? static_cast<int>(10.0 * static_cast<double>(done) / total) : 0;
        if (tenths > shownTenths && tenths < 10) {
            shownTenths = tenths;
            std::fprintf(ctx.err, "%s: %d%%\n", kind->name, tenths * 10);
        }
        return true;
    });
    varno::Progress quiet;
    const bool slow = kind->run == runSrtm;
    const varno::Report report = kind->run(ctx, o, terminal ? progress : slow ? lines : quiet);
    if (terminal)
        std::fprintf(ctx.err, "\r\033[K");
    if (!report.notes.empty())
        std::fprintf(ctx.err, "%s\n", report.notes.c_str());
    std::fprintf(ctx.err, "%s\n", report.message.c_str());
    return report.ok() ? kExitOk : kExitFailure;
}

} // namespace varno::cli
