// The camera commands in the window: sentences and voice, Mute, zoom, Mark Location, the space key and the
// dialogs.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "CMainFrame.h"
#include "CVARNOView.h"
#include "CameraScene.h"
#include "MapScaleDialog.h"
#include "NearCameraListDialog.h"
#include "SpecsOptionsDialog.h"
#include "TrackLoggingDialog.h"
#include "session/CommandTable.h"

using namespace guitest;

namespace {

void showActive(CMainFrame& f)
{
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
}

// The sound files asked for, as names without their folder.
QStringList playedNames(const Rig& rig)
{
    QStringList names;
    for (const std::string& p : rig.voice.played)
        names << QString::fromStdString(p).section('/', -1);
    return names;
}

QString radiusLabel(CMainFrame& f)
{
    f.view()->repaint();
    const auto& label = f.view()->lastScene().radiusLabel;
    return label ? QString::fromStdString(label->text) : QString();
}

} // namespace

class TestCameraCommands : public QObject {
    Q_OBJECT
private slots:
    void everyCameraCommandIsEnabled()
    {
        Rig rig;
        CMainFrame& f = rig.frame();
        for (int id : {32788, 32790, 32798, 32796, 32800, 32817, 32808, 32826, 32824, 32848,
                       32806, 32807, 32822, 32821, 32815, 32816, 32834, 32835, 32787, 32820})
            QVERIFY2(f.action(id)->isEnabled(), qPrintable(QString::number(id)));
    }

    void queuedSentenceRunsTheWarningsOnTheFixAndSpeaks()
    {
        Rig rig;
        CMainFrame& f = rig.frame();
        showActive(f);
        f.runCommand(varno::session::cmd::Scr800x700);
        placeCameras(rig, {{0.0, 50.0, "GATSO"}});
        rig.session->mailbox().offer(rmc(30.0));
        QMetaObject::invokeMethod(f.view(), "onNewSentence", Qt::QueuedConnection);
        QVERIFY(rig.voice.played.empty());
        QTRY_COMPARE(playedNames(rig), QStringList{"0.wav"});
        QVERIFY(rig.voice.played[0].find("/Voice/") != std::string::npos);
        // The panel was filled from the fix, and the same call repainted it.
        QCOMPARE(rig.session->cameraWarner().panel.camera, std::string("50m GATSO"));
        const auto* line = f.view()->lastScene().box(varno::views::BoxId::CameraLine);
        QVERIFY(line);
        QCOMPARE(line->texts.at(0).text, std::string("50m GATSO"));
        QVERIFY(!rig.session->mailbox().snapshot().pending);
    }

    void muteChecksTheMenuAndConfirmsBothWays()
    {
        Rig rig;
        CMainFrame& f = rig.frame();
        showActive(f);
        QTest::keyClick(f.view(), Qt::Key_Q);
        QVERIFY(rig.session->muted());
        QVERIFY(f.action(32826)->isChecked());
        f.runCommand(32824); // the toolbar button
        QVERIFY(!rig.session->muted());
        QVERIFY(!f.action(32826)->isChecked());
        QCOMPARE(playedNames(rig), (QStringList{"Mute.wav", "Unmute.wav"}));

        // While muted the warnings are silent.
        f.runCommand(32826);
        placeCameras(rig, {{0.0, 50.0, "GATSO"}});
        rig.session->onSentence();
        QCOMPARE(playedNames(rig).size(), 3);
    }

