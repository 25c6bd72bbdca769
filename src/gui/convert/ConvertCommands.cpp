// The Convert menu and the passed-camera list.
#include "gui/convert/ConvertCommands.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QClipboard>
#include <QGridLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>
#include <optional>
#include <fmt/format.h>

#include "base/DataPath.h"
#include "base/InputFile.h"
#include "base/Numbers.h"
#include "cameras/CameraFile.h"
#include "cameras/PassedCameras.h"
#include "convert/CameraConvert.h"
#include "convert/GpxText.h"
#include "convert/NmeaToGpx.h"
#include "convert/OsmCameras.h"
#include "convert/OsmToGpx.h"
#include "gui/convert/ConvertDialog.h"
#include "gui/convert/ConvertRunner.h"
#include "gui/frame/CMainFrame.h"
#include "osm/OsmReader.h"
#include "settings/Settings.h"
#include "srtm/Contours.h"

using varno::session::CommandId;
namespace convert = varno::convert;

namespace {

constexpr char kAllFiles[] = "All files (*.*)|*.*||";
constexpr char kLogFilter[] = "VARNO log file (*.txt)| *.txt|All files (*.*)|*.*||";
constexpr char kGpxFilter[] = "GPX track or route file (*.gpx)| *.gpx|All files (*.*)|*.*||";
constexpr char kOverwriteGpx[] = "The output GPX file all ready exists.\n\nOverwrite Yes/No ?";

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

bool exists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(path, ec);
}

// The report as the user sees it: notes first, then the summary.
void tell(varno::Prompt& prompt, const convert::Report& r)
{
    prompt.message(r.notes.empty() ? r.message : r.notes + "\n\n" + r.message);
}

bool askOverwrite(varno::Prompt& prompt, const std::string& path, const char* question)
{
    return !exists(path) || prompt.show(question, varno::PromptButtons::YesNo) == varno::PromptAnswer::Yes;
}

// An empty field, or one that names only a folder ("C:\\VARNO\\Log\\").
bool noFileNamed(const ConvertDialog& dlg, const char* field)
{
    const std::string path = dlg.path(QString::fromLatin1(field));
    return path.empty() || path.back() == '/';
}

double number(const QString& text)
{
    return varno::leadingDouble(text.toStdString());
}

// Source, destination, "Append to existing file." and OK / Cancel: the camera list dialogs.
void cameraDialog(CMainFrame& frame, const QString& title, const QString& source, convert::CameraList list)
{
    auto& session = frame.session();
    ConvertDialog dlg(title, session.dataRoot(), &frame);
    dlg.addFile(QStringLiteral("source"), QStringLiteral("Source file"), source, kAllFiles, false);
    dlg.addFile(QStringLiteral("destination"), QStringLiteral("Destination file"),
                QStringLiteral("C:\\VARNO\\VARNOCamera.txt"), kAllFiles, true);
    dlg.addCheck(QStringLiteral("append"), QStringLiteral("Append to existing file."), false);
    dlg.addClose(true);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const convert::FileJob job{dlg.path(QStringLiteral("source")), dlg.path(QStringLiteral("destination")),
                               dlg.checked(QStringLiteral("append"))};
    tell(session.prompt(), runConversion(&frame, title, [&](convert::Progress& p) {
             return convert::convertCameraFile(job, {list, false}, p);
         }));
}

