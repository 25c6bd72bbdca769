// Every command of the table, by its key, its menu item and its toolbar button: enabled, and doing something
// one can see.
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <set>

#include "CSio.h"
#include "gui/gps/ReplayController.h"
#include "gui/routes/ScreenAgent.h"
#include "GuiFixture.h"
#include "session/CommandTable.h"
#include "trackedit/Editor.h"

using namespace varno::session;
namespace keys = varno::settings::keys;

namespace {

QString name(const Command& c)
{
    return QString::fromUtf8(c.text.data(), qsizetype(c.text.size())).remove(QLatin1Char('&')) +
           QStringLiteral(" (%1)").arg(c.number);
}

// Closes every dialog a command shows with Esc, as a user would, and notes which ones
// would not close or have no default button for Enter.
class DialogCloser : public QObject {
public:
    DialogCloser()
    {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, &DialogCloser::poll);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                before_.insert(w);
        timer_.start();
    }

    // After the command: the dialogs it left open (modeless ones) closed too.
    void settle()
    {
        QElapsedTimer t;
        t.start();
        do {
            poll();
            QApplication::processEvents();
        } while (open() && t.elapsed() < 2000);
        timer_.stop();
    }

    QStringList seen, faults;

private:
    bool open() const
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && qobject_cast<QDialog*>(w) && !before_.count(w))
                return true;
        return false;
    }

    void poll()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* d = qobject_cast<QDialog*>(w);
            if (!d || !d->isVisible() || before_.count(d))
                continue;
            const QString what =
                QStringLiteral("%1 \"%2\"").arg(d->metaObject()->className(), d->windowTitle());
            if (!tried_.count(d)) {
                tried_.insert(d);
                seen << what;
                bool hasDefault = false;
                const auto buttons = d->findChildren<QPushButton*>();
                for (QPushButton* b : buttons)
                    hasDefault = hasDefault || (b->isDefault() && b->isVisible());
                if (!buttons.isEmpty() && !hasDefault)
                    faults << what + QStringLiteral(": no default button for Enter");
                QWidget* focus = QApplication::focusWidget();
                QTest::keyClick(focus && d->isAncestorOf(focus) ? focus : d, Qt::Key_Escape);
            } else if (!forced_.count(d)) {
                forced_.insert(d);
                faults << what + QStringLiteral(": Esc does not close it");
                d->reject();
            }
        }
    }

    QTimer timer_;
    std::set<QWidget*> before_, tried_, forced_;
};

// What a user can see of the window and what it said.
struct Look {
    MapView view{};
    QString title, message, panes, clipboard;
    QList<bool> checks;
    QList<bool> shown;
    QRect geometry;
    QImage picture;
    std::size_t prompts = 0, voices = 0;

    static Look of(guitest::Rig& rig, CMainFrame& f)
    {
        Look l;
        l.view = rig.session->viewState().current();
        l.title = f.windowTitle();
        l.message = f.statusBar()->currentMessage();
        for (QLabel* p : f.statusBar()->findChildren<QLabel*>())
            l.panes += p->text() + QLatin1Char('|');
        l.clipboard = QApplication::clipboard()->text();
        for (QAction* a : f.findChildren<QAction*>())
            if (a->isCheckable())
                l.checks << a->isChecked();
        l.shown = {f.isVisible(), f.fileToolbar()->isVisible(), f.varnoToolbar()->isVisible(),
                   f.statusBar()->isVisible()};
        l.geometry = f.frameGeometry();
        l.picture = f.view()->grab().toImage();
        l.prompts = rig.prompt.shown.size();
        l.voices = rig.voice.played.size();
        return l;
    }

    // What changed from before to this, empty when nothing did.
    QString changesFrom(const Look& b) const
    {
        QStringList c;
        if (view != b.view)
            c << QStringLiteral("view");
        if (title != b.title)
            c << QStringLiteral("title");
        if (message != b.message || panes != b.panes)
            c << QStringLiteral("status");
        if (clipboard != b.clipboard)
            c << QStringLiteral("clipboard");
        if (checks != b.checks)
            c << QStringLiteral("check");
        if (shown != b.shown)
            c << QStringLiteral("bars");
        if (geometry != b.geometry)
            c << QStringLiteral("geometry");
        if (picture != b.picture)
            c << QStringLiteral("picture");
        if (prompts != b.prompts)
            c << QStringLiteral("prompt");
        if (voices != b.voices)
            c << QStringLiteral("sound");
        return c.join(QLatin1Char(','));
    }
};

// A window over a pseudo-terminal receiver, with the speech agent in its corner.
struct WalkRig {
    varno::test::Pty pty;
    varno::platform::CSio port;
    // Before the rig: the session unloads it as it goes.
    ScreenAgent agent{nullptr, QStringLiteral(VARNO_TEST_DATA_DIR "/../../data/agent/owl.txt")};
    guitest::Rig rig{true, &port};

