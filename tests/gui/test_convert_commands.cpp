// Every Convert dialog and the Passed Cameras dialog driven as a user would: fields filled,
// buttons pressed, one conversion each, and a cancelled one that leaves nothing behind.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

#include "core/base/ScratchFiles.h"
#include "gui/convert/ConvertDialog.h"
#include "gui/convert/ConvertRunner.h"
#include "GuiFixture.h"

using namespace guitest;
using varno::session::CommandId;
using varno::test::readBytes;
using varno::test::writeBytes;

namespace {

// Runs the command; act works on its dialog once it is open and must close it.
void withDialog(CMainFrame& f, CommandId id, const std::function<void(ConvertDialog&)>& act)
{
    bool acted = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<ConvertDialog*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        acted = true;
        act(*dlg);
        if (dlg->isVisible())
            dlg->accept();
    });
    f.runCommand(id);
    QVERIFY(acted);
}

void set(ConvertDialog& d, const char* name, const QString& text)
{
    d.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(text);
}

void click(ConvertDialog& d, const char* name)
{
    d.findChild<QPushButton*>(QString::fromLatin1(name))->click();
}

const std::string corpus = VARNO_TEST_DATA_DIR "/../../../shared/corpus";

} // namespace

class TestConvertCommands : public QObject {
    Q_OBJECT

private slots:
    // The camera lists: OK converts and closes; the defaults map into the data folder;
    // Cancel during the work leaves the old destination.
    void cameraListsConvertAndCancel()
    {
        Rig rig;
        CMainFrame& f = rig.frame();
        const std::string root = rig.dir.path().toStdString();
        writeBytes(root + "/Speed_Cam_Uk.csv", "-1,51,GATSO@30,x\n");
        withDialog(f, CommandId::ConvertPocketGpsCsv, [](ConvertDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Convert Pocket GPS CSV"));
            QCOMPARE(d.text(QStringLiteral("destination")), QStringLiteral("C:\\VARNO\\VARNOCamera.txt"));
            d.accept();
        });
        QCOMPARE(readBytes(root + "/VARNOCamera.txt"), std::string("51,-1,GATSO@30,x,,GATSO@30,Yes,30\r\n"));
        QCOMPARE(rig.prompt.texts().back(), std::string("1 lines processed.\n\nConversion complete."));

        std::string big = "header\n";
        for (int i = 0; i < 20000; ++i)
            big += "-1,51,GATSO@30,x\n";
        writeBytes(root + "/pocketgps_uk_sc.csv", big);
        conversionProgressShown = [](QWidget* w) {
            for (auto* b : w->findChildren<QPushButton*>())
                b->click();
        };
        withDialog(f, CommandId::ConvertGarminCsv, [](ConvertDialog& d) {
            d.check(QStringLiteral("append"))->setChecked(true);
            d.accept();
        });
        conversionProgressShown = nullptr;
        QCOMPARE(rig.prompt.texts().back(), std::string("Conversion cancelled."));
        QCOMPARE(readBytes(root + "/VARNOCamera.txt"), std::string("51,-1,GATSO@30,x,,GATSO@30,Yes,30\r\n"));

        withDialog(f, CommandId::ConvertPocketGpsFiles, [&](ConvertDialog& d) {
            click(d, "convert");
            QCOMPARE(rig.prompt.texts().back(),
                     std::string("Nothing to convert\nPlease select a source file(s)\nand try again."));
            d.findChild<QListWidget*>(QStringLiteral("sources"))
                ->addItem(QStringLiteral("C:\\VARNO\\Speed_Cam_Uk.csv"));
            writeBytes(root + "/Speed_Cam_Uk.csv", "hdr\n-1,51,pGATSO 2 way@40,x\n");
            d.check(QStringLiteral("shortNames"))->setChecked(true);
            click(d, "convert");
        });
        QCOMPARE(readBytes(root + "/VARNOCamera.txt"), std::string("51,-1,GATSO@40,x,,GATSO@40,Yes,40\r\n"));
    }