void pocketGpsFilesDialog(CMainFrame& frame)
{
    auto& session = frame.session();
    ConvertDialog dlg(QStringLiteral("Convert New PocketGPS to VARNO CSV format"), session.dataRoot(),
                      &frame);
    auto* sources = new QListWidget(&dlg);
    sources->setObjectName(QStringLiteral("sources"));
    dlg.grid()->addWidget(sources, dlg.nextRow(), 0, 1, 3);
    dlg.addButton(QStringLiteral("browseAndAdd"), QStringLiteral("Browse and Add"), [&dlg, sources] {
        FileRequest r;
        r.title = QStringLiteral("Open");
        r.folder = qs(varno::mapDataPath("C:\\VARNO", dlg.dataRoot()));
        r.filter = qtFileFilter(kAllFiles);
        const QString chosen = dlg.dialogs.open(&dlg, r);
        if (!chosen.isEmpty())
            sources->addItem(chosen);
    });
    dlg.addButton(QStringLiteral("delete"), QStringLiteral("Delete"),
                  [sources] { delete sources->currentItem(); });
    dlg.addFile(QStringLiteral("destination"), QStringLiteral("Destination file"),
                QStringLiteral("C:\\VARNO\\VARNOCamera.txt"), kAllFiles, true);
    dlg.addCheck(QStringLiteral("append"), QStringLiteral("Append to existing file"), false);
    dlg.addCheck(QStringLiteral("shortNames"), QStringLiteral("Use short camera names"), false);
    dlg.addText(
        QStringLiteral("Use this dialogue to convert PocketGPS files removing any direction prefixs, p or t "
                       "in the camera names."));
    dlg.addButton(QStringLiteral("convert"), QStringLiteral("Convert"), [&] {
        std::vector<std::string> paths;
        for (int i = 0; i < sources->count(); ++i)
            paths.push_back(varno::mapDataPath(sources->item(i)->text().toStdString(), dlg.dataRoot()));
        if (paths.empty()) {
            session.prompt().message("Nothing to convert\nPlease select a source file(s)\nand try again.");
            return;
        }
        if (dlg.text(QStringLiteral("destination")).isEmpty()) {
            session.prompt().message("Please choose a destination file");
            return;
        }
        const std::string destination = dlg.path(QStringLiteral("destination"));
        const bool append = dlg.checked(QStringLiteral("append"));
        const convert::CameraOptions options{convert::CameraList::PocketGpsNew,
                                             dlg.checked(QStringLiteral("shortNames"))};
        tell(session.prompt(), runConversion(&dlg, dlg.windowTitle(), [&](convert::Progress& p) {
                 return convert::convertCameraFiles(paths, destination, append, options, p);
             }));
    });
    dlg.addClose(false);
    dlg.exec();
}

// The points of the NMEA dialog, listed as the writers read them.
void fillPointList(QTreeWidget* list, const std::vector<convert::NmeaPoint>& points)
{
    list->clear();
    for (const convert::NmeaPoint& p : points)
        list->addTopLevelItem(new QTreeWidgetItem({qs(p.latitude), qs(p.longitude), qs(p.time),
                                                   qs(p.elevation), qs(p.course), QString::number(p.row)}));
}

std::vector<convert::NmeaPoint> pointsOfList(const QTreeWidget* list)
{
    std::vector<convert::NmeaPoint> points;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        points.push_back({item->text(0).toStdString(), item->text(1).toStdString(),
                          item->text(2).toStdString(), item->text(3).toStdString(),
                          item->text(4).toStdString(), item->text(5).toInt()});
    }
    return points;
}

