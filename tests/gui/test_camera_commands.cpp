// The camera commands in the window (sentences and voice, Mute, zoom, Mark Location, the space key) and
// the Start Time Options, Driver aids and Com Settings source choices.
#include <QCheckBox>

#include "gui/cameras/DriverAidsDialog.h"
#include "gui/gps/ComSettingsDialog.h"
#include "gui/options/StartTimeDialog.h"
#include "GuiFixture.h"
#include "session/CommandTable.h"
#include "views/CameraViewScene.h"

using namespace guitest;
using varno::session::CommandId;
namespace keys = varno::settings::keys;

class TestCameraCommands : public QObject {
    Q_OBJECT
    using Names = std::vector<std::string>;

private slots:
    // The reader's message runs as a queued call: it decodes, warns, speaks and repaints.
    void queuedSentenceRunsTheWarningsOnTheFixAndSpeaks()
    {
        Rig rig;
        CMainFrame& f = rig.shownFrame();
        f.runCommand(CommandId::Scr800x700);
        placeCameras(rig, {{0.0, 50.0, "GATSO"}});
        rig.session->road().mailbox().offer(rmc(30.0));
        QMetaObject::invokeMethod(f.view(), "onNewSentence", Qt::QueuedConnection);
        QVERIFY(rig.voice.played.empty());
        QTRY_COMPARE(rig.voice.played, Names{"0.wav"});
        QCOMPARE(f.view()->lastStripText(), QString::fromStdString(rmc(30.0)));
        // The panel was filled from the fix, and the same call repainted it.
        QCOMPARE(varno::views::boxTexts(f.view()->lastScene(), varno::views::BoxId::CameraLine),
                 std::vector<std::string>{"50m GATSO"});
    }

    // The dialog stores the aids and the warner follows at once: heading north at 30 knots towards a
    // 30 limit camera 50 m ahead, its band is announced, the chime sounds and the speed box turns red.
    void driverAidsDialogSwitchesTheAidsAndTheSpeedBoxTurnsRed()
    {
        Rig rig;
        CMainFrame& f = rig.shownFrame();
        f.runCommand(CommandId::Scr800x700);
        placeCameras(rig, {{0.0, 50.0, "GATSO"}});
        DriverAidsDialog dlg(rig.settings, rig.session->cameraWarner().aids);
        QVERIFY(!dlg.direction()->isChecked() && !dlg.chime()->isChecked() && !dlg.coach()->isChecked());
        dlg.direction()->setChecked(true);
        dlg.chime()->setChecked(true);
        dlg.accept();
        QVERIFY(rig.settings.read(keys::AidDirection) == 1 && rig.settings.read(keys::AidChime) == 1 &&
                rig.settings.read(keys::AidCoach) != 1);
        // The warnings run on the fix as it stands before the sentence: moving already.
        rig.session->decoder().SpeedKnots = 30.0;
        rig.session->decoder().Course = 0.0;
        rig.session->road().mailbox().offer(rmc(30.0));
        QMetaObject::invokeMethod(f.view(), "onNewSentence", Qt::QueuedConnection);
        QTRY_COMPARE(rig.voice.played, (Names{"0.wav", "Chime.wav"}));
        auto speedBackground = [&f] {
            for (const auto& item : f.view()->lastScene().items)
                if (const auto* t = std::get_if<varno::views::TextItem>(&item); t && t->text == "35 mph")
                    return t->background;
            return varno::views::kNoColour;
        };
        QCOMPARE(speedBackground(), varno::views::kOverLimitRed);
        // Switched off again: the box is as before on the next paint.
        DriverAidsDialog off(rig.settings, rig.session->cameraWarner().aids);
        QVERIFY(off.chime()->isChecked());
        off.chime()->setChecked(false);
        off.accept();
        f.view()->repaint();
        QVERIFY(speedBackground() != varno::views::kOverLimitRed);
    }

    // The source choice is stored as the value GpsControl reads, not as the text shown; host and port lose
    // their blanks; the serial rows stay as they were.
    void comSettingsStoreTheSourceHostPortAndReconnect()
    {
        Rig rig;
        FixedPorts ports;
        ComSettingsDialog dlg(rig.settings, ports);
        QCOMPARE(dlg.source()->currentText(), QStringLiteral("Serial port"));
        QVERIFY(!dlg.host()->isEnabled());
        dlg.source()->setCurrentIndex(2);
        QVERIFY(dlg.host()->isEnabled());
        dlg.host()->setText(QStringLiteral(" phone.lan "));
        dlg.netPort()->setText(QStringLiteral("10110"));
        dlg.reconnect()->setChecked(true);
        dlg.accept();
        QCOMPARE(rig.settings.peek(keys::Source), std::optional<std::string>("TCP"));
        QCOMPARE(rig.settings.peek(keys::SourceHost), std::optional<std::string>("phone.lan"));
        QCOMPARE(rig.settings.peek(keys::SourcePort), std::optional<std::string>("10110"));
        QVERIFY(rig.settings.read(keys::Reconnect) == 1);
        QCOMPARE(rig.settings.peek(keys::Speed), std::optional<std::string>("4800"));
    }

