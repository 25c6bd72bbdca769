// The main window: view keys and titles, size commands, start-up actions, toolbars, the key map, colours.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>

#include "gui/frame/PrintCommands.h"
#include "gui/gps/RecordCommands.h"
#include "gui/routes/RouteCommands.h"
#include "GuiFixture.h"
#include "session/CommandTable.h"

using namespace varno::session;

class TestMainFrame : public QObject {
    Q_OBJECT

    // Presses a key the way the command table names it.
    static void press(QWidget* w, std::string_view token)
    {
        const QKeyCombination k = CMainFrame::keySequence(token)[0];
        QTest::keyClick(w, k.key(), k.keyboardModifiers());
    }

private slots:
    // The view keys title the window after the view they switch to (the order and the toggles are the
    // session's), and the View menu marks that view and no other.
    void viewKeysTitleTheWindow()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.shownFrame();
        QCOMPARE(f.windowTitle(), QStringLiteral("VARNO"));
        const std::tuple<const char*, const char*, CommandId> steps[] = {
            {"N", "POI", CommandId::DisplayPoi},      {"N", "Camera", CommandId::CameraMap},
            {"F7", "POI", CommandId::DisplayPoi},     {"B", "Camera", CommandId::CameraMap},
            {"F5", "POI", CommandId::DisplayPoi},     {"V", "Route", CommandId::RouteView},
            {"F9", "Compass", CommandId::CompassView}};
        const CommandId items[] = {CommandId::CameraMap,      CommandId::DisplayPoi,  CommandId::RouteView,
                                   CommandId::CompassView,    CommandId::PointerView, CommandId::TrailView,
                                   CommandId::TrackEditorView};
        for (auto [key, view, item] : steps) {
            press(f.view(), key);
            QCOMPARE(f.windowTitle(), QStringLiteral("VARNO %1 View").arg(view));
            for (CommandId id : items)
                QCOMPARE(f.action(id)->isChecked(), id == item);
        }
        press(f.view(), "T");
        QVERIFY(f.action(CommandId::TrackEditorView)->isChecked());
        QVERIFY(!f.action(CommandId::CompassView)->isChecked());
    }

    // Size commands place the outer frame on their rectangle. A maximised or full-screen window
    // is restored first, and the frame is the restored window's, not the one it had.
    void sizeCommandsPlaceTheOuterFrame()
    {
        {
            guitest::Rig rig;
            rig.settings.write(varno::settings::keys::AutoStartSize, 0);
            QVERIFY(rig.frame().frameGeometry() != QRect(QPoint(10, 10), QPoint(789, 589)));
        }
        guitest::Rig rig;
        rig.settings.write(varno::settings::keys::AutoStartSize, 1);
        CMainFrame& f = rig.shownFrame();
        QCOMPARE(f.frameGeometry(), QRect(QPoint(10, 10), QPoint(789, 589)));
        press(f.view(), "7");
        QCOMPARE(f.frameGeometry(), QRect(QPoint(10, 10), QPoint(789, 689)));
        for (void (QWidget::*enter)() : {&QWidget::showMaximized, &QWidget::showFullScreen}) {
            (f.*enter)();
            // Until the window system has it so, with the frame it has then.
            QTRY_VERIFY(f.frameGeometry().topLeft() != QPoint(10, 10));
            press(f.view(), "4");
            QVERIFY(f.windowState() == Qt::WindowNoState);
            QTest::qWait(50); // the window system's answers, the restored frame among them
            QCOMPARE(f.frameGeometry(), QRect(QPoint(10, 10), QPoint(589, 469)));
        }
    }

    // Minimise and restore hide and show the view; the start-up actions ran at the first show only.
    void minimiseAndRestoreDoNotRepeatTheStartUpActions()
    {
        guitest::Rig rig;
        QVERIFY(QDir(rig.dir.path()).mkpath(QStringLiteral("Log")));
        rig.settings.write(varno::settings::keys::AutoStartLog, 1);
        rig.settings.write(varno::settings::keys::AutoStartGPS, 1);
        rig.settings.write(varno::settings::keys::NightTimerEnable, 1);
        rig.settings.write(varno::settings::keys::NightTimerStartTime, "00:00");
        rig.settings.write(varno::settings::keys::NightTimerEndTime, "23:59");
        CMainFrame& f = rig.shownFrame();
        QVERIFY(rig.session->nmeaLog().isOpen());
        const std::string log = rig.session->nmeaLog().path();
        const size_t asked = rig.prompt.shown.size(); // the port did not open
        QVERIFY(asked > 0);
        QVERIFY(rig.session->colours().isNight());
        f.runCommand(CommandId::DayColours); // the user's choice stands

        f.showMinimized();
        QTRY_VERIFY(f.isMinimized());
        varno::LocalTime later = rig.clock.now(); // a new log would get a new name
        later.minute += 1;
        rig.clock.set(later);
        f.showNormal();
        QTRY_VERIFY(!f.isMinimized());
        QVERIFY(rig.session->nmeaLog().isOpen());
        QCOMPARE(rig.session->nmeaLog().path(), log);
        QCOMPARE(rig.prompt.shown.size(), asked); // no second try at the port
        QVERIFY(!rig.session->colours().isNight());
        QCOMPARE(QDir(rig.dir.path() + QStringLiteral("/Log")).entryList(QDir::Files).size(), 1);
    }

    // The toolbar items show and hide their toolbars; a hovered item shows its prompt in the first pane.
    void toolbarsFollowTheirMenuItems()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.shownFrame();
        QVERIFY(f.fileToolbar()->isHidden() && !f.varnoToolbar()->isHidden());
        f.action(CommandId::VarnoToolbar)->trigger();
        f.action(CommandId::ViewToolbar)->trigger();
        QVERIFY(!f.fileToolbar()->isHidden() && f.varnoToolbar()->isHidden());
        QVERIFY(f.action(CommandId::ViewToolbar)->isChecked() &&
                !f.action(CommandId::VarnoToolbar)->isChecked());
        f.action(CommandId::ToolNight)->showStatusText(&f);
        QCOMPARE(f.statusBar()->currentMessage(), QStringLiteral("Use night time colours"));
    }

    // Every key of the command table is the shortcut of its action and runs its command; a disabled
    // action has no handler.
    void everyKeyReachesItsCommand()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.shownFrame();
        // Ctrl+O, Ctrl+S and Ctrl+P open file or printer dialogs: here they are cancelled at once.
        auto cancel = [](QWidget*, const FileRequest&) { return QString(); };
        f.findChild<RecordCommands*>()->dialogs = {cancel, cancel};
        f.findChild<PrintCommands*>()->dialogs = {cancel, cancel};
        f.findChild<PrintCommands*>()->choosePrinter = [](QPrinter&, QWidget*) { return false; };
        // R opens the route pick list: here it is not even shown.
        f.findChild<RouteCommands*>()->runDialog = [](QDialog&) { return 0; };
        QSignalSpy ran(&f, &CMainFrame::commandRun);
        int pressed = 0;
        for (const Command& c : CommandTable::all()) {
            if (c.key.empty())
                continue;
            QAction* a = f.action(c.id);
            QVERIFY(a);
            QCOMPARE(a->shortcut(), CMainFrame::keySequence(c.key));
            if (!a->isEnabled()) {
                QVERIFY2(!f.hasHandler(c.id), qPrintable(QString::number(c.number)));
                continue;
            }
            ran.clear();
            press(f.view(), c.key);
            QVERIFY2(ran.size() == 1, qPrintable(QStringLiteral("key %1").arg(
                                          QString::fromLatin1(c.key.data(), c.key.size()))));
            QCOMPARE(ran.at(0).at(0).value<CommandId>(), c.id);
            ++pressed;
        }
        // The view, GPS and size keys at least.
        QVERIFY(pressed >= 17);
    }

    // Pane 1's "Ready" gives way to every message, also to one shown before the window is (a port
    // opening as the window comes up), and stays away while the port opens, a menu item's prompt or not.
    void readyOnlyWhileNothingElseIsSaid()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.frame();
        QLabel* ready = nullptr;
        for (QLabel* l : f.statusBar()->findChildren<QLabel*>())
            if (l->text() == QStringLiteral("Ready"))
                ready = l;
        QVERIFY(ready);
        f.showOpening(true, QStringLiteral("/dev/ttyUSB0"));
        rig.shownFrame();
        QCOMPARE(f.statusBar()->currentMessage(), QStringLiteral("Opening /dev/ttyUSB0..."));
        QVERIFY(!ready->isVisible());
        f.statusBar()->showMessage(QStringLiteral("Use night time colours"));
        f.statusBar()->clearMessage();
        QVERIFY(!ready->isVisible());
        f.showOpening(false, QStringLiteral("/dev/ttyUSB0"));
        QVERIFY(ready->isVisible());
        f.statusBar()->showMessage(QStringLiteral("Use night time colours"));
        QVERIFY(!ready->isVisible());
        f.statusBar()->clearMessage();
        QVERIFY(ready->isVisible());
    }

    void nightColoursAfterCheckRegistryRepaintAtOnce()
    {
        guitest::Rig rig(false);
        rig.prompt.script({varno::PromptAnswer::Cancel}); // the first-run question
        rig.session->initialUpdate();
        CMainFrame& f = rig.shownFrame();
        f.runCommand(CommandId::CheckRegistry);
        QCOMPARE(f.view()->grab().toImage().pixelColor(100, 100), QColor(Qt::white));
        for (auto [command, fill] :
             {std::pair{CommandId::NightColours, Qt::black}, {CommandId::ToolDay, Qt::white}}) {
            f.action(command)->trigger();
            QCOMPARE(f.view()->grab().toImage().pixelColor(100, 100), QColor(fill));
        }
    }
};

QTEST_MAIN(TestMainFrame)
#include "test_main_frame.moc"