void nmeaDialog(CMainFrame& frame)
{
    auto& session = frame.session();
    auto& prompt = session.prompt();
    ConvertDialog dlg(QStringLiteral("Create GPX file from an NMEA log"), session.dataRoot(), &frame);
    dlg.addFile(QStringLiteral("log"), QStringLiteral("Choose the log file that you would like to use."),
                QStringLiteral("C:\\VARNO\\Log\\"), kLogFilter, false);
    dlg.addFile(QStringLiteral("gpx"), QStringLiteral("Choose the GPX file that you would like to save to."),
                QStringLiteral("C:\\VARNO\\GPX\\"), kGpxFilter, true);
    dlg.addCheck(QStringLiteral("atTurn"), QStringLiteral("Point at each direction change."), false);
    dlg.addField(QStringLiteral("degrees"), QStringLiteral("When change is more than degrees."),
                 QStringLiteral("20"));
    dlg.addCheck(QStringLiteral("atDistance"), QStringLiteral("Point at each distance."), false);
    dlg.addField(QStringLiteral("metres"), QStringLiteral("At each distance in meters."),
                 QStringLiteral("100"));
    auto* list = new QTreeWidget(&dlg);
    list->setObjectName(QStringLiteral("points"));
    list->setRootIsDecorated(false);
    list->setHeaderLabels({QStringLiteral("Latitude"), QStringLiteral("Longitude"), QStringLiteral("Time"),
                           QStringLiteral("Elevation"), QStringLiteral("Course"),
                           QStringLiteral("Row Count")});
    for (const auto& [column, width] : {std::pair{0, 100}, {1, 100}, {2, 180}, {3, 80}, {4, 80}, {5, 120}})
        list->setColumnWidth(column, width);

    // Builds the list; false when there is nothing to write.
    auto buildList = [&]() -> bool {
        if (dlg.text(QStringLiteral("log")).isEmpty() || noFileNamed(dlg, "log")) {
            prompt.message("Please select an NMEA log file.");
            return false;
        }
        list->clear();
        convert::NmeaPickOptions options{
            dlg.checked(QStringLiteral("atTurn")), number(dlg.text(QStringLiteral("degrees"))),
            dlg.checked(QStringLiteral("atDistance")), number(dlg.text(QStringLiteral("metres")))};
        const std::string log = dlg.path(QStringLiteral("log"));
        std::vector<convert::NmeaPoint> points;
        const convert::Report r = runConversion(&dlg, dlg.windowTitle(), [&](convert::Progress& p) {
            std::string refusal;
            varno::FileHandle f = varno::openTextForReading(log, &refusal);
            if (!f)
                return convert::Report::failed("Error: Unable to open the file.\n" +
                                               varno::nameWithRefusal(log, refusal));
            std::error_code ec;
            convert::LineInput in(f.get(), std::filesystem::file_size(log, ec));
            return convert::pickNmeaPoints(in, options, points, p);
        });
        if (!r.ok()) {
            tell(prompt, r);
            return false;
        }
        fillPointList(list, points);
        return true;
    };
    auto create = [&](bool route) {
        if (!buildList())
            return;
        const char* failed = route ? "Error: Unable to create the output GPX route file."
                                   : "Error: Unable to create the output GPX track file.";
        if (noFileNamed(dlg, "gpx")) {
            prompt.message(route ? "Please select an GPX output file."
                                 : "Please select an output GPX  track file.");
            return;
        }
        const std::vector<convert::NmeaPoint> points = pointsOfList(list);
        if (points.empty()) {
            prompt.message(convert::kPointListEmpty);
            return;
        }
        const std::string gpx = dlg.path(QStringLiteral("gpx"));
        if (!askOverwrite(prompt, gpx, kOverwriteGpx)) {
            prompt.message(failed);
            return;
        }
        convert::StringSink text;
        route ? convert::writeGpxRoute(points, text) : convert::writeGpxTrack(points, text);
        const varno::WriteOutcome written = varno::writeFileAtomically(gpx, text.text);
        if (!written) {
            prompt.message("Error: Unable to write to the file.\n" + gpx + ": " + written.message);
            prompt.message(failed);
            return;
        }
        prompt.message("The GPX output file has been created.");
    };
    dlg.addButton(QStringLiteral("createTrack"), QStringLiteral("Create GPX track."), [&] { create(false); });
    dlg.addButton(QStringLiteral("createRoute"), QStringLiteral("Create GPX route"), [&] { create(true); });
    dlg.addButton(QStringLiteral("copy"), QStringLiteral("Copy to paste buffer"), [&] {
        if (noFileNamed(dlg, "gpx")) {
            prompt.message("Please create or select a GPX file\nto copy to the Windows paste buffer.");
            return;
        }
        std::string text, message;
        if (!convert::readSource(dlg.path(QStringLiteral("gpx")), text, message)) {
            prompt.message("Error: Unable to open the file.\n" + dlg.path(QStringLiteral("gpx")));
            return;
        }
        QApplication::clipboard()->setText(qs(text));
        prompt.message("The gpx file has been copied to the Windows paste buffer.");
    });
    dlg.grid()->addWidget(list, dlg.nextRow(), 0, 1, 3);
    dlg.addClose(false);
    dlg.exec();
}

