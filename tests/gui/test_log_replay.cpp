// NMEA logging, log replay and the command-line replay, through the window's commands.
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <sstream>

#include "GuiFixture.h"
#include "LogCommands.h"
#include "ReplayController.h"
#include "ReplayDialog.h"
#include "ReplayStart.h"
#include "gps/Presentation.h"
#include "session/CommandTable.h"

using namespace varno;
using namespace varno::session;

namespace {

constexpr CommandId kLogNmeaData = CommandId::LogNmeaData, kReplay = CommandId::ReplayLog;

const std::string kNotice = "The replay may be stopped at any time by\npressing the Esc key.";

std::string completeText(int n)
{
    return "Replay complete.\n\nExit on zero length string\nLines sent " + std::to_string(n);
}

void writeFile(const QString& path, const std::string& bytes)
{
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

// Asks "Stop replay ?" by pressing Esc while the start notice is up.
class EscOnNoticePrompt final : public Prompt {
public:
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
    void logNmeaDataOpensAsksAndCloses()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.frame();
        auto* log = f.findChild<LogCommands*>();
        QVERIFY(log);
        rig.clock = FixedClock{LocalTime{2006, 6, 5, 1, 14, 23, 0}};
        FileRequest asked;
        const QString chosen = rig.dir.path() + "/drive.txt";
        log->dialogs.save = [&](QWidget*, const FileRequest& r) {
            asked = r;
            return chosen;
        };
        f.runCommand(kLogNmeaData);
        QCOMPARE(asked.proposedName, QStringLiteral("MNEA Log Monday 05 of June 2006"));
        QCOMPARE(asked.folder, rig.dir.path() + "/Log");
        QVERIFY(f.action(kLogNmeaData)->isChecked());

        // Open: the question; Cancel keeps the log, OK closes it.
        rig.prompt.script({PromptAnswer::Cancel, PromptAnswer::Ok});
        f.runCommand(kLogNmeaData);
        QVERIFY(rig.session->nmeaLog().isOpen());
        f.runCommand(kLogNmeaData);
        QVERIFY(!rig.session->nmeaLog().isOpen());
        QVERIFY(!f.action(kLogNmeaData)->isChecked());
        QCOMPARE(rig.prompt.texts(), (std::vector<std::string>{"Close current NMEA log file ?",
                                                               "Close current NMEA log file ?"}));
        QCOMPARE(rig.prompt.shown[0].buttons, PromptButtons::OkCancel);

        // A file that cannot be created.
        rig.prompt.shown.clear();
        const QString bad = rig.dir.path() + "/no/such/folder/x.txt";
        log->dialogs.save = [&](QWidget*, const FileRequest&) { return bad; };
        f.runCommand(kLogNmeaData);
        QCOMPARE(rig.prompt.texts(),
                 std::vector<std::string>{"Error can't open the NMEA data file\n" + bad.toStdString()});
    }

    void replayFromTheDialogSkipsShortLinesAndRunsAtOneMillisecond()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.frame();
        f.show();
        auto* replay = f.findChild<ReplayController*>();
        const QString file = rig.dir.path() + "/short.txt";
        // CR LF ends, an empty line and a two-character line, which is not handed over or counted.
        writeFile(file, "$GPGGA,081500.00,5121.6000,N,00122.8000,W,1,08,0.9,95.0,M,47.0,M,,*44\r\n\r\nAB\r\n"
                        "$GPRMC,081502.00,A,5121.6018,N,00122.7973,W,5.8,43.1,120524,,,A*7A\r\n");
        replay->dialogHook = [&](ReplayDialog& dlg) {
            // The dialog opens with its own texts.
            if (dlg.nameEdit()->text() != QStringLiteral("C:\\VARNO\\Log\\") ||
                dlg.delayEdit()->text() != "100")
                return false;
            dlg.nameEdit()->setText(file);
            dlg.delayEdit()->setText(QStringLiteral("0"));
            return true;
        };
        QSignalSpy done(replay, &ReplayController::finished);
        f.runCommand(kReplay);
        QCOMPARE(replay->timer().intervalMs(), 1);
        QVERIFY(done.wait(10000));
        QCOMPARE(rig.prompt.texts(), (std::vector<std::string>{kNotice, completeText(2)}));
        QCOMPARE(rig.prompt.shown[0].title, std::string("Replay log"));
        QCOMPARE(rig.session->decoder().SpeedKnots, 5.8);
    }