    void zoomKeysWalkTheLadderAndStopAtItsEnds()
    {
        Rig rig;
        CMainFrame& f = rig.frame();
        showActive(f);
        rig.session->mailbox().offer(rmc(0.0, true));
        QCOMPARE(radiusLabel(f), QStringLiteral("Map radius 4km"));
        QTest::keyClick(f.view(), Qt::Key_Plus);
        QCOMPARE(radiusLabel(f), QStringLiteral("Map radius 2km"));
        QTest::keyClick(f.view(), Qt::Key_F4);
        QCOMPARE(radiusLabel(f), QStringLiteral("Map radius 1km"));
        QTest::keyClick(f.view(), Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(radiusLabel(f), QStringLiteral("Map radius 0.5km"));
        QCOMPARE(rig.settings.readDword("MapScale"), std::optional<uint32_t>(500));
        QTest::keyClick(f.view(), Qt::Key_Minus);
        QTest::keyClick(f.view(), Qt::Key_F3);
        QTest::keyClick(f.view(), Qt::Key_Minus, Qt::KeypadModifier);
        QCOMPARE(radiusLabel(f), QStringLiteral("Map radius 4km"));

        // The ends of the ladder change nothing.
        rig.settings.writeDword("MapScale", 125);
        f.runCommand(32806);
        QCOMPARE(rig.settings.readDword("MapScale"), std::optional<uint32_t>(125));
        QCOMPARE(radiusLabel(f), QStringLiteral("Map radius 4km"));
        rig.settings.writeDword("MapScale", 256000);
        f.runCommand(32807);
        QCOMPARE(rig.settings.readDword("MapScale"), std::optional<uint32_t>(256000));
    }

    void zoomReloadsTheCamerasForTheNewRadius()
    {
        Rig rig;
        CMainFrame& f = rig.frame();
        // 20 km out: beyond the 4 km load radius, inside a 32 km one.
        placeCameras(rig, {{20000.0, 0.0, "GATSO"}});
        QVERIFY(rig.session->cameraWarner().store.cameras()->empty());
        rig.settings.writeDword("MapScale", 16000);
        f.runCommand(32807);
        QCOMPARE(rig.session->cameraWarner().store.cameras()->size(), std::size_t(1));
    }

    void markLocationWritesOnlyWithAPosition()
    {
        Rig rig;
        CMainFrame& f = rig.frame();
        showActive(f);
        const QString mark = rig.dir.path() + "/MarkedSpots.txt";
        QTest::keyClick(f.view(), Qt::Key_M);
        QVERIFY(!QFile::exists(mark));
        QVERIFY(rig.prompt.shown.empty());

        rig.session->decoder().Latitude = kFixLat;
        rig.session->decoder().Longitude = kFixLon;
        QTest::keyClick(f.view(), Qt::Key_M);
        f.runCommand(32808);
        QFile file(mark);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 3); // two marks and the end
        QVERIFY(lines[0].startsWith("51.500000,0.500000,"));
    }

    void spaceKeyStartsAndClearsTheSpecsLine()
    {
        Rig rig;
        CMainFrame& f = rig.frame();
        showActive(f);
        QTest::keyClick(f.view(), Qt::Key_Space);
        QCOMPARE(rig.session->cameraWarner().specs.line, std::string("No position, can't set Specs start."));
        rig.session->decoder().Latitude = kFixLat;
        rig.session->decoder().Longitude = kFixLon;
        QTest::keyClick(f.view(), Qt::Key_Space);
        QCOMPARE(rig.session->cameraWarner().specs.line, std::string("Specs camera, calcs speed cam to cam"));
        QTest::keyClick(f.view(), Qt::Key_Space);
        QCOMPARE(rig.session->cameraWarner().specs.line, std::string());
    }

    void nearCameraListRows()
    {
        Rig rig;
        {
            NearCameraListDialog dlg(rig.session->cameraWarner().store.cameras(), 0.0, 0.0);
            QCOMPARE(dlg.windowTitle(), QStringLiteral("Camera List"));
            QCOMPARE(dlg.list()->topLevelItemCount(), 1);
            QCOMPARE(dlg.list()->topLevelItem(0)->text(0), QStringLiteral("Camera list is empty"));
            QCOMPARE(dlg.list()->headerItem()->text(8), QStringLiteral("SpeedLimit"));
            QCOMPARE(dlg.list()->columnWidth(0), 95);
            QCOMPARE(dlg.list()->columnWidth(3), 100);
        }
        placeCameras(rig, {{30000.0, 0.0, "GATSO"}});
        {
            NearCameraListDialog dlg(rig.session->cameraWarner().store.cameras(), kFixLat, kFixLon);
            QCOMPARE(dlg.list()->topLevelItemCount(), 0); // a list, with nobody in it
        }
        placeCameras(rig, {{0.0, 1000.0, "GATSO"}});
        NearCameraListDialog dlg(rig.session->cameraWarner().store.cameras(), kFixLat, kFixLon);
        QCOMPARE(dlg.list()->topLevelItemCount(), 1);
        const QTreeWidgetItem* row = dlg.list()->topLevelItem(0);
        // The dialog's own metres per degree of latitude: 1000 m by the map's is 0.997 km here.
        QCOMPARE(row->text(0), QStringLiteral("0.997 km"));
        QCOMPARE(row->text(3), QStringLiteral("GATSO"));
        QCOMPARE(row->text(4), QStringLiteral("A34"));
        QCOMPARE(row->text(8), QStringLiteral("30"));
        dlg.show();
        dlg.resize(700, 300);
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTRY_COMPARE(dlg.size(), QSize(700, 300));
        QCOMPARE(dlg.list()->geometry(), QRect(10, 50, 680, 240));
        QCOMPARE(dlg.okButton()->x(), 590);
    }

