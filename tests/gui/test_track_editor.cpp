// The track editor driven through the window: open a map file, edit a track by
// its buttons, undo and redo by keys, save the marked stretch, open it again;
// the wheel, and the question on closing with unsaved marks.
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>

#include "core/base/ScratchFiles.h"
#include "gui/trackedit/TracksCommands.h"
#include "GuiFixture.h"
#include "session/CommandTable.h"
#include "trackedit/Editor.h"

using namespace guitest;
using varno::session::CommandId;

namespace {

// A log of n fixes heading north-east, each a $GPGGA line and a $GPRMC line.
std::string makeLog(int n)
{
    std::string log;
    for (int i = 0; i < n; ++i) {
        const double minutes = 10.0 + i * 0.06;
        log += QString::asprintf("$GPGGA,%06d,50%07.4f,N,010%07.4f,E,1\r\n$GPRMC,%06d,A\r\n", i, minutes,
                                 minutes, i)
                   .toStdString();
    }
    return log;
}

void click(CVARNOView* view, int x, int y, int times = 1)
{
    for (int i = 0; i < times; ++i)
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(x, y));
}

} // namespace

class TestTrackEditor : public QObject {
    Q_OBJECT
private slots:
    void aWholeEditByMouse()
    {
        Rig rig;
        const std::string log = rig.dir.path().toStdString() + "/drive.txt";
        const std::string map = rig.dir.path().toStdString() + "/map.txt";
        const std::string cut = rig.dir.path().toStdString() + "/cut.txt";
        varno::test::writeBytes(log, makeLog(50));
        varno::test::writeBytes(
            map,
            ";VARNO Track Editor\r\nMapDesc:Drives\r\nzoom:10\r\nTrkDesc:Drive\r\nTrkPath:" + log + "\r\n");
        CMainFrame& f = rig.shownFrame();
        auto* commands = f.findChild<TracksCommands*>(QStringLiteral("tracksCommands"));
        QVERIFY(commands);
        commands->dialogs.open = [&](QWidget*, const FileRequest&) { return QString::fromStdString(map); };
        commands->dialogs.save = [&](QWidget*, const FileRequest& r) {
            [&] {
                QCOMPARE(r.proposedName, QStringLiteral("NewNMEATrack.txt"));
                QVERIFY(!r.confirmOverwrite); // the editor asks its own question
            }();
            return QString::fromStdString(cut);
        };
        std::pair<std::string, std::string> choice{"Drive", log};
        commands->chooseTrack = [&] { return std::optional(choice); };

        for (const CommandId id : {CommandId::TracksNew, CommandId::TracksOpen, CommandId::TracksEditTrack,
                                   CommandId::TracksVisible, CommandId::TracksShowLocation})
            QVERIFY(f.action(id)->isEnabled());
        f.runCommand(CommandId::TrackEditorView);
        f.runCommand(CommandId::TracksOpen);
        QCOMPARE(rig.prompt.texts().back(), std::string("Load and display all tracks ?"));
        varno::trackedit::Editor& editor = rig.session->trackEditor();
        QVERIFY(editor.store());
        QCOMPARE(editor.store()->tracks.size(), std::size_t{1});
        QVERIFY(editor.store()->tracks[0].loaded);

        f.runCommand(CommandId::TracksEditTrack);
        QVERIFY(editor.edited());
        CVARNOView* view = f.view();

        // Start +1 three times, end -10 once.
        click(view, 310, 120, 3);
        click(view, 410, 120);
        QCOMPARE(editor.startIndex(), 3L);
        QCOMPARE(editor.endIndex(), 39L);

        // Undo and redo by keys.
        click(view, 310, 120);
        QCOMPARE(editor.startIndex(), 4L);
        QTest::keyClick(&f, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor.startIndex(), 3L);
        QTest::keyClick(&f, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(editor.startIndex(), 4L);
        QTest::keyClick(&f, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(editor.startIndex(), 4L); // nothing left to redo
        QTest::keyClick(&f, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor.startIndex(), 3L);

        // Save the stretch (its bytes are the editor tests' business); opened again it holds the marked
        // points.
        f.runCommand(CommandId::TracksSaveEdited);
        QCOMPARE(rig.prompt.texts().back(), std::string("Save complete."));
        const std::vector<varno::trackedit::TrackPoint> original = editor.edited()->entry.points;
        choice = {"Cut", cut};
        f.runCommand(CommandId::TracksEditTrack);
        QCOMPARE(rig.prompt.texts().back(), std::string("Close previous track edit ?"));
        QVERIFY(editor.edited());
        QCOMPARE(editor.pointCount(), 37L);
        QVERIFY(editor.edited()->entry.points ==
                std::vector<varno::trackedit::TrackPoint>(original.begin() + 3, original.begin() + 40));

        // The wheel zooms out by a forward turn.
        const double scale = editor.projection().scale;
        QWheelEvent wheel(QPointF(400, 300), view->mapToGlobal(QPointF(400, 300)), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &wheel);
        QCOMPARE(editor.projection().scale, scale * 0.6);

        // Closing with moved marks asks first; No keeps the window.
        click(view, 310, 120);
        rig.prompt.script({varno::PromptAnswer::No});
        QVERIFY(!f.close());
        QVERIFY(f.isVisible());
        rig.prompt.script({varno::PromptAnswer::Yes});
        QVERIFY(f.close());
    }

    // The two loading dialogs: a map file first, then a file name; a load that
    // fails says why, naming the file, and the dialog stays for another try.
    void loadersNeedAMapFileAndAFileName()
    {
        Rig rig;
        CMainFrame& f = rig.shownFrame();
        struct Case {
            CommandId id;
            QString dialog;
            std::string noMap, noFile;
            std::string good; // a file of one way from (53.55, 13.26) to (53.56, 13.27)
        };
        const Case cases[] = {
            {CommandId::TracksLoadJosmGpx, QStringLiteral("loadJosmGpx"),
             "You must open or create a new track editor map file\nbefore you can load an additional\nJosm "
             "gpx "
             "track file.",
             "Please choose a JOSM gpx track file.",
             "<gpx>\n<trk>\n<name>Ring</name>\n<trkseg>\n<trkpt lat=\"53.55\" lon=\"13.26\">\n</trkpt>\n"
             "<trkpt lat=\"53.56\" lon=\"13.27\">\n</trkpt>\n</trkseg>\n</trk>\n</gpx>\n"},
            {CommandId::TracksLoadOsm, QStringLiteral("loadOsm"),
             "You must open or create a new track editor map file\nbefore you can load an additional\nOSM "
             "file.",
             "Please choose a osm file.",
             "<osm version=\"0.6\">\n<node id=\"1\" lat=\"53.55\" lon=\"13.26\"/>\n"
             "<node id=\"2\" lat=\"53.56\" lon=\"13.27\"/>\n<way id=\"5\">\n<nd ref=\"1\"/>\n<nd "
             "ref=\"2\"/>\n"
             "<tag k=\"highway\" v=\"primary\"/>\n</way>\n</osm>\n"},
        };
        const std::string missing = rig.dir.path().toStdString() + "/missing.data";
        const std::string good = rig.dir.path().toStdString() + "/good.data";
        for (const Case& c : cases) {
            rig.session->trackEditor().closeMap();
            f.runCommand(c.id);
            QCOMPARE(rig.prompt.texts().back(), c.noMap);
            rig.session->trackEditor().newMap();
            const bool shown = guitest::whileShown<QDialog>(
                [&] { f.runCommand(c.id); },
                [&](QDialog& d) {
                    auto* load = d.findChild<QPushButton*>(QStringLiteral("load"));
                    load->click();
                    QCOMPARE(rig.prompt.texts().back(), c.noFile);
                    d.findChild<QLineEdit*>(QStringLiteral("path"))->setText(QString::fromStdString(missing));
                    load->click();
                    QVERIFY(rig.prompt.texts().back().find(missing) != std::string::npos);
                    QVERIFY(d.isVisible());
                    // Every load appends, the same file twice gives its way twice.
                    varno::test::writeBytes(good, c.good);
                    d.findChild<QLineEdit*>(QStringLiteral("path"))->setText(QString::fromStdString(good));
                    load->click();
                    QVERIFY(rig.prompt.texts().back().find("load complete.") != std::string::npos);
                    load->click();
                    d.findChild<QPushButton*>(QStringLiteral("ok"))->click();
                },
                c.dialog);
            QVERIFY(shown);
            const varno::trackedit::TrackStore* store = rig.session->trackEditor().store();
            QVERIFY(store);
            QVERIFY(!store->dirty);
            QCOMPARE(store->tracks.size(), std::size_t{2});
            QVERIFY(!store->tracks[1].path);
            QCOMPARE(store->tracks[1].points.size(), std::size_t{2});
            // Fitted to what was loaded.
            QCOMPARE(rig.session->trackEditor().projection().topLatDeg, 53.56 + 0.001);
        }
    }
};

QTEST_MAIN(TestTrackEditor)
#include "test_track_editor.moc"
