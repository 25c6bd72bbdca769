// GPX to route CSV, JOSM GPX to a track project, and new lines for one-line GPX.
#include "convert/GpxText.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <vector>

#include <fmt/format.h>
#include <fmt/printf.h>

#include "base/AsciiCase.h"
#include "gpx/GpxReader.h"

namespace varno::convert {
namespace {

std::optional<gpx::Error> readGpx(const std::string& source, gpx::Visitor& visitor)
{
    if (source == "-")
        return gpx::read(std::cin, visitor, "(standard input)");
    return gpx::readFile(source, visitor);
}

Report gpxFailure(const gpx::Error& error)
{
    if (error.stopped) {
        Report r;
        r.status = Report::Status::Cancelled;
        r.message = kCancelled;
        return r;
    }
    return Report::failed("Error reading the GPX file\n" + error.text());
}

class RouteLines final : public gpx::Visitor {
public:
    RouteLines(Sink& out, Progress& progress, bool routes) : out_(out), progress_(progress), routes_(routes)
    {
    }

    void trackPoint(const gpx::Point& p) override
    {
        if (routes_)
            return;
        ++points;
        write(fmt::format("{},{},P{:03},Trk{:03}\n", p.lonText, p.latText, points, points));
    }
    void waypoint(const gpx::Point& p) override { routePoint(p); }
    void routePoint(const gpx::Point& p) override
    {
        if (!routes_)
            return;
        ++points;
        // Desc. 1 is the name, or the description when there is no name;
        // Desc. 2 the description after a name.
        std::string line = p.lonText + "," + p.latText + ",";
        if (!p.name.empty()) {
            line += fieldText(p.name) + ",";
            line += fieldText(p.desc);
        } else if (!p.desc.empty()) {
            line += fieldText(p.desc) + ",";
        }
        write(line + "\n");
    }
    void documentEnd(std::uint64_t count) override { lines = count; }
    bool wantsStop() const override { return failed || progress_.cancelled(); }

    std::uint64_t points = 0;
    std::uint64_t lines = 0;
    bool failed = false;

private:
    void write(const std::string& line)
    {
        if (!progress_.update(points, 0))
            return;
        failed = failed || !out_.write(line);
    }

    Sink& out_;
    Progress& progress_;
    bool routes_;
};

Report gpxToRoute(const std::string& source, Sink& out, Progress& progress, bool routes)
{
    RouteLines lines(out, progress, routes);
    const std::optional<gpx::Error> error = readGpx(source, lines);
    if (lines.failed)
        return Report::failed(kWriteFailed);
    if (error)
        return gpxFailure(*error);
    Report r;
    r.linesIn = lines.lines;
    r.linesOut = lines.points;
    r.message =
        routes ? fmt::format("{} lines processed.\n\nConversion complete.", lines.lines)
               : fmt::format("Input {} lines processed.\nOutput {} lines processed.\n\nConversion complete.",
                             lines.lines, lines.points);
    return r;
}

std::string nmeaChecksummed(const std::string& body)
{
    unsigned char sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    return fmt::format("${}*{:02X}\n", body, sum);
}

// "ddmm.mmmm,N," with degreeDigits digits of whole degrees; the hemisphere
// letter carries the sign.
std::string nmeaAngle(double value, int degreeDigits, char positive, char negative)
{
    const double a = std::fabs(value);
    const int degrees = static_cast<int>(a);
    double minutes = (a - degrees) * 60.0;
    return fmt::format("{:0{}}{:07.4f},{},", degrees, degreeDigits, minutes, value < 0 ? negative : positive);
}

struct ProjectTrack {
    std::string name;
    std::string text;
};

class ProjectBuilder final : public gpx::Visitor {
public:
    explicit ProjectBuilder(Progress& progress) : progress_(progress) {}

    void segmentStart() override { tracks.push_back({}); }
    void trackPoint(const gpx::Point& p) override
    {
        if (tracks.empty())
            tracks.push_back({});
        tracks.back().text += josmSentences(clock, p.latDeg, p.lonDeg);
        clock += 1000;
        ++points;
        progress_.update(points, 0);
    }
    bool wantsStop() const override { return progress_.cancelled(); }
    void documentEnd(std::uint64_t count) override { lines = count; }