    WalkRig()
    {
        rig.settings.write(keys::Port, pty.path);
        rig.session = std::make_unique<Session>(Session::Deps{rig.settings,
                                                              rig.prompt,
                                                              rig.clock,
                                                              rig.port,
                                                              rig.dir.path().toStdString(),
                                                              [](std::chrono::milliseconds) {},
                                                              &rig.voice,
                                                              {},
                                                              &agent});
    }
    ~WalkRig() { rig.frame().close(); }

    // The camera file with one camera more, not yet loaded.
    void moreCameras() const
    {
        const QString more = QStringLiteral("51.502,0.5,A34,Newbury,Bridge,MOBILE,P,30\n");
        QFile f(rig.dir.path() + QStringLiteral("/VARNOCamera.txt"));
        QVERIFY(f.open(QIODevice::Append));
        f.write(more.toLatin1());
    }
};

// The view shown, with a sentence drawn on it (a started or stopped receiver leaves it empty).
void toView(CMainFrame& f, MapView v, CommandId item)
{
    if (f.session().viewState().current() != v)
        f.runCommand(item);
    // Tall enough for the map, which a 600 x 480 window leaves out.
    f.resize(820, 720);
    f.session().road().mailbox().offer(guitest::rmc(30.0));
    f.view()->repaint();
}

// Puts the window where the command has something to show: a stop needs a running
// receiver, day colours a night before, a zoom the camera map, and so on.
void prepare(WalkRig& w, CMainFrame& f, CommandId id)
{
    Session& s = *w.rig.session;
    using C = CommandId;
    switch (id) {
    case C::RunStart:
    case C::KeyStartS:
    case C::ToolStart:
        if (s.gps().portOpen())
            s.stopGps();
        break;
    case C::RunStop:
    case C::KeyStopE:
    case C::ToolStop:
        if (!s.gps().portOpen())
            s.startGps();
        break;
    case C::DayColours:
    case C::ToolDay:
        s.loadNightColours();
        toView(f, MapView::Camera, C::CameraMap); // the track editor keeps its own colours
        break;
    case C::NightColours:
    case C::ToolNight:
        s.loadDayColours();
        toView(f, MapView::Camera, C::CameraMap);
        break;
    // The track editor shows what it closes or unloads.
    case C::TracksClose:
        if (!s.trackEditor().store())
            s.trackEditor().newMap();
        toView(f, MapView::TrackEditor, C::TrackEditorView);
        break;
    case C::TracksCloseEdited: {
        const std::string log = w.rig.dir.path().toStdString() + "/walk-track.txt";
        QFile file(QString::fromStdString(log));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("$GPGGA,1,5130.0,N,00100.0,W,1\r\n$GPGGA,2,5131.0,N,00101.0,W,1\r\n");
        file.close();
        if (!s.trackEditor().store())
            s.trackEditor().newMap();
        s.trackEditor().openEditedTrack("Walk", log);
        toView(f, MapView::TrackEditor, C::TrackEditorView);
        break;
    }
    case C::TracksUnloadSrtm: {
        varno::trackedit::SrtmLayer layer;
        layer.tile.size = 1201;
        layer.tile.samples.assign(1201 * 1201, 0x0101); // white in the background's colours
        s.trackEditor().setSrtm(std::move(layer));
        toView(f, MapView::TrackEditor, C::TrackEditorView);
        break;
    }
    case C::LoadCameraFile:
        w.moreCameras();
        toView(f, MapView::Camera, C::CameraMap);
        break;
    case C::DoOnDraw:
        toView(f, MapView::Camera, C::CameraMap);
        break;
    case C::MarkLocation:
    case C::KeyMarkM:
    case C::ToolMark:
        f.statusBar()->clearMessage();
        break;
    case C::AgentUnload:
        if (!s.routes().agent().loaded())
            f.runCommand(C::AgentLoad);
        break;
    case C::KeyZoomInPlus:
    case C::KeyZoomOutMinus:
    case C::KeyZoomInF4:
    case C::KeyZoomOutF3:
    case C::KeyZoomInNum:
    case C::KeyZoomOutNum:
    case C::ToolZoomIn:
    case C::ToolZoomOut:
    case C::KeySpecsSpace:
        toView(f, MapView::Camera, C::CameraMap);
        break;
    case C::KeySpeakWaypoint0:
    case C::KeyRouteMotorwayZ:
    case C::KeyRouteCountryX:
    case C::KeyRouteTownC:
        toView(f, MapView::Route, C::RouteView);
        break;
    case C::KeyStopReplayEsc:
        f.findChild<ReplayController*>()->start(
            QStringLiteral(VARNO_TEST_DATA_DIR "/../../data/demo/demo-drive.txt"), 1000);
        break;
    case C::Scr600x480:
    case C::Scr800x600:
    case C::Scr800x700:
    case C::Key600x480:
    case C::Key800x600:
    case C::Key800x700:
    case C::Tool800x600:
        f.resize(700, 500);
        break;
    default:
        break;
    }
}

