// The Convert menu: the dialogs that are rows of the form table, and those with lists of their own
// (several Pocket GPS files, the NMEA point list, the passed cameras).
#include "gui/convert/ConvertCommands.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
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
#include "convert/NmeaToGpx.h"
#include "gui/convert/ConvertDialog.h"
#include "gui/convert/ConvertForm.h"
#include "gui/convert/ConvertRunner.h"
#include "gui/frame/CMainFrame.h"
#include "gui/paint/ColourConvert.h"
#include "settings/Settings.h"

using varno::session::CommandId;
namespace convert = varno::convert;

namespace {

constexpr char kLogFilter[] = "VARNO log file (*.txt)| *.txt|All files (*.*)|*.*||";
constexpr char kGpxFilter[] = "GPX track or route file (*.gpx)| *.gpx|All files (*.*)|*.*||";

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
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
        tellReport(session.prompt(), runConversion(&dlg, dlg.windowTitle(), [&](varno::Progress& p) {
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
    // The list could not be read from the log (not a missing name, not a Cancel).
    bool listFailed = false;
    auto buildList = [&]() -> bool {
        listFailed = false;
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
        const varno::Report r = runConversion(&dlg, dlg.windowTitle(), [&](varno::Progress& p) {
            std::string refusal;
            varno::FileHandle f = varno::openTextForReading(log, &refusal);
            if (!f)
                return varno::Report::failed("Error: Unable to open the file.\n" +
                                             varno::nameWithRefusal(log, refusal));
            std::error_code ec;
            varno::LineInput in(f.get(), std::filesystem::file_size(log, ec));
            return convert::pickNmeaPoints(in, options, points, p);
        });
        if (!r.ok()) {
            tellReport(prompt, r);
            listFailed = r.status != varno::Report::Status::Cancelled;
            return false;
        }
        fillPointList(list, points);
        return true;
    };
    auto create = [&](bool route) {
        if (!buildList()) {
            if (listFailed)
                prompt.message("Error: Unable to create list of points.");
            return;
        }
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
        // Written with CR LF line ends, as every converter writes its files.
        convert::StringSink text;
        convert::CrLfSink lines(text);
        route ? convert::writeGpxRoute(points, lines) : convert::writeGpxTrack(points, lines);
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
        const varno::Report r = runConversion(&dlg, dlg.windowTitle(), [&](varno::Progress& p) {
            std::string message;
            const std::optional<varno::cameras::CameraFile> cameras =
                varno::cameras::passedCameraFile(cameraPath, message);
            if (!cameras)
                return varno::Report::failed(message);
            std::string refusal;
            varno::FileHandle f = varno::openTextForReading(log, &refusal);
            if (!f)
                return varno::Report::failed("Error: Unable to open the file.\n" +
                                             varno::nameWithRefusal(log, refusal));
            std::error_code ec;
            varno::LineInput in(f.get(), std::filesystem::file_size(log, ec));
            return varno::cameras::passedCameras(in, *cameras, options, passed, p);
        });
        if (!r.ok()) {
            tellReport(prompt, r);
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
    for (const ConvertForm& form : convertForms())
        frame.on({form.id}, [&frame, &form] {
            showConvertForm(form, frame.session().prompt(), frame.session().dataRoot(), &frame,
                            [&frame, &form](const std::string& destination) {
                                // The welcome page shows the camera file a conversion made.
                                if (form.writesCameraFile)
                                    emit frame.cameraFileWritten(textFromBytes(destination));
                            });
        });
    frame.on({CommandId::ConvertPocketGpsFiles}, [&frame] { pocketGpsFilesDialog(frame); });
    frame.on({CommandId::ConvertNmeaToGpx}, [&frame] { nmeaDialog(frame); });
    frame.on({CommandId::PassedCameraList}, [&frame] { passedDialog(frame); });
}