// Source, destination and Convert: the GPX text converters.
void gpxRouteDialog(CMainFrame& frame, const QString& title, bool routes)
{
    auto& session = frame.session();
    ConvertDialog dlg(title, session.dataRoot(), &frame);
    dlg.addFile(QStringLiteral("source"), QStringLiteral("Source file"), QStringLiteral("C:\\VARNO\\GPX\\"),
                kAllFiles, false);
    dlg.addFile(QStringLiteral("destination"), QStringLiteral("Destination file"),
                QStringLiteral("C:\\VARNO\\Routes\\gpx.csv"), kAllFiles, true);
    dlg.addCheck(QStringLiteral("append"), QStringLiteral("Append to existing file."), false);
    dlg.addButton(QStringLiteral("convert"), QStringLiteral("Convert"), [&] {
        const convert::FileJob job{dlg.path(QStringLiteral("source")),
                                   dlg.path(QStringLiteral("destination")),
                                   dlg.checked(QStringLiteral("append"))};
        tell(session.prompt(), runConversion(&dlg, title, [&](convert::Progress& p) {
                 return convert::gpxToRouteFile(job, routes, p);
             }));
    });
    dlg.addClose(true);
    dlg.exec();
}

void josmDialog(CMainFrame& frame)
{
    auto& session = frame.session();
    ConvertDialog dlg(QStringLiteral("Convert JOSM GPX to map project"), session.dataRoot(), &frame);
    dlg.addText(
        QStringLiteral("Converts a multi section GPX track file that was exported from JOSM in to multiple "
                       "files as a VARNO track project."));
    dlg.addFile(QStringLiteral("source"), QStringLiteral("JOSM GPX track source file."), QString(), kAllFiles,
                false);
    dlg.addFile(QStringLiteral("destination"), QStringLiteral("Destination map project track folder/name."),
                QString(), kAllFiles, true);
    dlg.addButton(QStringLiteral("convert"), QStringLiteral("Convert"), [&] {
        const std::string destination = dlg.path(QStringLiteral("destination"));
        if (!destination.empty() &&
            !askOverwrite(session.prompt(), convert::josmMapFile(destination),
                          "The file already exists.\n\nDo you want to overwrite it ?"))
            return;
        const std::string source = dlg.path(QStringLiteral("source"));
        tell(session.prompt(), runConversion(&dlg, dlg.windowTitle(), [&](convert::Progress& p) {
                 return convert::josmToProject(source, destination, p);
             }));
    });
    dlg.addClose(false);
    dlg.exec();
}

void newLinesDialog(CMainFrame& frame)
{
    auto& session = frame.session();
    ConvertDialog dlg(QStringLiteral("Add new line characters"), session.dataRoot(), &frame);
    dlg.addText(
        QStringLiteral("Adds a new line character pair after each </trkpt> <trk> </trk> </name> <trkseg> "
                       "</trkseg> />"));
    dlg.addFile(QStringLiteral("source"), QStringLiteral("Source file"), QString(), kAllFiles, false);
    dlg.addFile(QStringLiteral("destination"), QStringLiteral("Destination file"), QString(), kAllFiles,
                true);
    dlg.addText(
        QStringLiteral("Select a source and destinaton file and click the Convert button.  When you are "
                       "finished click the OK button to close the dialog."));
    dlg.addButton(QStringLiteral("convert"), QStringLiteral("Convert"), [&] {
        const convert::FileJob job{dlg.path(QStringLiteral("source")),
                                   dlg.path(QStringLiteral("destination")), false};
        if (!job.source.empty() && !job.destination.empty() && job.source != job.destination &&
            !askOverwrite(session.prompt(), job.destination,
                          "The destination file already exists.\n\nDo you want to overwrite it ?"))
            return;
        tell(session.prompt(), runConversion(&dlg, dlg.windowTitle(), [&](convert::Progress& p) {
                 return convert::addNewLinesFile(job, p);
             }));
    });
    dlg.addClose(false);
    dlg.exec();
}

