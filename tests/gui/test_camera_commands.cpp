// The camera commands in the window: sentences and voice, Mute, zoom, Mark Location, the space key and the
// dialogs.
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "GuiFixture.h"
#include "MapScaleDialog.h"
#include "NearCameraListDialog.h"
#include "SpecsOptionsDialog.h"
#include "views/CameraViewScene.h"
#include "TrackLoggingDialog.h"
#include "session/CommandTable.h"

using namespace guitest;
using varno::session::CommandId;

namespace {

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
    const auto* label =
        f.view()->lastScene().textAt(varno::views::kRadiusLabelX, varno::views::kRadiusLabelY);
    return label ? QString::fromStdString(label->text) : QString();
}

} // namespace

class TestCameraCommands : public QObject {
    Q_OBJECT
private slots:
    // The reader's message runs as a queued call: it decodes, warns, speaks and repaints.
    void queuedSentenceRunsTheWarningsOnTheFixAndSpeaks()
    {
        Rig rig;
        CMainFrame& f = rig.shownFrame();
        f.runCommand(CommandId::Scr800x700);
        placeCameras(rig, {{0.0, 50.0, "GATSO"}});
        rig.session->mailbox().offer(rmc(30.0));
        QMetaObject::invokeMethod(f.view(), "onNewSentence", Qt::QueuedConnection);
        QVERIFY(rig.voice.played.empty());
        QTRY_COMPARE(playedNames(rig), QStringList{"0.wav"});
        QCOMPARE(f.view()->lastStripText(), QString::fromStdString(rmc(30.0)));
        // The panel was filled from the fix, and the same call repainted it.
        QCOMPARE(varno::views::boxTexts(f.view()->lastScene(), varno::views::BoxId::CameraLine),
                 std::vector<std::string>{"50m GATSO"});
    }

    void muteChecksTheMenuAndConfirmsBothWays()
    {
        Rig rig;
        CMainFrame& f = rig.shownFrame();
        QTest::keyClick(f.view(), Qt::Key_Q);
        QVERIFY(rig.session->muted());
        QVERIFY(f.action(CommandId::Mute)->isChecked());
        f.runCommand(CommandId::ToolMute);
        QVERIFY(!rig.session->muted());
        QVERIFY(!f.action(CommandId::Mute)->isChecked());
        QCOMPARE(playedNames(rig), (QStringList{"Mute.wav", "Unmute.wav"}));
    }

    void zoomKeysWalkTheLadder()
    {
        Rig rig;
        CMainFrame& f = rig.shownFrame();
        rig.session->mailbox().offer(rmc(0.0, true));
        QCOMPARE(radiusLabel(f), QStringLiteral("Map radius 4km"));
        const struct {
            Qt::Key key;
            Qt::KeyboardModifier modifier;
            const char* label;
        } steps[] = {{Qt::Key_Plus, Qt::NoModifier, "2km"},       {Qt::Key_F4, Qt::NoModifier, "1km"},
                     {Qt::Key_Plus, Qt::KeypadModifier, "0.5km"}, {Qt::Key_Minus, Qt::NoModifier, "1km"},
                     {Qt::Key_F3, Qt::NoModifier, "2km"},         {Qt::Key_Minus, Qt::KeypadModifier, "4km"}};
        for (const auto& step : steps) {
            QTest::keyClick(f.view(), step.key, step.modifier);
            QCOMPARE(radiusLabel(f), QStringLiteral("Map radius ") + step.label);
        }
    }

    void zoomReloadsTheCamerasForTheNewRadius()
    {
        Rig rig;
        CMainFrame& f = rig.frame();
        // 20 km out: beyond the 4 km load radius, inside a 32 km one.
        placeCameras(rig, {{20000.0, 0.0, "GATSO"}});
        QVERIFY(rig.session->cameraWarner().store.cameras()->empty());
        rig.settings.write(varno::settings::keys::MapScale, 16000);
        f.runCommand(CommandId::ToolZoomOut);
        QCOMPARE(rig.session->cameraWarner().store.cameras()->size(), std::size_t(1));
    }