    // Mute checks its menu item both ways; M marks the fix; the space key starts a measurement.
    void muteMarkAndSpaceKeys()
    {
        Rig rig;
        CMainFrame& f = rig.shownFrame();
        QTest::keyClick(f.view(), Qt::Key_Q);
        QVERIFY(rig.session->muted() && f.action(CommandId::Mute)->isChecked());
        QVERIFY(f.action(CommandId::ToolMute)->isChecked()); // the toolbar button shows it
        f.runCommand(CommandId::ToolMute);
        QVERIFY(!rig.session->muted() && !f.action(CommandId::Mute)->isChecked());
        QVERIFY(!f.action(CommandId::ToolMute)->isChecked());
        QCOMPARE(rig.voice.played, (Names{"Mute.wav", "Unmute.wav"}));

        atTheFix(rig);
        QTest::keyClick(f.view(), Qt::Key_M);
        QVERIFY(varno::test::readBytes((rig.dir.path() + "/MarkedSpots.txt").toStdString())
                    .starts_with("51.500000,0.500000,"));
        QTest::keyClick(f.view(), Qt::Key_Space);
        QCOMPARE(rig.session->cameraWarner().specs.line, std::string("Specs camera, calcs speed cam to cam"));
    }

    // The zoom keys, keypad ones too, walk the ladder and reload the cameras for the new radius.
    void zoomKeysWalkTheLadderAndReloadTheCameras()
    {
        Rig rig;
        CMainFrame& f = rig.shownFrame();
        // 20 km out: beyond the 4 km load radius, inside a 32 km one.
        placeCameras(rig, {{20000.0, 0.0, "GATSO"}});
        QVERIFY(rig.session->cameraWarner().store.cameras()->empty());
        rig.session->road().mailbox().offer(rmc(0.0, true));
        const struct {
            Qt::Key key;
            Qt::KeyboardModifier modifier;
            const char* label;
        } steps[] = {{Qt::Key_Plus, Qt::NoModifier, "2km"},       {Qt::Key_F4, Qt::NoModifier, "1km"},
                     {Qt::Key_Plus, Qt::KeypadModifier, "0.5km"}, {Qt::Key_Minus, Qt::NoModifier, "1km"},
                     {Qt::Key_F3, Qt::NoModifier, "2km"},         {Qt::Key_Minus, Qt::KeypadModifier, "4km"},
                     {Qt::Key_F3, Qt::NoModifier, "8km"},         {Qt::Key_F3, Qt::NoModifier, "16km"},
                     {Qt::Key_F3, Qt::NoModifier, "32km"}};
        for (const auto& step : steps) {
            QTest::keyClick(f.view(), step.key, step.modifier);
            f.view()->repaint();
            const auto* label =
                f.view()->lastScene().textAt(varno::views::kRadiusLabelX, varno::views::kRadiusLabelY);
            QVERIFY(label);
            QCOMPARE(QString::fromStdString(label->text), QStringLiteral("Map radius ") + step.label);
        }
        QCOMPARE(rig.session->cameraWarner().store.cameras()->size(), std::size_t(1));
    }

    // Start Time Options shows and writes every field as typed.
    void startTimeOptionsWriteEveryFieldUnchanged()
    {
        Rig rig;
        rig.settings.write(keys::StartTimerStartTime[1], "7.30");
        StartTimeDialog dlg(rig.settings, rig.dir.path());
        QCOMPARE(dlg.route(1).start->text(), QStringLiteral("7.30"));
        dlg.route(0).file->setText("C:\\VARNO\\Route\\night.csv");
        dlg.route(0).end->setText(" 2-30 ");
        dlg.route(0).enable->setChecked(true);
        dlg.night().start->setText("21:00");
        dlg.night().enable->setChecked(true);
        dlg.accept();
        using Text = std::optional<std::string>;
        QCOMPARE(rig.settings.peek(keys::StartTimerFilename[0]), Text("C:\\VARNO\\Route\\night.csv"));
        QCOMPARE(rig.settings.peek(keys::StartTimerEndTime[0]), Text(" 2-30 "));
        QCOMPARE(rig.settings.peek(keys::StartTimerStartTime[1]), Text("7.30"));
        QCOMPARE(rig.settings.peek(keys::NightTimerStartTime), Text("21:00"));
        QVERIFY(rig.settings.read(keys::StartTimerEnable[0]) == 1 &&
                rig.settings.read(keys::NightTimerEnable) == 1);
        QVERIFY(rig.prompt.shown.empty());
    }
};

QTEST_MAIN(TestCameraCommands)
#include "test_camera_commands.moc"