    std::vector<ProjectTrack> tracks;
    std::uint64_t lines = 0;
    std::uint64_t clock = 1000;
    std::uint64_t points = 0;

private:
    Progress& progress_;
};

bool isFolder(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

} // namespace

Report gpxTrackToRoute(const std::string& source, Sink& out, Progress& progress)
{
    return gpxToRoute(source, out, progress, false);
}

Report gpxRouteToRoute(const std::string& source, Sink& out, Progress& progress)
{
    return gpxToRoute(source, out, progress, true);
}

Report gpxToRouteFile(const FileJob& job, bool routes, Progress& progress)
{
    if (job.source.empty())
        return Report::failed("The source file name can not be empty");
    if (job.destination.empty())
        return Report::failed("The destination file name can not be empty");
    std::error_code ec;
    if (job.source != "-" && std::filesystem::equivalent(job.source, job.destination, ec))
        return Report::failed("The source and destination file names can not be the same.\n" + job.source);
    if (job.source != "-" && isFolder(job.source))
        return Report::failed("Error can't open source file\n" + job.source + ": a folder");
    FileJob recorded = job;
    recorded.needsRecords = true;
    return runSinkJob(recorded, [&](Sink& out) { return gpxToRoute(job.source, out, progress, routes); });
}

std::string josmSentences(std::uint64_t clockMs, double lat, double lon)
{
    const std::string time = fmt::format("{:02}{:02}{:02}.{:03},", clockMs / 3600000, clockMs / 60000 % 60,
                                         clockMs / 1000 % 60, clockMs % 1000);
    const std::string position = nmeaAngle(lat, 2, 'N', 'S') + nmeaAngle(lon, 3, 'E', 'W');
    return nmeaChecksummed("GPGGA," + time + position + "1,07,1.25,00121,M,047,M,,") +
           nmeaChecksummed("GPRMC," + time + "A," + position + "50.00,0.000,0.00,E,");
}

std::string josmMapFile(const std::string& destination)
{
    std::string base = destination;
    if (base.size() > 4 && equalsNoCase(std::string_view(base).substr(base.size() - 4), ".txt"))
        base.resize(base.size() - 4);
    return base + ".txt";
}

Report josmToProject(const std::string& source, const std::string& destination, Progress& progress)
{
    if (source.empty())
        return Report::failed("Please choose a JOSM gpx track file.");
    if (destination.empty())
        return Report::failed("Please choose a destination map file name.");
    const std::string mapFile = josmMapFile(destination);
    const std::string base = mapFile.substr(0, mapFile.size() - 4);
    if (isFolder(source))
        return Report::failed("Error can't open source file\n" + source + ": a folder");

    ProjectBuilder builder(progress);
    if (const std::optional<gpx::Error> error = readGpx(source, builder))
        return gpxFailure(*error);

    std::string map = ";VARNO Track Editor\n";
    map += "MapDesc:JOSM Convert: " + source.substr(0, 250) + "\n";
    map += "zoom:1\n";
    std::vector<std::pair<std::string, std::string>> files;
    for (std::size_t k = 1; k <= builder.tracks.size(); ++k) {
        const std::string path = fmt::format("{}-Track{:06}.txt", base, k);
        map += fmt::format("TrkDesc:Track{:06}\nTrkPath:{}\n", k, path);
        files.emplace_back(path, std::move(builder.tracks[k - 1].text));
    }
    files.emplace_back(mapFile, std::move(map));
    // The map file and the track files each have their own message.
    const auto cantWrite = [&mapFile](const std::string& path) {
        return std::string(path == mapFile ? "Error can't open the tracks map file.\n"
                                           : "Error can't open destination file\n");
    };
    // The project is one whole: every file is written and on disk beside
    // its old self before the first takes the old one's place, so a folder in
    // the way or a full disk leaves the old project as it was.
    std::vector<AtomicFileWriter> writers(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto& [path, text] = files[i];
        WriteOutcome done = writers[i].open(path);
        if (done) {
            AtomicSink file(writers[i]);
            CrLfSink lines(file);
            lines.write(text);
            done = writers[i].prepare();
        }
        if (!done)
            return Report::failed(cantWrite(path) + path + ": " + done.message);
    }
    for (std::size_t i = 0; i < files.size(); ++i)
        if (const WriteOutcome done = writers[i].commit(); !done)
            return Report::failed(cantWrite(files[i].first) + files[i].first + ": " + done.message);
    Report r;
    r.linesIn = builder.lines;
    r.linesOut = builder.points;
    r.message = fmt::format("Input {} lines processed.\nOutput {} lines processed.\n\nConversion complete.",
                            builder.lines, builder.points);
    return r;
}

Report addNewLines(LineInput& in, Sink& out, Progress& progress)
{
    static constexpr std::array<std::string_view, 8> kTokens = {"</trkpt>",  "<trk>",  "</name>", "<trkseg>",
                                                                "</trkseg>", "</trk>", "</wpt>",  "/>"};
    std::string piece, held, text;
    Report r;
    while (in.next(piece, 1 << 16)) {
        if (!progress.update(in.done(), in.total())) {
            r.status = Report::Status::Cancelled;
            r.message = kCancelled;
            return r;
        }
        text.clear();
        for (const char c : piece) {
            held += c;
            bool prefix = false, whole = false;
            for (const std::string_view t : kTokens) {
                if (t.substr(0, std::min(t.size(), held.size())) == held && held.size() <= t.size())
                    prefix = true;
                if (t == held)
                    whole = true;
            }
            if (whole) {
                text += held;
                text += '\n';
                held.clear();
                ++r.linesOut;
            } else if (!prefix) {
                text += held;
                held.clear();
            }
        }
        if (!out.write(text))
            return Report::failed(kWriteFailed);
    }
    // The start of a token the file ended in is text like any other.
    if (!held.empty() && !out.write(held))
        return Report::failed(kWriteFailed);
    r.message = "Finished writing to output file.";
    return r;
}

Report addNewLinesFile(const FileJob& job, Progress& progress)
{
    if (!job.source.empty() && equalsNoCase(job.source, job.destination))
        return Report::failed("The source and destination file names can not be the same.");
    return runFileJob(job, [&](LineInput& in, Sink& out) { return addNewLines(in, out, progress); });
}

} // namespace varno::convert
