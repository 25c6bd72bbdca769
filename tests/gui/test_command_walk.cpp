// Every command of the table, by its key, its menu item and its toolbar button: enabled, and doing something
// one can see.
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <set>

#include "GuiFixture.h"
#include "session/CommandTable.h"

using namespace varno::session;

namespace {

// The Tracks menu's handlers land separately; drop this list when they do.
const std::set<CommandId> kTracksCommandsStillToCome = {
    CommandId::TracksClose,       CommandId::TracksNew,           CommandId::TracksOpen,
    CommandId::TracksSave,        CommandId::TracksSaveAs,        CommandId::TracksDescription,
    CommandId::TracksAddRemove,   CommandId::TracksVisible,       CommandId::TracksLoadJosmGpx,
    CommandId::TracksLoadOsm,     CommandId::TracksEditTrack,     CommandId::TracksSaveEdited,
    CommandId::TracksCloseEdited, CommandId::TracksShowLocation,  CommandId::TracksRefreshRate,
    CommandId::TracksShowIcons,   CommandId::TracksShowNodeNames, CommandId::TracksShowRoadNames,
    CommandId::TracksShowRoadRef, CommandId::TracksLoadSrtm,      CommandId::TracksUnloadSrtm,
};

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

enum class Way { Key, Menu, Button };

} // namespace

class TestCommandWalk : public QObject {
    Q_OBJECT

    // Runs c the given way; a failure is noted in faults.
    static void walk(guitest::Rig& rig, CMainFrame& f, const Command& c, Way way, QStringList& faults)
    {
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
        if (!f.isVisible())
            f.show();
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
        const Look after = Look::of(rig, f);
        if (closer.seen.isEmpty() && after.changesFrom(before).isEmpty())
            faults << what + QStringLiteral(": nothing visible happened");
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
        guitest::Rig rig;
        guitest::placeCameras(rig, {{300.0, 0.0, "GATSO"}});
        CMainFrame& f = rig.shownFrame();
        f.runCommand(CommandId::DoOnDraw); // something on the view to zoom and colour
        QStringList faults;
        int walked = 0;
        for (const Command& c : CommandTable::all()) {
            if (kTracksCommandsStillToCome.count(c.id))
                continue;
            if (!c.key.empty())
                walk(rig, f, c, Way::Key, faults), ++walked;
            if (c.menu != Menu::None)
                walk(rig, f, c, Way::Menu, faults), ++walked;
            if (c.menu == Menu::None && c.key.empty())
                walk(rig, f, c, Way::Button, faults), ++walked;
        }
        qInfo("walked %d ways in %lld ms", walked, took.elapsed());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        QVERIFY(walked > 130);
    }
};

QTEST_MAIN(TestCommandWalk)
#include "test_command_walk.moc"
