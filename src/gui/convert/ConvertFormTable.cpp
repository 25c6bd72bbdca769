// The Convert dialogs that are a source, a destination and a converter: one row each.
#include "gui/convert/ConvertForm.h"

#include <QCheckBox>
#include <QLineEdit>
#include <algorithm>
#include <fmt/format.h>

#include "base/Numbers.h"
#include "convert/CameraConvert.h"
#include "convert/GpxText.h"
#include "convert/OsmCameras.h"
#include "convert/OsmToGpx.h"
#include "gui/paint/ColourConvert.h"
#include "osm/OsmReader.h"
#include "srtm/Contours.h"

using varno::session::CommandId;
namespace convert = varno::convert;

namespace {

const ConvertForm::File kOsmSource{
    "Source OSM file", "", "OSM files (*.osm)|*.osm;*.osm.bz2;*.osm.gz;*.osm.pbf|All files (*.*)|*.*||"};
const ConvertForm::File kGpxDestination{"Destination GPX file", "",
                                        "GPX files (*.gpx)|*.gpx|All files (*.*)|*.*||"};
constexpr char kOverwriteDestination[] =
    "The destination file already exists.\n\nDo you want to overwrite it ?";

std::string destinationElsewhere(const convert::FileJob& job)
{
    return !job.source.empty() && job.source != job.destination ? job.destination : std::string();
}

std::string destinationOfASource(const convert::FileJob& job)
{
    return job.source.empty() ? std::string() : job.destination;
}

bool isBlank(std::string_view text)
{
    return text.find_first_not_of(" \t\r\n\v\f") == std::string_view::npos;
}

template <bool Big>
varno::Report osmToGpx(const convert::FileJob& job, const ConvertAnswers& a, varno::Progress& p)
{
    convert::OsmGpxOptions options;
    options.big = Big;
    if (Big) {
        auto side = [&](const char* name, double empty) {
            const std::string t = a.text(name);
            return isBlank(t) ? empty : varno::leadingDouble(t);
        };
        options.area = {side("top", 91), side("left", -181), side("bottom", -91), side("right", 181)};
        options.includePoi = a.checked("poi");
        options.translateUnicode = a.checked("translate");
        for (const std::string_view e : convert::kOsmExclusions)
            if (a.checked(e))
                options.exclusions.emplace_back(e);
    }
    return convert::convertOsmFile(job, options, p);
}

// The area extractor's own rows: Get bounds for the area, its boxes and the exclusions.
void bigOsmRows(ConvertDialog& dlg, varno::Prompt& prompt)
{
    dlg.addButton(QStringLiteral("getBounds"), QStringLiteral("Get bounds"), [&dlg, &prompt] {
        if (dlg.text(QStringLiteral("source")).isEmpty()) {
            prompt.message("Please select an OSM source file.");
            return;
        }
        std::string error;
        const auto bounds = varno::osm::readBounds(dlg.path(QStringLiteral("source")), &error);
        if (!bounds) {
            prompt.message(!error.empty() ? error
                                          : "The source file does not contain\na '<bound box=' line\n in the "
                                            "first 100 rows.");
            return;
        }
        const std::pair<const char*, double> sides[] = {{"bottom", bounds->bottom},
                                                        {"left", bounds->left},
                                                        {"top", bounds->top},
                                                        {"right", bounds->right}};
        for (const auto& [name, value] : sides)
            dlg.findChild<QLineEdit*>(QString::fromLatin1(name))
                ->setText(textFromBytes(fmt::format("{}", value)));
    });
    dlg.addCheck(QStringLiteral("translate"), QStringLiteral("Translate unicode characters."), false);
    dlg.addCheck(QStringLiteral("poi"), QStringLiteral("Include POI"), false);
    dlg.addText(QStringLiteral("Exclude anything containing"));
    const std::vector<std::string> atOpen = convert::osmExclusionsAtOpen();
    for (const std::string_view e : convert::kOsmExclusions)
        dlg.addCheck(textFromBytes(e), textFromBytes(e),
                     std::find(atOpen.begin(), atOpen.end(), e) != atOpen.end());
    auto setAll = [&dlg](const std::vector<std::string>& on) {
        for (const std::string_view e : convert::kOsmExclusions)
            dlg.check(textFromBytes(e))->setChecked(std::find(on.begin(), on.end(), e) != on.end());
    };
    dlg.addButton(QStringLiteral("default"), QStringLiteral("Default"),
                  [setAll] { setAll(convert::osmExclusionsDefault()); });
    dlg.addButton(QStringLiteral("all"), QStringLiteral("All"), [setAll] {
        setAll(std::vector<std::string>(convert::kOsmExclusions.begin(), convert::kOsmExclusions.end()));
    });
    dlg.addButton(QStringLiteral("none"), QStringLiteral("None"), [setAll] { setAll({}); });
}

varno::Report srtmToGpx(const convert::FileJob& job, const ConvertAnswers& a, varno::Progress& p)
{
    varno::srtm::TracerOptions options;
    options.eraseRange = varno::leadingInt(a.text("erase"));
    options.contourRange = varno::leadingInt(a.text("range"));
    options.step = varno::leadingInt(a.text("step"));
    const bool isolines = a.checked("isolines");
    return convert::runBytesJob(job, [&](std::string_view bytes, convert::Sink& out) {
        std::string message;
        const auto tile = varno::srtm::parseHgt(bytes, job.source, message);
        if (!tile)
            return varno::Report::failed(message);
        return isolines ? varno::srtm::isolines(*tile, out, options.step, p)
                        : varno::srtm::traceContours(*tile, out, options, p);
    });
}

template <convert::CameraList List>
varno::Report cameraList(const convert::FileJob& job, const ConvertAnswers&, varno::Progress& p)
{
    return convert::convertCameraFile(job, {List, false}, p);
}

// A camera list to a camera file: OK converts.
ConvertForm cameraListForm(CommandId id, const char* title, const char* source,
                           decltype(ConvertForm::run) run)
{
    return {.id = id,
            .title = title,
            .source = {"Source file", source},
            .destination = {"Destination file", "C:\\VARNO\\VARNOCamera.txt"},
            .append = "Append to existing file.",
            .okConverts = true,
            .withCancel = true,
            .writesCameraFile = true,
            .run = run};
}

template <bool Routes>
varno::Report gpxToRoutes(const convert::FileJob& job, const ConvertAnswers&, varno::Progress& p)
{
    return convert::gpxToRouteFile(job, Routes, p);
}

// A GPX file to a route file: Convert, as often as wanted.
ConvertForm routeFileForm(CommandId id, const char* title, decltype(ConvertForm::run) run)
{
    return {.id = id,
            .title = title,
            .source = {"Source file", "C:\\VARNO\\GPX\\"},
            .destination = {"Destination file", "C:\\VARNO\\Routes\\gpx.csv"},
            .append = "Append to existing file.",
            .withCancel = true,
            .run = run};
}

} // namespace

