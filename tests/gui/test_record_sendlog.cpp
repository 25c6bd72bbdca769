// File Open / Save / Save As through the window's commands, and the "Send log" dialog over a pseudo-terminal.
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

#include "GuiFixture.h"
#include "RecordCommands.h"
#include "SendLogDialog.h"
#include "base/FileSync.h"
#include "session/CommandTable.h"

using namespace varno;
using namespace varno::session;
using guitest::readWholeFile;

namespace {
struct FailingSync final : FileSync {
    bool flushToDisk(std::FILE*) override { return false; }
};
} // namespace

class TestRecordSendLog : public QObject {
    Q_OBJECT

private slots:
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
        fix.GgaMinute = 5;
        fix.GgaSecond = 9;
        fix.Latitude = 51.404908;
        fix.Longitude = -1.290092;
        auto& ring = rig.session->trackLogging();
        QVERIFY(ring.logTrack());
        ring.recordFix(true, {.position = {51.40, -1.29}, .speedKnots = 10.0});
        ring.recordFix(true, {.position = {51.41, -1.28}, .speedKnots = 10.0});

        // Save without a name asks for one; Save again writes it without asking.
        f.runCommand(CommandId::FileSave);
        QCOMPARE(asked, 1);
        QCOMPARE(record->recordName(), path);
        const std::string saved = readWholeFile(path.toStdString());
        QVERIFY(saved.rfind("VARNO record file\r\nTime\r\n0:05:09\r\n23\r\n", 0) == 0);
        f.runCommand(CommandId::FileSave);
        QCOMPARE(asked, 1);

        fix.GgaHour = 1;
        fix.Latitude = 50.0;
        fix.Longitude = 0.5;
        rig.prompt.shown.clear();
        f.runCommand(CommandId::FileOpen);
        // The cameras are loaded around the restored position at once: with no
        // camera file here, that load is what speaks, and only once.
        QCOMPARE(rig.prompt.texts().size(), size_t(1));
        QVERIFY(rig.prompt.texts()[0].rfind("Error can't open the camera location file", 0) == 0);
        QCOMPARE(fix.GgaHour, 23);
        QCOMPARE(fix.Latitude, 51.404908);
        // Saved again under the name it was opened from, the same text but for the write index
        // (line 12), which an opened record starts afresh.
        f.runCommand(CommandId::FileSave);
        auto withoutIndex = [](std::string t) {
            std::size_t at = 0;
            for (int line = 1; line < 12; ++line)
                at = t.find('\n', at) + 1;
            return t.erase(at, t.find('\n', at) + 1 - at);
        };
        QCOMPARE(withoutIndex(readWholeFile(path.toStdString())), withoutIndex(saved));
        QVERIFY(saved.find("51.400000\r\n-1.290000\r\n51.410000\r\n-1.280000\r\n") != std::string::npos);
    }

    void aFailedSaveKeepsThePreviousRecord()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.frame();
        FailingSync failing;
        RecordCommands record(*rig.session, f.view(), &f, &failing);
        const QString path = rig.dir.path() + "/keep.txt";
        std::ofstream(path.toStdString(), std::ios::binary) << "previous record";
        record.dialogs.save = [&](QWidget*, const FileRequest&) { return path; };
        record.saveAs();
        QCOMPARE(readWholeFile(path.toStdString()), std::string("previous record"));
        QCOMPARE(rig.prompt.texts().size(), size_t(1));
        // Nothing but the record itself is left in the folder.
        QCOMPARE(QDir(rig.dir.path()).entryList({"keep.txt*"}, QDir::Files).size(), 1);
    }

    void sendLogDialogSendsTheFileTwiceWithCrLf()
    {
        test::Pty pty;
        QVERIFY(!pty.path.empty());
        guitest::Rig rig;
        rig.settings.write(varno::settings::keys::Port, pty.path);
        const QString file = rig.dir.path() + "/send.txt";
        // LF and CR LF ends and an empty line, which is counted but not sent.
        std::ofstream(file.toStdString(), std::ios::binary) << "$GPGGA,1,2,3\r\n\r\n$GPRMC,4,5,6\n$GPGSV,7";

        SendLogDialog dlg(rig.settings, rig.prompt, nullptr, nullptr, [](std::chrono::milliseconds) {});
        QCOMPARE(dlg.loopCountEdit()->text(), QStringLiteral("10"));
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
        QTest::mouseClick(dlg.button("Cancel"), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
    }
};

QTEST_MAIN(TestRecordSendLog)
#include "test_record_sendlog.moc"