void osmCamerasDialog(CMainFrame& frame)
{
    auto& session = frame.session();
    ConvertDialog dlg(QStringLiteral("OSM speed cameras"), session.dataRoot(), &frame);
    dlg.addText(QStringLiteral("Writes the speed cameras of an OpenStreetMap file to a camera file, with the "
                               "road and town of each from the map."));
    dlg.addFile(QStringLiteral("source"), QStringLiteral("Source OSM file"), QString(),
                "OSM files (*.osm)|*.osm;*.osm.bz2;*.osm.gz;*.osm.pbf|All files (*.*)|*.*||", false);
    dlg.addFile(QStringLiteral("destination"), QStringLiteral("Destination camera file"), QString(),
                kAllFiles, true);
    dlg.addButton(QStringLiteral("convert"), QStringLiteral("Convert"), [&] {
        const convert::FileJob job{dlg.path(QStringLiteral("source")),
                                   dlg.path(QStringLiteral("destination")), false};
        if (!job.source.empty() && !job.destination.empty() && job.source != job.destination &&
            !askOverwrite(session.prompt(), job.destination,
                          "The destination file already exists.\n\nDo you want to overwrite it ?"))
            return;
        tell(session.prompt(), runConversion(&dlg, dlg.windowTitle(), [&](convert::Progress& p) {
                 return convert::convertOsmCamerasFile(job, p);
             }));
    });
    dlg.addClose(false);
    dlg.exec();
}

void osmDialog(CMainFrame& frame, bool big)
{
    auto& session = frame.session();
    auto& prompt = session.prompt();
    ConvertDialog dlg(big ? QStringLiteral("Big OSM GPX extractor")
                          : QStringLiteral("Convert OSM to GPX track"),
                      session.dataRoot(), &frame);
    dlg.addText(
        big ? QStringLiteral("Converts an OSM source file to a GPX file suitable for use as a background map "
                             "in the track editor.")
            : QStringLiteral("Converts a OSM source file to a GPX file suitable for use as a background map "
                             "in the track editor."));
    dlg.addFile(QStringLiteral("source"), QStringLiteral("Source OSM file"), QString(),
                "OSM files (*.osm)|*.osm;*.osm.bz2;*.osm.gz;*.osm.pbf|All files (*.*)|*.*||", false);
    dlg.addFile(QStringLiteral("destination"), QStringLiteral("Destination GPX file"), QString(),
                "GPX files (*.gpx)|*.gpx|All files (*.*)|*.*||", true);
    if (big) {
        dlg.addField(QStringLiteral("top"), QStringLiteral("Latitude of top."), QString());
        dlg.addField(QStringLiteral("left"), QStringLiteral("Longitude of left."), QString());
        dlg.addField(QStringLiteral("bottom"), QStringLiteral("Latitude of bottom."), QString());
        dlg.addField(QStringLiteral("right"), QStringLiteral("Longitude of right."), QString());
        dlg.addButton(QStringLiteral("getBounds"), QStringLiteral("Get bounds"), [&] {
            if (dlg.text(QStringLiteral("source")).isEmpty()) {
                prompt.message("Please select an OSM source file.");
                return;
            }
            std::string error;
            const auto bounds = varno::osm::readBounds(dlg.path(QStringLiteral("source")), &error);
            if (!bounds) {
                prompt.message(!error.empty()
                                   ? error
                                   : "The source file does not contain\na '<bound box=' line\n in the "
                                     "first 100 rows.");
                return;
            }
            const std::pair<const char*, double> sides[] = {{"bottom", bounds->bottom},
                                                            {"left", bounds->left},
                                                            {"top", bounds->top},
                                                            {"right", bounds->right}};
            for (const auto& [name, value] : sides)
                dlg.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(qs(fmt::format("{}", value)));
        });
        dlg.addCheck(QStringLiteral("translate"), QStringLiteral("Translate unicode characters."), false);
        dlg.addCheck(QStringLiteral("poi"), QStringLiteral("Include POI"), false);
        dlg.addText(QStringLiteral("Exclude anything containing"));
        const std::vector<std::string> atOpen = convert::osmExclusionsAtOpen();
        for (const std::string_view e : convert::kOsmExclusions)
            dlg.addCheck(qs(e), qs(e), std::find(atOpen.begin(), atOpen.end(), e) != atOpen.end());
        auto setAll = [&dlg](const std::vector<std::string>& on) {
            for (const std::string_view e : convert::kOsmExclusions)
                dlg.check(qs(e))->setChecked(std::find(on.begin(), on.end(), e) != on.end());
        };
        dlg.addButton(QStringLiteral("default"), QStringLiteral("Default"),
                      [setAll] { setAll(convert::osmExclusionsDefault()); });
        dlg.addButton(QStringLiteral("all"), QStringLiteral("All"), [setAll] {
            setAll(std::vector<std::string>(convert::kOsmExclusions.begin(), convert::kOsmExclusions.end()));
        });
        dlg.addButton(QStringLiteral("none"), QStringLiteral("None"), [setAll] { setAll({}); });
        dlg.addText(
            QStringLiteral("For each OSM file that you want to convert select the source and destination "
                           "files, enter the coordinates of the area you require or click the Get bounds "
                           "button for the entire area, and then click the Convert button."));
        dlg.addText(
            QStringLiteral("Note that 1.Some OSM files do not contain bounds information. 2. Leave the area "
                           "coordinates empty for the entire area.  When you have finished converting files "
                           "click the OK button to close the dialog window."));
    } else {
        dlg.addText(
            QStringLiteral("For each OSM file that you want to convert select the source and destination "
                           "files and then click the Convert button.  When you have finished converting "
                           "files click the OK button to close the dialog window."));
    }
    dlg.addButton(QStringLiteral("convert"), QStringLiteral("Convert"), [&] {
        convert::OsmGpxOptions options;
        options.big = big;
        if (big) {
            auto side = [&](const char* name, double empty) {
                const QString t = dlg.text(QString::fromLatin1(name)).trimmed();
                return t.isEmpty() ? empty : number(t);
            };
            options.area = {side("top", 91), side("left", -181), side("bottom", -91), side("right", 181)};
            options.includePoi = dlg.checked(QStringLiteral("poi"));
            options.translateUnicode = dlg.checked(QStringLiteral("translate"));
            for (const std::string_view e : convert::kOsmExclusions)
                if (dlg.checked(qs(e)))
                    options.exclusions.emplace_back(e);
        }
        const convert::FileJob job{dlg.path(QStringLiteral("source")),
                                   dlg.path(QStringLiteral("destination")), false};
        if (!job.source.empty() && !askOverwrite(prompt, job.destination, kOverwriteGpx))
            return;
        tell(prompt, runConversion(&dlg, dlg.windowTitle(), [&](convert::Progress& p) {
                 return convert::convertOsmFile(job, options, p);
             }));
    });
    dlg.addClose(false);
    dlg.exec();
}

