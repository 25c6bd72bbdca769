// The main window: view keys and titles, size commands, toolbars, the key map, colours, prompts.
#include <QAction>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>

#include "GuiFixture.h"
#include "RecordCommands.h"
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
    // N toggles POI and camera, F7 always switches, V and F5 walk the views in order.
    void viewKeysToggleOrSwitchAndTitleTheWindow()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.shownFrame();
        QCOMPARE(f.windowTitle(), QStringLiteral("VARNO"));
        QVERIFY(rig.session->viewState().isOn(MapView::Camera));
        const std::pair<const char*, const char*> steps[] = {
            {"N", "POI"},      {"N", "Camera"}, {"F7", "POI"},   {"F7", "POI"},
            {"B", "Camera"},   {"V", "POI"},    {"F5", "Route"}, {"V", "Compass"},
            {"F5", "Pointer"}, {"V", "Trail"},  {"F5", "Camera"}};
        for (auto [key, view] : steps) {
            press(f.view(), key);
            QCOMPARE(f.windowTitle(), QStringLiteral("VARNO %1 View").arg(view));
        }
        // T toggles the track editor; the next view from it is the first.
        press(f.view(), "T");
        QVERIFY(f.action(cmd::TrackEditorView)->isChecked());
        press(f.view(), "V");
        QCOMPARE(f.windowTitle(), QStringLiteral("VARNO POI View"));
    }

    void autoStartSizeGivesTheNormalRectangle()
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
        press(f.view(), "4");
        QCOMPARE(f.frameGeometry(), QRect(QPoint(10, 10), QPoint(589, 469)));
    }

    void toolbarsFollowTheirMenuItems()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.shownFrame();
        QVERIFY(f.fileToolbar()->isHidden());
        QVERIFY(!f.action(32804)->icon().isNull());
        f.action(cmd::VarnoToolbar)->trigger();
        QVERIFY(f.varnoToolbar()->isHidden());
        QVERIFY(!f.action(cmd::VarnoToolbar)->isChecked());
        f.action(cmd::ViewToolbar)->trigger();
        QVERIFY(!f.fileToolbar()->isHidden());
        QVERIFY(f.action(cmd::ViewToolbar)->isChecked());

        // A hovered item shows its prompt in the first pane.
        f.action(cmd::ToolNight)->showStatusText(&f);
        QCOMPARE(f.statusBar()->currentMessage(), QStringLiteral("Use night time colours"));
    }

    void everyKeyReachesItsCommand()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.shownFrame();
        // Ctrl+O and Ctrl+S open file dialogs: here they are cancelled at once.
        auto cancel = [](QWidget*, const FileRequest&) { return QString(); };
        f.findChild<RecordCommands*>()->dialogs = {cancel, cancel};
        QSignalSpy ran(&f, &CMainFrame::commandRun);
        int pressed = 0;
        for (const Command& c : CommandTable::all()) {
            if (c.key.empty())
                continue;
            QAction* a = f.action(c.id);
            QVERIFY(a);
            QCOMPARE(a->shortcut(), CMainFrame::keySequence(c.key));
            if (!a->isEnabled()) {
                QVERIFY2(!f.hasHandler(c.id), qPrintable(QString::number(c.id)));
                continue;
            }
            ran.clear();
            press(f.view(), c.key);
            QVERIFY2(ran.size() == 1, qPrintable(QStringLiteral("key %1").arg(
                                          QString::fromLatin1(c.key.data(), c.key.size()))));
            QCOMPARE(ran.at(0).at(0).toInt(), c.id);
            ++pressed;
        }
        // The view, GPS and size keys at least.
        QVERIFY(pressed >= 17);
    }

    void nightColoursAfterCheckRegistryRepaintAtOnce()
    {
        guitest::Rig rig(false);
        rig.prompt.script({varno::PromptAnswer::Cancel}); // the first-run question
        rig.session->initialUpdate();
        CMainFrame& f = rig.shownFrame();
        f.runCommand(cmd::CheckRegistry);
        QCOMPARE(f.view()->grab().toImage().pixelColor(100, 100), QColor(Qt::white));

        f.action(cmd::NightColours)->trigger();
        QCOMPARE(f.view()->grab().toImage().pixelColor(100, 100), QColor(Qt::black));

        f.action(cmd::ToolDay)->trigger();
        QCOMPARE(f.view()->grab().toImage().pixelColor(100, 100), QColor(Qt::white));
    }
};

QTEST_MAIN(TestMainFrame)
#include "test_main_frame.moc"