const std::vector<ConvertForm>& convertForms()
{
    static const std::vector<ConvertForm> table = {
        cameraListForm(CommandId::ConvertPocketGpsCsv, "Convert Pocket GPS CSV",
                       "C:\\VARNO\\Speed_Cam_Uk.csv", cameraList<convert::CameraList::PocketGps>),
        cameraListForm(CommandId::ConvertGarminCsv, "Convert from a csv file",
                       "C:\\VARNO\\pocketgps_uk_sc.csv", cameraList<convert::CameraList::Garmin>),
        routeFileForm(CommandId::ConvertGpxTrack, "Convert GPX track file to this programs route format",
                      gpxToRoutes<false>),
        routeFileForm(CommandId::ConvertGpxRoute, "Convert GPX Route to Route CSV file", gpxToRoutes<true>),
        {.id = CommandId::ConvertJosmGpx,
         .title = "Convert JOSM GPX to map project",
         .intro = {"Converts a multi section GPX track file that was exported from JOSM in to multiple files "
                   "as a VARNO track project."},
         .source = {"JOSM GPX track source file."},
         .destination = {"Destination map project track folder/name."},
         .overwrites =
             [](auto& job) {
                 return job.destination.empty() ? std::string() : convert::josmMapFile(job.destination);
             },
         .overwriteQuestion = "The file already exists.\n\nDo you want to overwrite it ?",
         .run = [](auto& job, auto&,
                   auto& p) { return convert::josmToProject(job.source, job.destination, p); }},
        {.id = CommandId::ConvertOsmToGpx,
         .title = "Convert OSM to GPX track",
         .intro = {"Converts a OSM source file to a GPX file suitable for use as a background map in the "
                   "track editor."},
         .source = kOsmSource,
         .destination = kGpxDestination,
         .notes = {"For each OSM file that you want to convert select the source and destination files and "
                   "then click the Convert button.  When you have finished converting files click the OK "
                   "button to close the dialog window."},
         .overwrites = destinationOfASource,
         .overwriteQuestion = kOverwriteGpx,
         .run = osmToGpx<false>},
        {.id = CommandId::ConvertBigOsmToGpx,
         .title = "Big OSM GPX extractor",
         .intro = {"Converts an OSM source file to a GPX file suitable for use as a background map in the "
                   "track editor."},
         .source = kOsmSource,
         .destination = kGpxDestination,
         .fields = {{"top", "Latitude of top."},
                    {"left", "Longitude of left."},
                    {"bottom", "Latitude of bottom."},
                    {"right", "Longitude of right."}},
         .more = bigOsmRows,
         .notes =
             {"For each OSM file that you want to convert select the source and destination files, enter "
              "the coordinates of the area you require or click the Get bounds button for the entire "
              "area, and then click the Convert button.",
              "Note that 1.Some OSM files do not contain bounds information. 2. Leave the area "
              "coordinates empty for the entire area.  When you have finished converting files click "
              "the OK button to close the dialog window."},
         .overwrites = destinationOfASource,
         .overwriteQuestion = kOverwriteGpx,
         .run = osmToGpx<true>},
        {.id = CommandId::ConvertOsmCameras,
         .title = "OSM speed cameras",
         .intro =
             {"Writes the speed cameras of an OpenStreetMap file to a camera file, with the road and town "
              "of each from the map."},
         .source = kOsmSource,
         .destination = {"Destination camera file"},
         .overwrites = destinationElsewhere,
         .overwriteQuestion = kOverwriteDestination,
         .writesCameraFile = true,
         .run = [](auto& job, auto&, auto& p) { return convert::convertOsmCamerasFile(job, p); }},
        {.id = CommandId::ConvertAddNewLines,
         .title = "Add new line characters",
         .intro = {"Adds a new line character pair after each </trkpt> <trk> </trk> </name> <trkseg> "
                   "</trkseg> />"},
         .source = {"Source file"},
         .destination = {"Destination file"},
         .notes = {"Select a source and destinaton file and click the Convert button.  When you are finished "
                   "click the OK button to close the dialog."},
         .overwrites = destinationElsewhere,
         .overwriteQuestion = kOverwriteDestination,
         .run = [](auto& job, auto&, auto& p) { return convert::addNewLinesFile(job, p); }},
        {.id = CommandId::ConvertSrtmToGpx,
         .title = "Converts a SRTM 3arc  Topology file to a GPX track file.",
         .intro = {"This is my failed attempt to extract contour lines from SRTM files.  The results are "
                   "weird.  I've left it in as a sort of curio.",
                   "Converts a SRTM *.hgt source file to a GPX file suitable for use as a background map in "
                   "the track editor."},
         .source = {"Source SRTM  *.hgt  file.", "", "SRTM files *.hgt|*.hgt|All files (*.*)|*.*||"},
         .destination = {"Destination GPX file", "", "GPX files *.gpx|*.gpx|All files (*.*)|*.*||"},
         .fields = {{"erase", "Erase flat space height range.", "3"},
                    {"range", "Contour height range.", "6"},
                    {"step", "Contour step.", "20"}},
         .checks = {{"isolines", "Isolines instead: one line at each contour step, following the ground."}},
         .notes =
             {"For each SRTM file that you want to convert select the source and destination files and "
              "then click the Convert button.  When you have finished converting files click the OK "
              "button to close the dialog window.",
              "Erase flat space is the area within the contour that is removed (good for removing the "
              "sea).  Contour height range defines the width of the contour.  Contour step is the height "
              "between each contour e.g. 50 would give contours at 0, 50, 100,150 etc."},
         .withCancel = true,
         .noSource = "Please choose a source file.",
         .noDestination = "Please select an output GPX track file.",
         .overwrites = [](auto& job) { return job.destination; },
         .overwriteQuestion = kOverwriteGpx,
         .run = srtmToGpx},
    };
    return table;
}