void srtmDialog(CMainFrame& frame)
{
    auto& session = frame.session();
    auto& prompt = session.prompt();
    ConvertDialog dlg(QStringLiteral("Converts a SRTM 3arc  Topology file to a GPX track file."),
                      session.dataRoot(), &frame);
    dlg.addText(
        QStringLiteral("This is my failed attempt to extract contour lines from SRTM files.  The results are "
                       "weird.  I've left it in as a sort of curio."));
    dlg.addText(
        QStringLiteral("Converts a SRTM *.hgt source file to a GPX file suitable for use as a background map "
                       "in the track editor."));
    dlg.addFile(QStringLiteral("source"), QStringLiteral("Source SRTM  *.hgt  file."), QString(),
                "SRTM files *.hgt|*.hgt|All files (*.*)|*.*||", false);
    dlg.addFile(QStringLiteral("destination"), QStringLiteral("Destination GPX file"), QString(),
                "GPX files *.gpx|*.gpx|All files (*.*)|*.*||", true);
    dlg.addField(QStringLiteral("erase"), QStringLiteral("Erase flat space height range."),
                 QStringLiteral("3"));
    dlg.addField(QStringLiteral("range"), QStringLiteral("Contour height range."), QStringLiteral("6"));
    dlg.addField(QStringLiteral("step"), QStringLiteral("Contour step."), QStringLiteral("20"));
    dlg.addCheck(QStringLiteral("isolines"),
                 QStringLiteral("Isolines instead: one line at each contour step, following the ground."),
                 false);
    dlg.addText(QStringLiteral(
        "For each SRTM file that you want to convert select the source and destination files "
        "and then click the Convert button.  When you have finished converting files click the "
        "OK button to close the dialog window."));
    dlg.addText(
        QStringLiteral("Erase flat space is the area within the contour that is removed (good for removing "
                       "the sea).  Contour height range defines the width of the contour.  Contour step is "
                       "the height between each contour e.g. 50 would give contours at 0, 50, 100,150 etc."));
    dlg.addButton(QStringLiteral("convert"), QStringLiteral("Convert"), [&] {
        if (dlg.text(QStringLiteral("source")).isEmpty()) {
            prompt.message("Please choose a source file.");
            return;
        }
        if (dlg.text(QStringLiteral("destination")).isEmpty()) {
            prompt.message("Please select an output GPX track file.");
            return;
        }
        const convert::FileJob job{dlg.path(QStringLiteral("source")),
                                   dlg.path(QStringLiteral("destination")), false};
        if (!askOverwrite(prompt, job.destination, kOverwriteGpx))
            return;
        varno::srtm::TracerOptions options;
        options.eraseRange = varno::leadingInt(dlg.text(QStringLiteral("erase")).toStdString());
        options.contourRange = varno::leadingInt(dlg.text(QStringLiteral("range")).toStdString());
        options.step = varno::leadingInt(dlg.text(QStringLiteral("step")).toStdString());
        const bool isolines = dlg.checked(QStringLiteral("isolines"));
        tell(prompt, runConversion(&dlg, dlg.windowTitle(), [&](convert::Progress& p) {
                 return convert::runBytesJob(job, [&](std::string_view bytes, convert::Sink& out) {
                     std::string message;
                     const auto tile = varno::srtm::parseHgt(bytes, job.source, message);
                     if (!tile)
                         return convert::Report::failed(message);
                     return isolines ? varno::srtm::isolines(*tile, out, options.step, p)
                                     : varno::srtm::traceContours(*tile, out, options, p);
                 });
             }));
    });
    dlg.addClose(true);
    dlg.exec();
}

