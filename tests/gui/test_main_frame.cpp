// The main window: view keys and titles, size commands, toolbars, the key map, colours, prompts.
#include <QAction>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "CVARNOView.h"
#include "GuiFixture.h"
#include "RecordCommands.h"
#include "ShortcutListDialog.h"
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

    static void showActive(CMainFrame& f)
    {
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
    }

private slots:
    void startsTitledVarnoOnTheCameraMap()
    {
        guitest::Rig rig;
        showActive(rig.frame());
        QCOMPARE(rig.frame().windowTitle(), QStringLiteral("VARNO"));
        QVERIFY(rig.session->viewState().isOn(MapView::Camera));
    }

    void viewKeysToggleOrAlwaysSwitch()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.frame();
        showActive(f);
        press(f.view(), "N");
        QCOMPARE(f.windowTitle(), QStringLiteral("VARNO POI View"));
        press(f.view(), "N");
        QCOMPARE(f.windowTitle(), QStringLiteral("VARNO Camera View"));

        press(f.view(), "F7");
        press(f.view(), "F7");
        QVERIFY(rig.session->viewState().isOn(MapView::Poi));
        QCOMPARE(f.windowTitle(), QStringLiteral("VARNO POI View"));

        press(f.view(), "B");
        QCOMPARE(f.windowTitle(), QStringLiteral("VARNO Camera View"));
        press(f.view(), "T");
        QVERIFY(f.action(cmd::TrackEditorView)->isChecked());
        press(f.view(), "T");
        QVERIFY(!f.action(cmd::TrackEditorView)->isChecked());
    }

    void nextViewCycles()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.frame();
        showActive(f);
        const QStringList titles = {"VARNO POI View",     "VARNO Route View", "VARNO Compass View",
                                    "VARNO Pointer View", "VARNO Trail View", "VARNO Camera View"};
        for (int i = 0; i < 6; ++i) {
            press(f.view(), i % 2 ? "F5" : "V");
            QCOMPARE(f.windowTitle(), titles[i]);
        }
        press(f.view(), "T");
        press(f.view(), "V");
        QCOMPARE(f.windowTitle(), QStringLiteral("VARNO POI View"));
    }

    void autoStartSizeGivesTheNormalRectangle()
    {
        guitest::Rig rig;
        rig.settings.writeDword("AutoStartSize", 1);
        CMainFrame& f = rig.frame();
        showActive(f);
        QCOMPARE(f.frameGeometry(), QRect(QPoint(10, 10), QPoint(789, 589)));

        press(f.view(), "7");
        QCOMPARE(f.frameGeometry(), QRect(QPoint(10, 10), QPoint(789, 689)));
        press(f.view(), "4");
        QCOMPARE(f.frameGeometry(), QRect(QPoint(10, 10), QPoint(589, 469)));
        f.action(cmd::Tool800x600)->trigger();
        QCOMPARE(f.frameGeometry(), QRect(QPoint(10, 10), QPoint(789, 589)));
    }

    void withoutAutoStartSizeTheWindowIsNotPlaced()
    {
        guitest::Rig rig;
        rig.settings.writeDword("AutoStartSize", 0);
        QVERIFY(rig.frame().frameGeometry() != QRect(QPoint(10, 10), QPoint(789, 589)));
    }

    void toolbarsAndTheirMenuItems()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.frame();
        showActive(f);
        QVERIFY(f.fileToolbar()->isHidden());
        QVERIFY(!f.varnoToolbar()->isHidden());
        QCOMPARE(f.varnoToolbar()->actions().size(), 10);
        const int expected[] = {32804, 32805, 0, 32806, 32807, 32808, 32811, 32812, 32818, 32824};
        for (int i = 0; i < 10; ++i) {
            QAction* a = f.varnoToolbar()->actions()[i];
            if (expected[i] == 0)
                QVERIFY(a->isSeparator());
            else
                QCOMPARE(a, f.action(expected[i]));
        }
        QVERIFY(!f.action(32804)->icon().isNull());

        QVERIFY(f.action(cmd::VarnoToolbar)->isChecked());
        f.action(cmd::VarnoToolbar)->trigger();
        QVERIFY(f.varnoToolbar()->isHidden());
        QVERIFY(!f.action(cmd::VarnoToolbar)->isChecked());
        f.action(cmd::VarnoToolbar)->trigger();
        QVERIFY(!f.varnoToolbar()->isHidden());
        QVERIFY(f.action(cmd::VarnoToolbar)->isChecked());

        f.action(cmd::ViewToolbar)->trigger();
        QVERIFY(!f.fileToolbar()->isHidden());
        QVERIFY(f.action(cmd::ViewToolbar)->isChecked());
    }

    void hoveredItemShowsItsPromptInTheFirstPane()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.frame();
        showActive(f);
        f.action(cmd::ToolNight)->showStatusText(&f);
        QCOMPARE(f.statusBar()->currentMessage(), QStringLiteral("Use night time colours"));
        f.action(cmd::CheckRegistry)->showStatusText(&f);
        QCOMPARE(f.statusBar()->currentMessage(),
                 QStringLiteral("Creates any missing registry entries and set all entries to defaults"));
    }

    void everyKeyReachesItsCommand()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.frame();
        showActive(f);
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

    void laterFeaturesAreGreyed()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.frame();
        QVERIFY(!f.action(32795)->isEnabled()); // Pocket GPS CSV
        QVERIFY(!f.action(32917)->isEnabled()); // Load trail
        QVERIFY(f.action(cmd::CheckRegistry)->isEnabled());
        QVERIFY(f.action(cmd::CommSettings)->isEnabled());
        QVERIFY(f.action(cmd::RunStart)->isEnabled());
    }

    void nightColoursAfterCheckRegistryRepaintAtOnce()
    {
        guitest::Rig rig(false);
        rig.prompt.script({varno::PromptAnswer::Cancel}); // the first-run question
        rig.session->initialUpdate();
        CMainFrame& f = rig.frame();
        showActive(f);
        f.runCommand(cmd::CheckRegistry);
        QCOMPARE(QString::fromStdString(rig.prompt.texts().back()),
                 QStringLiteral("Registry check finished."));
        QCOMPARE(f.view()->grab().toImage().pixelColor(100, 100), QColor(Qt::white));

        f.action(cmd::NightColours)->trigger();
        QCOMPARE(rig.session->colours().boxText(), 0x009DE800u);
        QCOMPARE(rig.session->colours().boxBackground(), 0x007A1300u);
        QCOMPARE(f.view()->grab().toImage().pixelColor(100, 100), QColor(Qt::black));

        f.action(cmd::ToolDay)->trigger();
        QCOMPARE(rig.session->colours().boxBackground(), 0x0098E500u);
        QCOMPARE(f.view()->grab().toImage().pixelColor(100, 100), QColor(Qt::white));
    }

    void unpluggedReceiverMessageArrivesAsAMessageBox()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.frame();
        // Start on a port that cannot open: the messages go through the prompt.
        f.runCommand(cmd::RunStart);
        QVERIFY(!rig.prompt.texts().empty());
        QCOMPARE(QString::fromStdString(rig.prompt.texts().front()),
                 QStringLiteral("Can't open com port Com1"));
    }

    void shortcutListShowsItsRows()
    {
        ShortcutListDialog dlg;
        QTreeWidget* list = dlg.list();
        QCOMPARE(list->topLevelItemCount(), 27);
        QCOMPARE(list->headerItem()->text(0), QStringLiteral("Function"));
        QCOMPARE(list->headerItem()->text(1), QStringLiteral("Function Key"));
        QCOMPARE(list->headerItem()->text(2), QStringLiteral("Key"));
        QCOMPARE(list->headerItem()->text(3), QStringLiteral("Notes"));
        QCOMPARE(list->topLevelItem(6)->text(0), QStringLiteral("Route view"));
        QCOMPARE(list->topLevelItem(6)->text(1), QStringLiteral("F8"));
        QCOMPARE(list->topLevelItem(6)->text(2), QStringLiteral(","));
        QCOMPARE(list->topLevelItem(26)->text(3), QStringLiteral("Displays the route quick pick dialog."));
    }
};

QTEST_MAIN(TestMainFrame)
#include "test_main_frame.moc"