    // Mark Location and the space key act on the current fix.
    void markLocationAndSpaceKeyUseTheFix()
    {
        Rig rig;
        CMainFrame& f = rig.shownFrame();
        QTest::keyClick(f.view(), Qt::Key_Space);
        QCOMPARE(rig.session->cameraWarner().specs.line, std::string("No position, can't set Specs start."));
        rig.session->decoder().Latitude = kFixLat;
        rig.session->decoder().Longitude = kFixLon;
        QTest::keyClick(f.view(), Qt::Key_M);
        QVERIFY(readWholeFile((rig.dir.path() + "/MarkedSpots.txt").toStdString())
                    .starts_with("51.500000,0.500000,"));
        QTest::keyClick(f.view(), Qt::Key_Space);
        QCOMPARE(rig.session->cameraWarner().specs.line, std::string("Specs camera, calcs speed cam to cam"));
        QTest::keyClick(f.view(), Qt::Key_Space);
        QCOMPARE(rig.session->cameraWarner().specs.line, std::string());
    }

    void nearCameraListRows()
    {
        Rig rig;
        placeCameras(rig, {{0.0, 1000.0, "GATSO"}});
        NearCameraListDialog dlg(rig.session->cameraWarner().store.cameras(), kFixLat, kFixLon);
        QCOMPARE(dlg.list()->topLevelItemCount(), 1);
        const QTreeWidgetItem* row = dlg.list()->topLevelItem(0);
        // The dialog's own metres per degree of latitude: 1000 m by the map's is 0.997 km here.
        QCOMPARE(row->text(0), QStringLiteral("0.997 km"));
        QCOMPARE(dlg.list()->columnWidth(0), 95);
        QCOMPARE(dlg.list()->columnWidth(3), 100);
        dlg.show();
        dlg.resize(700, 300);
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTRY_COMPARE(dlg.size(), QSize(700, 300));
        QCOMPARE(dlg.list()->geometry(), QRect(10, 50, 680, 240));
        QCOMPARE(dlg.okButton()->x(), 590);
    }

    // Each dialog writes its choice; the session takes it up only once the dialog has closed.
    void optionDialogsApplyAfterClosing()
    {
        Rig rig; // 4 km, specs off, logging and display on
        MapScaleDialog scaleDlg(rig.session->cameraWarner().scale);
        QVERIFY(scaleDlg.choice(3)->isChecked()); // "4 km"
        scaleDlg.choice(5)->setChecked(true);     // "16 km"
        scaleDlg.accept();
        QCOMPARE(guitest::dwordOf(rig, varno::settings::keys::MapScale), std::optional<uint32_t>(16000));
        QCOMPARE(rig.session->mapRadius(), 4000.0);
        rig.session->afterMapScaleDialog();
        QCOMPARE(rig.session->mapRadius(), 16000.0);

        auto& specs = rig.session->cameraWarner().specs;
        specs.line = "T 60, D 1609, Av 60 mph";
        SpecsOptionsDialog specsDlg(specs, rig.prompt);
        QVERIFY(!specsDlg.enable()->isChecked());
        specsDlg.enable()->setChecked(true);
        specsDlg.accept();
        QCOMPARE(guitest::dwordOf(rig, varno::settings::keys::AverageSpeed), std::optional<uint32_t>(1));
        rig.session->afterSpecsDialog();
        QVERIFY(specs.enabled);
        QVERIFY(specs.line.empty());

        auto& track = rig.session->trackLogging();
        TrackLoggingDialog trackDlg(track);
        trackDlg.logTrack()->setChecked(false);
        trackDlg.accept();
        QCOMPARE(guitest::dwordOf(rig, varno::settings::keys::LogTrack), std::optional<uint32_t>(0));
        QCOMPARE(guitest::dwordOf(rig, varno::settings::keys::DisplayTrack), std::optional<uint32_t>(1));
        rig.session->afterTrackDialog();
        QVERIFY(!track.ring().allocated());
    }
};

QTEST_MAIN(TestCameraCommands)
#include "test_camera_commands.moc"