void passedDialog(CMainFrame& frame)
{
    auto& session = frame.session();
    auto& prompt = session.prompt();
    ConvertDialog dlg(QStringLiteral("Passed Cameras"), session.dataRoot(), &frame);
    dlg.addFile(QStringLiteral("log"), QStringLiteral("Choose the log file that you would like to use."),
                QStringLiteral("C:\\VARNO\\Log\\test.txt"), kLogFilter, false);
    dlg.addField(QStringLiteral("nearest"), QStringLiteral("Nearest Distance in metres."), QString());
    dlg.addField(QStringLiteral("farthest"), QStringLiteral("Farthest Distance in metres."),
                 QStringLiteral("4000"));
    auto* list = new QTreeWidget(&dlg);
    list->setObjectName(QStringLiteral("passed"));
    list->setRootIsDecorated(false);
    list->setHeaderLabels({QStringLiteral("Distance"), QStringLiteral("CamType"), QStringLiteral("Line no."),
                           QStringLiteral("Speed")});
    for (const auto& [column, width] : {std::pair{0, 100}, {1, 150}, {2, 100}, {3, 100}})
        list->setColumnWidth(column, width);
    varno::cameras::PassedList passed;
    dlg.addButton(QStringLiteral("create"), QStringLiteral("Create list"), [&] {
        varno::cameras::PassedOptions options;
        options.nearestM = number(dlg.text(QStringLiteral("nearest")));
        options.farthestM = number(dlg.text(QStringLiteral("farthest")));
        options.speedUnits = session.speedUnits();
        if (options.farthestM < options.nearestM) {
            prompt.message(varno::cameras::kNearestAboveFarthest);
            return;
        }
        if (options.farthestM >= varno::cameras::kLargeFarthestM &&
            prompt.show(varno::cameras::kLargeFarthestQuestion, varno::PromptButtons::YesNo) !=
                varno::PromptAnswer::Yes)
            return;
        list->clear();
        passed = {};
        if (dlg.text(QStringLiteral("log")).isEmpty()) {
            prompt.message("Error: Please choose a log file to process.");
            return;
        }
        std::optional<std::string> cameraPath = session.settings().read(varno::settings::keys::CameraFile);
        if (cameraPath)
            cameraPath = varno::mapDataPath(*cameraPath, session.dataRoot());
        const std::string log = dlg.path(QStringLiteral("log"));
        const convert::Report r = runConversion(&dlg, dlg.windowTitle(), [&](convert::Progress& p) {
            std::string message;
            const std::optional<varno::cameras::CameraFile> cameras =
                varno::cameras::passedCameraFile(cameraPath, message);
            if (!cameras)
                return convert::Report::failed(message);
            std::string refusal;
            varno::FileHandle f = varno::openTextForReading(log, &refusal);
            if (!f)
                return convert::Report::failed("Error: Unable to open the file.\n" +
                                               varno::nameWithRefusal(log, refusal));
            std::error_code ec;
            convert::LineInput in(f.get(), std::filesystem::file_size(log, ec));
            return varno::cameras::passedCameras(in, *cameras, options, passed, p);
        });
        if (!r.ok()) {
            tell(prompt, r);
            return;
        }
        for (const auto& row : passed.rows())
            list->addTopLevelItem(new QTreeWidgetItem({qs(row[0]), qs(row[1]), qs(row[2]), qs(row[3])}));
        prompt.message("Finished");
    });
    dlg.addButton(QStringLiteral("copy"), QStringLiteral("Copy to paste buffer"), [&] {
        if (list->topLevelItemCount() < 2) {
            prompt.message("The list is empty, can't paste.");
            return;
        }
        const bool distances =
            prompt.show("Include distances ?", varno::PromptButtons::YesNo) == varno::PromptAnswer::Yes;
        QApplication::clipboard()->setText(qs(passed.clipboardText(distances)));
        prompt.message("The list has been copied to the Windows paste buffer.");
    });
    dlg.grid()->addWidget(list, dlg.nextRow(), 0, 1, 3);
    dlg.addClose(false);
    dlg.exec();
}

} // namespace

