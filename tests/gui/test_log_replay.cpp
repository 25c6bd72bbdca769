// The file commands of the window: NMEA logging, log replay and the command-line replay, record files,
// and the "Send log" dialog over a pseudo-terminal.
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>

#include "CSio.h"
#include "core/base/ScratchFiles.h"
#include "gui/gps/LogCommands.h"
#include "gui/gps/RecordCommands.h"
#include "gui/gps/ReplayController.h"
#include "gui/gps/ReplayDialog.h"
#include "gui/gps/ReplayStart.h"
#include "gui/gps/SendLogDialog.h"
#include "GuiFixture.h"
#include "session/CommandTable.h"

using namespace varno;
using namespace varno::session;

namespace {

constexpr CommandId kLogNmeaData = CommandId::LogNmeaData, kReplay = CommandId::ReplayLog;

const std::string kNotice = "The replay may be stopped at any time by\npressing the Esc key.";

void writeFile(const QString& path, const std::string& bytes)
{
    test::writeBytes(path.toStdString(), bytes);
}

// Presses Esc, which asks "Stop replay ?", while the start notice is up.
struct EscOnNoticePrompt final : Prompt {
    test::RecordingPrompt& inner;
    std::function<void()> onNotice;
    explicit EscOnNoticePrompt(test::RecordingPrompt& r) : inner(r) {}
    PromptAnswer show(const std::string& text, PromptButtons b, PromptIcon i, const std::string& t) override
    {
        if (text == kNotice && onNotice)
            onNotice();
        return inner.show(text, b, i, t);
    }
};

} // namespace

class TestLogReplay : public QObject {
    Q_OBJECT

private slots:
    // Log NMEA Data asks for a file in the log folder; with a log open it asks before closing; a file that
    // cannot be created is reported.
    void logNmeaDataOpensAsksAndCloses()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.frame();
        auto* log = f.findChild<LogCommands*>();
        FileRequest asked;
        const QString chosen = rig.dir.path() + "/drive.txt";
        log->dialogs.save = [&](QWidget*, const FileRequest& r) {
            asked = r;
            return chosen;
        };
        f.runCommand(kLogNmeaData);
        QCOMPARE(asked.folder, rig.dir.path() + "/Log");
        QVERIFY(f.action(kLogNmeaData)->isChecked());

        // Open: the question; Cancel keeps the log, OK closes it.
        rig.prompt.script({PromptAnswer::Cancel, PromptAnswer::Ok});
        f.runCommand(kLogNmeaData);
        QVERIFY(rig.session->nmeaLog().isOpen());
        f.runCommand(kLogNmeaData);
        QVERIFY(!rig.session->nmeaLog().isOpen() && !f.action(kLogNmeaData)->isChecked());
        QCOMPARE(rig.prompt.texts(), (std::vector<std::string>(2, "Close current NMEA log file ?")));
        QCOMPARE(rig.prompt.shown[0].buttons, PromptButtons::OkCancel);

