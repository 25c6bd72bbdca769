// The receiver in the status bar: the port opened on a worker while the window stays live, the state in
// words as sentences come, a failed open with its reason, and a replay's progress with Pause.
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>

#include "core/base/ScratchFiles.h"
#include "CSio.h"
#include "gui/gps/ReceiverStatus.h"
#include "gui/gps/ReplayController.h"
#include "gui/support/UiBridgeQt.h"
#include "GuiFixture.h"

using namespace varno;
using namespace varno::session;
using namespace std::chrono_literals;

namespace {

// The sentence with its checksum.
std::string nmea(const std::string& body)
{
    unsigned sum = 0;
    for (char c : body.substr(1))
        sum ^= static_cast<unsigned char>(c);
    return body + QString::asprintf("*%02X", sum).toStdString();
}

std::string gga(int quality, int satellites)
{
    return nmea(QString::asprintf("$GPGGA,081500.00,5121.6000,N,00122.8000,W,%d,%02d,0.9,95.0,M,47.0,M,,",
                                  quality, satellites)
                    .toStdString());
}

QString paneText(CMainFrame& f)
{
    return f.findChild<QLabel*>(QStringLiteral("gpsPane"))->text();
}

// The big words over the view in its last repaint, "" when none.
QString noticeText(CMainFrame& f)
{
    for (const varno::views::TextItem* t : f.view()->lastScene().all<varno::views::TextItem>())
        if (t->centred)
            return QString::fromStdString(t->text);
    return {};
}

} // namespace

class TestReceiverStatus : public QObject {
    Q_OBJECT

private slots:
    // Start on a pseudo-terminal: the open's waits run on a worker while the window goes on handling
    // events and says "Opening …"; then it waits for data and shows fix or no fix. A device that is not
    // there: the message gets the system's reason on its second line.
    void openOnAWorkerThenTheStateInWords()
    {
        test::Pty pty;
        platform::CSio port;
        guitest::Rig rig(true, &port);
        rig.sleep = [](std::chrono::milliseconds ms) { std::this_thread::sleep_for(ms / 10); };
        rig.postToUi = postTo(qApp);
        rig.settings.write(settings::keys::ReceiverNotice, true);
        rig.newSession(rig.prompt);
        rig.settings.write(settings::keys::Port, pty.path);
        guitest::placeCameras(rig, {}); // a camera file (without one a fix stops the GPS)
        CMainFrame& f = rig.shownFrame();
        rig.onOpening = [&f](bool busy, const std::string& name) {
            f.showOpening(busy, QString::fromStdString(name));
        };
        QCOMPARE(paneText(f), QStringLiteral("GPS off"));

        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(20);
        f.runCommand(CommandId::KeyStartS);
        QVERIFY(rig.session->gps().opening());
        QCOMPARE(paneText(f), QStringLiteral("Opening %1\u2026").arg(QString::fromStdString(pty.path)));
        QVERIFY(!f.action(CommandId::RunStart)->isEnabled() && !f.action(CommandId::ToolStart)->isEnabled());
        QTRY_VERIFY(!rig.session->gps().opening());
        // Open, Start stays greyed: Stop comes first.
        QVERIFY(!f.action(CommandId::RunStart)->isEnabled() && !f.action(CommandId::ToolStart)->isEnabled());
        QVERIFY(f.action(CommandId::RunStop)->isEnabled());
        QVERIFY2(ticks >= 5, "the window handled its timer while the port opened");
        QVERIFY(rig.session->gps().portOpen() && rig.session->gps().reader().running());
        QCOMPARE(paneText(f), QStringLiteral("Waiting for data on %1").arg(QString::fromStdString(pty.path)));
        // With ReceiverNotice on, the view says so in big words.
        QTRY_COMPARE(noticeText(f),
                     QStringLiteral("Waiting for GPS on %1").arg(QString::fromStdString(pty.path)));

        QVERIFY(pty.send(gga(0, 3) + "\r\n"));
        QTRY_COMPARE(paneText(f), QStringLiteral("No fix (3 satellites)"));
        QTRY_COMPARE(noticeText(f), QStringLiteral("NO FIX \u2014 3 satellites"));
        QVERIFY(pty.send(gga(1, 9) + "\r\n"));
        QTRY_COMPARE(paneText(f), QStringLiteral("Fix, 9 satellites"));
        QTRY_COMPARE(noticeText(f), QString());
        f.runCommand(CommandId::KeyStopE);
        QCOMPARE(paneText(f), QStringLiteral("GPS off"));
        QVERIFY(f.action(CommandId::RunStart)->isEnabled() && f.action(CommandId::ToolStart)->isEnabled());
        QVERIFY(rig.prompt.shown.empty());

        rig.settings.write(settings::keys::Port, "/dev/no-such-gps");
        f.runCommand(CommandId::RunStart);
        QTRY_COMPARE(rig.prompt.texts(),
                     (std::vector<std::string>{
                         "Can't open com port /dev/no-such-gps\nNo such file or directory \u2014 the device "
                         "is not plugged in",
                         "Comms port is not open"}));
        QCOMPARE(paneText(f), QStringLiteral("GPS off"));
    }

    // A replay shows its line and the file's lines; Pause holds it and says Resume; the end box keeps its
    // text; the progress goes when the replay ends.
    void replayProgressAndPause()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.shownFrame();
        auto* replay = f.findChild<ReplayController*>();
        auto* status = f.receiverStatus();
        const QString file = rig.dir.path() + "/drive.txt";
        test::writeBytes(file.toStdString(),
                         gga(1, 8) + "\r\n\r\n" + gga(1, 8) + "\r\n" + gga(0, 2) + "\r\n");
        int lines = 0;
        replay->afterCameraLogic = [&] {
            if (++lines == 1)
                replay->setPaused(true);
        };
        QSignalSpy done(replay, &ReplayController::finished);
        rig.prompt.script({PromptAnswer::Ok});
        QVERIFY(replay->start(file, 1, {.showNotice = false, .reportEnd = true}));
        QTRY_VERIFY(replay->paused() && lines == 1);
        QTest::qWait(100); // held
        QCOMPARE(lines, 1);
        status->refresh();
        QCOMPARE(status->replayLabel()->text(), QStringLiteral("Replay 1 / 4 lines"));
        QVERIFY(status->replayLabel()->isVisible());
        QCOMPARE(status->pauseButton()->text(), QStringLiteral("Resume"));
        QCOMPARE(paneText(f), QStringLiteral("Fix, 8 satellites"));

        QTest::mouseClick(status->pauseButton(), Qt::LeftButton);
        QVERIFY(done.wait(10000));
        QCOMPARE(lines, 3);
        QCOMPARE(rig.prompt.texts(),
                 std::vector<std::string>{"Replay complete.\n\nExit on zero length string\nLines sent 3"});
        QVERIFY(!status->replayLabel()->isVisible() && !status->pauseButton()->isVisible());
        QCOMPARE(paneText(f), QStringLiteral("GPS off"));
    }
};

QTEST_MAIN(TestReceiverStatus)
#include "test_receiver_status.moc"