void registerConvertCommands(CMainFrame& frame)
{
    frame.on({CommandId::ConvertPocketGpsCsv}, [&frame] {
        cameraDialog(frame, QStringLiteral("Convert Pocket GPS CSV"),
                     QStringLiteral("C:\\VARNO\\Speed_Cam_Uk.csv"), convert::CameraList::PocketGps);
    });
    frame.on({CommandId::ConvertGarminCsv}, [&frame] {
        cameraDialog(frame, QStringLiteral("Convert from a csv file"),
                     QStringLiteral("C:\\VARNO\\pocketgps_uk_sc.csv"), convert::CameraList::Garmin);
    });
    frame.on({CommandId::ConvertPocketGpsFiles}, [&frame] { pocketGpsFilesDialog(frame); });
    frame.on({CommandId::ConvertNmeaToGpx}, [&frame] { nmeaDialog(frame); });
    frame.on({CommandId::ConvertGpxTrack}, [&frame] {
        gpxRouteDialog(frame, QStringLiteral("Convert GPX track file to this programs route format"), false);
    });
    frame.on({CommandId::ConvertGpxRoute}, [&frame] {
        gpxRouteDialog(frame, QStringLiteral("Convert GPX Route to Route CSV file"), true);
    });
    frame.on({CommandId::ConvertJosmGpx}, [&frame] { josmDialog(frame); });
    frame.on({CommandId::ConvertOsmToGpx}, [&frame] { osmDialog(frame, false); });
    frame.on({CommandId::ConvertBigOsmToGpx}, [&frame] { osmDialog(frame, true); });
    frame.on({CommandId::ConvertOsmCameras}, [&frame] { osmCamerasDialog(frame); });
    frame.on({CommandId::ConvertAddNewLines}, [&frame] { newLinesDialog(frame); });
    frame.on({CommandId::ConvertSrtmToGpx}, [&frame] { srtmDialog(frame); });
    frame.on({CommandId::PassedCameraList}, [&frame] { passedDialog(frame); });
}