        rig.prompt.shown.clear();
        const QString bad = rig.dir.path() + "/no/such/folder/x.txt";
        log->dialogs.save = [&](QWidget*, const FileRequest&) { return bad; };
        f.runCommand(kLogNmeaData);
        QCOMPARE(rig.prompt.texts(),
                 std::vector<std::string>{"Error can't open the NMEA data file\n" + bad.toStdString()});
    }

    // The dialog opens with its own texts; a delay of 0 runs at 1 ms; lines of two characters or less are
    // neither handed over nor counted; Esc while the notice is up asks, and No goes on to the end.
    void replayFromTheDialogAndEscAnsweredNo()
    {
        guitest::Rig rig;
        EscOnNoticePrompt prompt(rig.prompt);
        rig.newSession(prompt);
        CMainFrame& f = rig.shownFrame();
        auto* replay = f.findChild<ReplayController*>();
        const QString file = rig.dir.path() + "/short.txt";
        writeFile(file, "$GPGGA,081500.00,5121.6000,N,00122.8000,W,1,08,0.9,95.0,M,47.0,M,,*44\r\n\r\nAB\r\n"
                        "$GPRMC,081502.00,A,5121.6018,N,00122.7973,W,5.8,43.1,120524,,,A*7A\r\n");
        replay->dialogHook = [&](ReplayDialog& dlg) {
            if (dlg.nameEdit()->text() != QStringLiteral("C:\\VARNO\\Log\\") ||
                dlg.delayEdit()->text() != "100")
                return false;
            dlg.nameEdit()->setText(file);
            dlg.delayEdit()->setText(QStringLiteral("0"));
            return true;
        };
        prompt.onNotice = [&] { QTest::keyClick(f.view(), Qt::Key_Escape); };
        rig.prompt.script({PromptAnswer::Ok, PromptAnswer::No});
        QSignalSpy done(replay, &ReplayController::finished);
        f.runCommand(kReplay);
        QCOMPARE(replay->timer().intervalMs(), 1);
        QVERIFY(done.wait(10000));
        QCOMPARE(rig.prompt.texts(),
                 (std::vector<std::string>{kNotice, "Stop replay ?",
                                           "Replay complete.\n\nExit on zero length string\nLines sent 2"}));
        QCOMPARE(rig.prompt.shown[0].title, std::string("Replay log"));
        QCOMPARE(rig.prompt.shown[1].buttons, PromptButtons::YesNo);
        QCOMPARE(rig.session->decoder().SpeedKnots, 5.8);
    }

    // One source at a time: a replay asks before it stops a running receiver
    // (No leaves both as they were), Start is refused while the replay runs,
    // and the command line stops the receiver without asking.
    void aReplayAndTheReceiverNeverFeedTheViewTogether()
    {
        varno::test::Pty pty;
        varno::platform::CSio port;
        guitest::Rig rig(true, &port);
        rig.settings.write(varno::settings::keys::Port, pty.path);
        CMainFrame& f = rig.shownFrame();
        auto* replay = f.findChild<ReplayController*>();
        const QString file = rig.dir.path() + "/short.txt";
        writeFile(file, "$GPGGA,081500.00,5121.6000,N,00122.8000,W,1,08,0.9,95.0,M,47.0,M,,*44\r\n");
        replay->dialogHook = [&](ReplayDialog& dlg) {
            dlg.nameEdit()->setText(file);
            dlg.delayEdit()->setText(QStringLiteral("0"));
            return true;
        };
        f.runCommand(CommandId::KeyStartS);
        QVERIFY(rig.session->gpsRunning());

        rig.prompt.script({PromptAnswer::No});
        f.runCommand(kReplay);
        QVERIFY(!replay->running());
        QVERIFY(rig.session->gpsRunning());
        QCOMPARE(rig.prompt.texts(), std::vector<std::string>{std::string(kStopGpsForReplay)});
        QCOMPARE(rig.prompt.shown[0].buttons, PromptButtons::YesNo);

        rig.prompt.shown.clear();
        rig.prompt.script({PromptAnswer::Yes, PromptAnswer::Ok});
        // The worker waits for the start notice, which shows once the event loop runs.
        f.runCommand(kReplay);
        QVERIFY(replay->running());
        QVERIFY(!rig.session->gpsRunning());
        f.runCommand(CommandId::KeyStartS);
        QVERIFY(!rig.session->gpsRunning());
        QCOMPARE(rig.prompt.texts().back(), std::string(kStopReplayFirst));
        replay->stop();

        f.runCommand(CommandId::KeyStartS);
        QVERIFY(rig.session->gpsRunning());
        int exitCode = -1;
        QVERIFY(startCommandLineReplay(f, {file, 1, {}, true}, [&](int code) { exitCode = code; }));
        QVERIFY(!rig.session->gpsRunning());
        QTRY_COMPARE(exitCode, 0);
    }

    // A folder is not a log: reported, and the run ends with an error code.
    void commandLineReplayOfAFolderFails()
    {
        guitest::Rig rig;
        int exitCode = -1;
        QVERIFY(!startCommandLineReplay(rig.frame(), {rig.dir.path(), 1, {}, true},
                                        [&](int code) { exitCode = code; }));
        QCOMPARE(exitCode, 2);
        QCOMPARE(rig.prompt.texts(), std::vector<std::string>{"Error can't open the log file\n" +
                                                              rig.dir.path().toStdString() + ": a folder"});
    }

    // The program itself replays a drive offscreen, saves the picture and quits.
    void theProgramReplaysOffscreenAndSavesThePicture()
    {
        QTemporaryDir dir;
        const QString png = dir.path() + "/snap.png";
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("VARNO_SETTINGS", dir.path() + "/settings.reg");
        env.insert("VARNO_HOME", dir.path());
        p.setProcessEnvironment(env);
        p.start(VARNO_GUI_EXE, {"--replay", VARNO_TEST_DATA_DIR "/drives/specs.nmea", "--delay", "1",
                                "--snapshot", png, "--quit-at-end"});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(QImage(png).width() >= 771);
    }

    // Save asks for a name once; Open restores the fix and at once loads the cameras around it, which with
    // no camera file here is the one message shown. The file format itself is the record tests' business.
    void recordRoundTripThroughTheFileCommands()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.frame();
        auto* record = f.findChild<RecordCommands*>();
        const QString path = rig.dir.path() + "/drive-record.txt";
        int asked = 0;
        record->dialogs.save = [&](QWidget*, const FileRequest& r) {
            ++asked;
            return r.filter.contains("*.txt") ? path : QString();
        };
        record->dialogs.open = [&](QWidget*, const FileRequest&) { return path; };
        auto& fix = rig.session->decoder();
        fix.GgaHour = 23;
        guitest::atTheFix(rig);
        f.runCommand(CommandId::FileSave);
        f.runCommand(CommandId::FileSave);
        QCOMPARE(asked, 1);

        fix.GgaHour = 1;
        fix.Latitude = 0.0;
        rig.prompt.shown.clear();
        f.runCommand(CommandId::FileOpen);
        QCOMPARE(fix.GgaHour, 23);
        QCOMPARE(fix.Latitude, guitest::kFixLat);
        QCOMPARE(rig.prompt.texts().size(), size_t(1));
        QVERIFY(rig.prompt.texts()[0].starts_with("Error can't open the camera location file"));
    }

    // A save whose flush to disk fails leaves the previous record and no temporary file, with one message.
    void aFailedSaveKeepsThePreviousRecord()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.frame();
        test::FailingSync failing;
        RecordCommands record(*rig.session, f.view(), &f, &failing);
        const QString path = rig.dir.path() + "/keep.txt";
        writeFile(path, "previous record");
        record.dialogs.save = [&](QWidget*, const FileRequest&) { return path; };
        record.saveAs();
        QCOMPARE(test::readBytes(path.toStdString()), std::string("previous record"));
        QCOMPARE(rig.prompt.texts().size(), size_t(1));
        // Nothing but the record itself is left in the folder.
        QCOMPARE(QDir(rig.dir.path()).entryList({"keep.txt*"}, QDir::Files).size(), 1);
    }

    // The dialog sends each line with CR LF out of its own port, as many times as asked.
    void sendLogDialogSendsTheFileTwiceWithCrLf()
    {
        test::Pty pty;
        guitest::Rig rig;
        rig.settings.write(varno::settings::keys::Port, pty.path);
        const QString file = rig.dir.path() + "/send.txt";
        // LF and CR LF ends and an empty line, which is counted but not sent.
        writeFile(file, "$GPGGA,1,2,3\r\n\r\n$GPRMC,4,5,6\n$GPGSV,7");
        SendLogDialog dlg(rig.settings, rig.prompt, nullptr, nullptr, [](std::chrono::milliseconds) {});
        dlg.fileNameEdit()->setText(file);
        dlg.loopCountEdit()->setText("2");
        dlg.show();
        QTest::mouseClick(dlg.button("Start"), Qt::LeftButton);

        const std::string once = "$GPGGA,1,2,3\r\n$GPRMC,4,5,6\r\n$GPGSV,7\r\n";
        QCOMPARE(pty.receive(2 * once.size()), once + once);
        // The count goes down to 0 and then shows 1; every line was counted.
        QTRY_VERIFY(!dlg.sending());
        QTRY_COMPARE(dlg.loopCountEdit()->text(), QStringLiteral("1"));
        QTRY_COMPARE(dlg.linesSentEdit()->text(), QStringLiteral("8"));
        QVERIFY(rig.prompt.texts().empty());
    }
};

QTEST_MAIN(TestLogReplay)
#include "test_log_replay.moc"