    // NMEA log: the point list, the track written, the file on the clipboard; then the route.
    void nmeaLogToGpxWithItsPointList()
    {
        Rig rig;
        CMainFrame& f = rig.frame();
        const QString log =
            QString::fromStdString(std::string(VARNO_TEST_DATA_DIR) + "/drives/approach.nmea");
        const QString gpx = rig.dir.path() + "/out.gpx";
        withDialog(f, CommandId::ConvertNmeaToGpx, [&](ConvertDialog& d) {
            // The fields start as folders: no log is named yet.
            click(d, "createTrack");
            QCOMPARE(rig.prompt.texts().back(), std::string("Please select an NMEA log file."));
            set(d, "log", log);
            set(d, "gpx", gpx);
            d.check(QStringLiteral("atDistance"))->setChecked(true);
            set(d, "metres", QStringLiteral("50"));
            click(d, "createTrack");
            auto* list = d.findChild<QTreeWidget*>(QStringLiteral("points"));
            QVERIFY(list->topLevelItemCount() > 5);
            QCOMPARE(list->topLevelItem(0)->text(5), QStringLiteral("1"));
            QCOMPARE(rig.prompt.texts().back(), std::string("The GPX output file has been created."));
            click(d, "copy");
            QVERIFY(QApplication::clipboard()->text().startsWith(
                QStringLiteral("<?xml version=\"1.0\"?>\r\n<gpx")));
            rig.prompt.script({varno::PromptAnswer::No});
            click(d, "createRoute");
            QCOMPARE(rig.prompt.texts().back(),
                     std::string("Error: Unable to create the output GPX route file."));
        });
        QVERIFY(readBytes(gpx.toStdString()).find("<name>ACTIVE LOG</name>\r\n") != std::string::npos);
    }

    // The GPX text converters, one conversion each.
    void gpxTextConverters()
    {
        Rig rig;
        CMainFrame& f = rig.frame();
        const std::string root = rig.dir.path().toStdString();
        const QString oneLine =
            QString::fromStdString(std::string(VARNO_TEST_DATA_DIR) + "/convert/oneline.gpx");
        std::filesystem::create_directories(root + "/Routes");
        withDialog(f, CommandId::ConvertGpxTrack, [&](ConvertDialog& d) {
            set(d, "source", oneLine);
            click(d, "convert");
        });
        QCOMPARE(readBytes(root + "/Routes/gpx.csv"),
                 std::string("-0.25,51.5,P001,Trk001\r\n-0.3,51.6,P002,Trk002\r\n"));
        withDialog(f, CommandId::ConvertGpxRoute, [&](ConvertDialog& d) {
            set(d, "source", oneLine);
            d.check(QStringLiteral("append"))->setChecked(true);
            click(d, "convert");
        });
        QVERIFY(readBytes(root + "/Routes/gpx.csv").ends_with("Trk002\r\n-1,51,A & B,\r\n"));
        withDialog(f, CommandId::ConvertJosmGpx, [&](ConvertDialog& d) {
            set(d, "source", oneLine);
            set(d, "destination", QStringLiteral("C:\\VARNO\\proj.txt"));
            click(d, "convert");
        });
        QVERIFY(readBytes(root + "/proj-Track000001.txt").starts_with("$GPGGA,000001.000,5130.0000,N,"));
        withDialog(f, CommandId::ConvertAddNewLines, [&](ConvertDialog& d) {
            set(d, "source", oneLine);
            set(d, "destination", QString::fromStdString(root + "/lines.gpx"));
            click(d, "convert");
        });
        QCOMPARE(rig.prompt.texts().back(), std::string("Finished writing to output file."));
        QVERIFY(readBytes(root + "/lines.gpx").find("<trk>\r\n<name>One line</name>\r\n") != std::string::npos);
    }