    void escAnsweredNoGoesOnToTheEnd()
    {
        guitest::Rig rig;
        EscOnNoticePrompt prompt(rig.prompt);
        rig.newSession(prompt);
        CMainFrame& f = rig.shownFrame();
        auto* replay = f.findChild<ReplayController*>();
        const QString file = rig.dir.path() + "/three.txt";
        writeFile(file, "$GP1,a\r\n$GP2,b\r\n$GP3,c\r\n");
        // The Esc key, pressed while the notice is up, asks before the first line.
        prompt.onNotice = [&] { QTest::keyClick(f.view(), Qt::Key_Escape); };
        rig.prompt.script({PromptAnswer::Ok, PromptAnswer::No});
        QSignalSpy done(replay, &ReplayController::finished);
        QVERIFY(replay->start(file, 1));
        QVERIFY(done.wait(10000));
        QCOMPARE(rig.prompt.texts(), (std::vector<std::string>{kNotice, "Stop replay ?", completeText(3)}));
        QCOMPARE(rig.prompt.shown[1].buttons, PromptButtons::YesNo);
    }

    void announcementsMatchTheCommandLineReplay()
    {
        // The golden output of `varno-cli replay` for this drive, less its
        // line-number column: the window must announce the same things at the
        // same fixes.
        guitest::Rig rig(false);
        // The settings file the command-line golden drives use.
        QFile::remove(rig.dir.path() + "/settings.reg");
        QVERIFY(QFile::copy(VARNO_TEST_DATA_DIR "/drives/settings.reg", rig.dir.path() + "/settings.reg"));
        rig.newSession(rig.prompt);
        CMainFrame& f = rig.frame();
        f.resize(800, 700);
        f.show();
        auto& warner = rig.session->cameraWarner();
        warner.store.cameraFileOverride = VARNO_TEST_DATA_DIR "/cameras/approach.txt";
        const int timeZone = rig.session->timeZone();
        std::string got;
        auto prefix = [&] {
            const auto& fix = rig.session->decoder();
            return std::to_string(gps::localHour(fix.GgaHour, timeZone)) + ":" +
                   QString::asprintf("%02d:%02d\t", fix.GgaMinute, fix.GgaSecond).toStdString();
        };
        warner.voice.onRequest = [&](std::string_view file) {
            got += prefix() + "voice\t" + std::string(file) + "\n";
        };
        std::string camera = warner.panel.camera, specs = warner.specs.line;
        auto* replay = f.findChild<ReplayController*>();
        replay->afterCameraLogic = [&] {
            if (warner.panel.camera != camera)
                got += prefix() + "camera\t" + (camera = warner.panel.camera) + "\n";
            if (warner.specs.line != specs)
                got += prefix() + "specs\t" + (specs = warner.specs.line) + "\n";
        };
        QSignalSpy done(replay, &ReplayController::finished);
        QVERIFY(replay->start(VARNO_TEST_DATA_DIR "/drives/approach.nmea", 1, {.showNotice = false}));
        QVERIFY(done.wait(20000));

        std::string expected;
        std::istringstream golden(guitest::readWholeFile(VARNO_TEST_DATA_DIR "/golden/replay/approach.out"));
        for (std::string line; std::getline(golden, line);)
            expected += line.substr(line.find('\t') + 1) + "\n";
        QVERIFY(!expected.empty());
        QCOMPARE(got, expected);
    }

    // A folder is not a log: reported, and the run ends with an error code.
    void commandLineReplayOfAFolderFails()
    {
        guitest::Rig rig;
        int exitCode = -1;
        QVERIFY(!startCommandLineReplay(rig.frame(), {rig.dir.path(), 1, {}, true},
                                        [&](int code) { exitCode = code; }));
        QCOMPARE(exitCode, 2);
        QCOMPARE(rig.prompt.texts(),
                 std::vector<std::string>{"Error can't open the log file\n" + rig.dir.path().toStdString()});
    }

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
        QImage img(png);
        QVERIFY(!img.isNull());
        QVERIFY(img.width() >= 771);
    }
};

QTEST_MAIN(TestLogReplay)
#include "test_log_replay.moc"