    void mapScaleDialogStoresTheChoiceOrFiveThousand()
    {
        Rig rig;
        auto& scale = rig.session->cameraWarner().scale;
        {
            MapScaleDialog dlg(scale);
            QVERIFY(dlg.choice(3)->isChecked()); // "4 km"
            dlg.choice(5)->setChecked(true);     // "16 km"
            dlg.accept();
        }
        QCOMPARE(rig.settings.readDword("MapScale"), std::optional<uint32_t>(16000));
        QCOMPARE(rig.session->mapRadius(), 4000.0); // until the dialog has closed
        rig.session->afterMapScaleDialog();
        QCOMPARE(rig.session->mapRadius(), 16000.0);

        rig.settings.writeDword("MapScale", 3000);
        MapScaleDialog dlg(scale);
        for (std::size_t i = 0; i < varno::geo::kMapScaleChoices.size(); ++i)
            QVERIFY(!dlg.choice(i)->isChecked());
        dlg.accept();
        QCOMPARE(rig.settings.readDword("MapScale"), std::optional<uint32_t>(5000));
    }

    void specsDialogStoresTheChoiceAndTheLineStartsOver()
    {
        Rig rig;
        rig.settings.writeDword("AverageSpeed", 0);
        auto& specs = rig.session->cameraWarner().specs;
        specs.line = "T 60, D 1609, Av 60 mph";
        SpecsOptionsDialog dlg(specs, rig.prompt);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Specs options"));
        QVERIFY(!dlg.enable()->isChecked());
        dlg.enable()->setChecked(true);
        dlg.accept();
        QCOMPARE(rig.settings.readDword("AverageSpeed"), std::optional<uint32_t>(1));
        rig.session->afterSpecsDialog();
        QVERIFY(specs.enabled);
        QVERIFY(specs.line.empty());
    }

    void trackDialogStoresClampedLengthsAndTheRingFollows()
    {
        Rig rig; // logging on, display on, 5000 points by default
        auto& track = rig.session->trackLogging();
        QVERIFY(track.ring().allocated());
        {
            TrackLoggingDialog dlg(track);
            QVERIFY(dlg.logTrack()->isChecked());
            QVERIFY(dlg.displayTrack()->isChecked());
            dlg.recordLength()->setText("-5");
            dlg.accept();
            QCOMPARE(rig.settings.readDword("TrackLength"), std::optional<uint32_t>(5000));
        }
        {
            TrackLoggingDialog dlg(track);
            dlg.logTrack()->setChecked(false);
            dlg.recordLength()->setText("120");
            dlg.accept();
        }
        QCOMPARE(rig.settings.readDword("TrackLength"), std::optional<uint32_t>(500));
        QCOMPARE(rig.settings.readDword("LogTrack"), std::optional<uint32_t>(0));
        rig.session->afterTrackDialog();
        QVERIFY(!track.ring().allocated());
        QVERIFY(!rig.session->logTrack());
        QCOMPARE(rig.session->trackLength(), 500);
    }

    void checkRegistryRestoresTheCameraSettings()
    {
        Rig rig;
        rig.settings.writeDword("MapScale", 16000);
        rig.settings.writeDword("LogTrack", 0);
        rig.settings.writeSpeedUnits(2);
        rig.session->trackLogging().afterDialog();
        rig.session->reloadUnits();
        QCOMPARE(rig.session->cameraWarner().speedUnits, 2);
        QVERIFY(!rig.session->trackLogging().ring().allocated());

        rig.session->checkRegistry();
        QCOMPARE(rig.session->mapRadius(), 4000.0);
        QCOMPARE(rig.session->cameraWarner().speedUnits, 0);
        QVERIFY(rig.session->trackLogging().ring().allocated());
    }
};

QTEST_MAIN(TestCameraCommands)
#include "test_camera_commands.moc"