    // OSM, the area extractor with Get bounds and its boxes, and SRTM isolines.
    void osmAndSrtm()
    {
        Rig rig;
        CMainFrame& f = rig.frame();
        const std::string root = rig.dir.path().toStdString();
        const QString osm = QString::fromStdString(std::string(VARNO_TEST_DATA_DIR) + "/convert/small.osm");
        withDialog(f, CommandId::ConvertOsmToGpx, [&](ConvertDialog& d) {
            set(d, "source", osm);
            set(d, "destination", QString::fromStdString(root + "/osm.gpx"));
            click(d, "convert");
        });
        QVERIFY(readBytes(root + "/osm.gpx").find("<name>GPX:11:waterway-river:</name>") !=
                std::string::npos);
        withDialog(f, CommandId::ConvertBigOsmToGpx, [&](ConvertDialog& d) {
            QVERIFY(d.checked(QStringLiteral("bollard")) && !d.checked(QStringLiteral("waterway")) &&
                    !d.checked(QStringLiteral("type-sos")));
            click(d, "default");
            QVERIFY(d.checked(QStringLiteral("type-sos")));
            click(d, "all");
            QVERIFY(d.checked(QStringLiteral("waterway")));
            set(d, "source", osm);
            click(d, "getBounds");
            QCOMPARE(d.text(QStringLiteral("top")), QStringLiteral("51.5"));
            QCOMPARE(d.text(QStringLiteral("left")), QStringLiteral("-1.5"));
            set(d, "destination", QString::fromStdString(root + "/big.gpx"));
            d.check(QStringLiteral("poi"))->setChecked(true);
            click(d, "convert");
        });
        const std::string big = readBytes(root + "/big.gpx");
        QVERIFY(big.find("waterway") == std::string::npos);
        QVERIFY(big.find("<name>Node:-4:amenity-pub:") != std::string::npos);

        withDialog(f, CommandId::ConvertSrtmToGpx, [&](ConvertDialog& d) {
            QCOMPARE(d.text(QStringLiteral("step")), QStringLiteral("20"));
            set(d, "source", QString::fromStdString(corpus + "/hgt/gpxeditor/S44E170.hgt"));
            set(d, "destination", QString::fromStdString(root + "/contours.gpx"));
            set(d, "step", QStringLiteral("500"));
            d.check(QStringLiteral("isolines"))->setChecked(true);
            click(d, "convert");
        });
        QVERIFY(readBytes(root + "/contours.gpx").find("<name>Contour 500 m</name>") != std::string::npos);
    }

    // Passed Cameras: the list from the camera file of the settings, and the copy.
    void passedCamerasListAndCopy()
    {
        Rig rig;
        CMainFrame& f = rig.frame();
        const std::string root = rig.dir.path().toStdString();
        std::filesystem::copy_file(std::string(VARNO_TEST_DATA_DIR) + "/cameras/approach.txt",
                                   root + "/VARNOCamera.txt");
        withDialog(f, CommandId::PassedCameraList, [&](ConvertDialog& d) {
            QCOMPARE(d.text(QStringLiteral("farthest")), QStringLiteral("4000"));
            click(d, "copy");
            QCOMPARE(rig.prompt.texts().back(), std::string("The list is empty, can't paste."));
            set(d, "log", QString::fromStdString(std::string(VARNO_TEST_DATA_DIR) + "/drives/approach.nmea"));
            click(d, "create");
            auto* list = d.findChild<QTreeWidget*>(QStringLiteral("passed"));
            QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("List contains 1 items"));
            QCOMPARE(list->topLevelItem(1)->text(2), QStringLiteral("1"));
            rig.prompt.script({varno::PromptAnswer::No});
            click(d, "copy");
            QCOMPARE(QApplication::clipboard()->text(),
                     QStringLiteral(":") + list->topLevelItem(1)->text(1) + QStringLiteral("\r\n"));
        });
    }
};

QTEST_MAIN(TestConvertCommands)
#include "test_convert_commands.moc"