enum class Way { Key, Menu, Button };

} // namespace

class TestCommandWalk : public QObject {
    Q_OBJECT

    // Runs c the given way; a failure is noted in faults.
    static void walk(WalkRig& w, CMainFrame& f, const Command& c, Way way, QStringList& faults)
    {
        guitest::Rig& rig = w.rig;
        QAction* a = nullptr;
        QString how;
        switch (way) {
        case Way::Key:
            a = f.action(c.id);
            how = QStringLiteral("key %1").arg(QString::fromLatin1(c.key.data(), qsizetype(c.key.size())));
            break;
        case Way::Menu:
            for (QAction* item : f.menu(c.menu)->actions())
                if (item == f.action(c.id))
                    a = item;
            how = QStringLiteral("menu");
            break;
        case Way::Button:
            for (QToolBar* bar : {f.varnoToolbar(), f.fileToolbar()})
                if (bar->actions().contains(f.action(c.id)))
                    a = f.action(c.id);
            how = QStringLiteral("button");
            break;
        }
        const QString what = name(c) + QStringLiteral(" by ") + how;
        if (!a) {
            faults << what + QStringLiteral(": not there");
            return;
        }
        if (!a->isEnabled()) {
            faults << what + QStringLiteral(": disabled");
            return;
        }
        // Back to the window after Exit, and after a dialog that left nothing active.
        if (!f.isVisible())
            f.show();
        if (QApplication::activeWindow() != &f) {
            f.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&f));
        }
        prepare(w, f, c.id);
        const Look before = Look::of(rig, f);
        DialogCloser closer;
        switch (way) {
        case Way::Key: {
            const QKeyCombination k = CMainFrame::keySequence(c.key)[0];
            QTest::keyClick(f.view(), k.key(), k.keyboardModifiers());
            break;
        }
        case Way::Menu:
            a->trigger();
            break;
        case Way::Button: {
            QToolBar* bar = f.varnoToolbar()->actions().contains(a) ? f.varnoToolbar() : f.fileToolbar();
            const bool hidden = bar->isHidden();
            bar->show();
            QTest::mouseClick(bar->widgetForAction(a), Qt::LeftButton);
            bar->setHidden(hidden);
            break;
        }
        }
        closer.settle();
        faults << closer.faults;
        Look after = Look::of(rig, f);
        // Some answers come a moment later (the replay asks before its next line).
        for (int i = 0; i < 10 && closer.seen.isEmpty() && after.changesFrom(before).isEmpty(); ++i) {
            QTest::qWait(20);
            after = Look::of(rig, f);
        }
        if (closer.seen.isEmpty() && after.changesFrom(before).isEmpty()) {
            faults << what + QStringLiteral(": nothing visible happened");
        }
    }

private slots:
    void initTestCase()
    {
        // Exit closes the window; the walk shows it again.
        QApplication::setQuitOnLastWindowClosed(false);
    }

    // The whole table, in its order (so Start comes before Stop, Load before Unload): each
    // command is enabled and its key, its menu item and its toolbar button each visibly do
    // something: a dialog (closed again with Esc), a view, a check, a status, a prompt, a sound.
    void everyCommandDoesSomethingVisible()
    {
        QElapsedTimer took;
        took.start();
        WalkRig w;
        guitest::placeCameras(w.rig, {{300.0, 0.0, "GATSO"}});
        w.rig.session->routes().load(VARNO_TEST_DATA_DIR "/../../data/demo/demo-route.csv");
        CMainFrame& f = w.rig.shownFrame();
        w.agent.attach(f.view());
        // Something on the view to zoom and colour.
        w.rig.session->road().mailbox().offer(guitest::rmc(30.0));
        f.view()->repaint();
        QStringList faults;
        int walked = 0;
        for (const Command& c : CommandTable::all()) {
            if (!c.key.empty())
                walk(w, f, c, Way::Key, faults), ++walked;
            if (c.menu != Menu::None)
                walk(w, f, c, Way::Menu, faults), ++walked;
            if (c.menu == Menu::None && c.key.empty())
                walk(w, f, c, Way::Button, faults), ++walked;
        }
        qInfo("walked %d ways in %lld ms", walked, took.elapsed());
        for (const QString& fault : faults)
            qWarning("%s", qPrintable(fault));
        QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("%1 faults").arg(faults.size())));
    }
};

QTEST_MAIN(TestCommandWalk)
#include "test_command_walk.moc"
