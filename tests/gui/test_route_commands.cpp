// Routes in the window: the route view, the pick list, the route file and route points dialogs, driven
// by keys and clicks.
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "gui/options/StartTimeDialog.h"
#include "gui/routes/RouteCommands.h"
#include "gui/routes/RouteDialogs.h"
#include "gui/routes/ScreenAgent.h"
#include "GuiFixture.h"
#include "session/CommandTable.h"

using namespace guitest;
using varno::session::CommandId;
namespace keys = varno::settings::keys;

namespace {

// A route file in the data folder's Route folder, with points north of the test fix [m].
QString writeRoute(Rig& rig, const QString& name, const QString& comments,
                   std::initializer_list<double> north)
{
    QDir(rig.dir.path()).mkpath(QStringLiteral("Route"));
    QString text = comments;
    int n = 0;
    for (double m : north) {
        ++n;
        text += QString::asprintf("%.6f,%.6f,Turn %d,A%d\n", kFixLon, kFixLat + m / 111248.4, n, n);
    }
    const QString path = rig.dir.path() + "/Route/" + name;
    varno::test::writeBytes(path.toStdString(), text.toStdString());
    return path;
}

RouteCommands* routeCommands(CMainFrame& f)
{
    return f.findChild<RouteCommands*>(QStringLiteral("routeCommands"));
}

// Runs `act` on the dialog once its event loop runs.
template <class D> void whenShown(CMainFrame& f, std::function<void(D&)> act)
{
    routeCommands(f)->beforeExec = [act](QDialog& dlg) {
        QTimer::singleShot(0, &dlg, [&dlg, act] { act(dynamic_cast<D&>(dlg)); });
    };
}

} // namespace

class TestRouteCommands : public QObject {
    Q_OBJECT

private slots:
    // F8 shows the route view: the labels of the points in the map square, the nearest and next lines,
    // white on the black map.
    void routeViewDrawsTheRouteAroundTheFix()
    {
        Rig rig;
        rig.settings.write(keys::RouteName,
                           writeRoute(rig, "r.csv", ";Trip\n", {500.0, 9000.0}).toStdString());
        CMainFrame& f = rig.shownFrame();
        f.runCommand(CommandId::Scr800x700);
        rig.session->routes().reloadCurrent();
        rig.session->road().mailbox().offer(rmc(0.0));
        atTheFix(rig);
        QTest::keyClick(f.view(), Qt::Key_F8);
        QCOMPARE(f.windowTitle(), QStringLiteral("VARNO Route View"));
        const QImage img = render(*f.view());
        const auto& scene = f.view()->lastScene();
        QCOMPARE(scene.textAt(10, 420)->text, std::string("1 - 0.500 km Turn 1,A1"));
        // 500 m north at 4 km: 15.6 pixels above the label centre; 9 km is off the map.
        QCOMPARE(scene.textsIn({1, 123, 580, 400}).size(), std::size_t{1});
        QCOMPARE(scene.textAt(180, 237)->text, std::string("* 1 Turn 1,A1"));
        QCOMPARE(img.pixelColor(700, 450), QColor(Qt::black));
    }

    // R opens the pick list: a digit typed picks its slot, which becomes the route; a never-set slot
    // reads "No file" after its message; Change replaces only its own row.
    void pickListPicksByDigitAndChangesOneRow()
    {
        Rig rig;
        const QString five = writeRoute(rig, "five.csv", ";First\n;Second\n", {100.0});
        rig.settings.write(keys::RoutePick[4], five.toStdString());
        for (std::size_t slot : {2u, 7u})
            rig.store.deleteValue(varno::settings::kVarnoKey, keys::RoutePick[slot].name());
        CMainFrame& f = rig.shownFrame();
        QStringList rows;
        whenShown<RoutePickDialog>(f, [&rows](RoutePickDialog& d) {
            for (int i = 0; i < d.list()->count(); ++i)
                rows << d.list()->item(i)->text();
            QTest::keyClicks(d.keyEdit(), QStringLiteral("x5"));
        });
        QTest::keyClick(f.view(), Qt::Key_R);
        QCOMPARE(rows.size(), 9);
        QCOMPARE(rows[4], QStringLiteral("Second"));
        QCOMPARE(rows[2], QStringLiteral("No file"));
        QCOMPARE(rig.prompt.texts(),
                 (std::vector<std::string>{"Unable read the RoutePick3 file name from the registry.",
                                           "Unable read the RoutePick8 file name from the registry."}));
        QCOMPARE(rig.settings.read(keys::RouteName), std::optional<std::string>(five.toStdString()));
        QCOMPARE(rig.session->routes().route().points().size(), std::size_t{1});

        // Change slot 7, then pick it with its number button.
        const QString seven = writeRoute(rig, "seven.csv", "", {200.0, 300.0});
        routeCommands(f)->dialogs.open = [seven](QWidget*, const FileRequest&) { return seven; };
        QStringList after;
        whenShown<RoutePickDialog>(f, [&after](RoutePickDialog& d) {
            d.findChild<QPushButton*>(QStringLiteral("change7"))->click();
            for (int i = 0; i < d.list()->count(); ++i)
                after << d.list()->item(i)->text();
            d.findChild<QPushButton*>(QStringLiteral("pick7"))->click();
        });
        f.runCommand(CommandId::RoutePicker);
        QCOMPARE(after[6], seven);
        QCOMPARE(after[4], QStringLiteral("Second"));
        QCOMPARE(after[7], QStringLiteral("No file"));
        QCOMPARE(rig.session->routes().route().points().size(), std::size_t{2});

        // Cancel loads nothing.
        whenShown<RoutePickDialog>(f, [](RoutePickDialog& d) { d.reject(); });
        rig.settings.write(keys::RouteName, "");
        f.runCommand(CommandId::RoutePicker);
        QCOMPARE(rig.settings.read(keys::RouteName), std::optional<std::string>(""));
    }

    // "Select route file": Browse fills the field, OK stores it and the route loads; the points list
    // shows the route's rows, its file and its route name.
    void routeFileDialogStoresAndLoadsAndThePointsListShowsIt()
    {
        Rig rig;
        CMainFrame& f = rig.shownFrame();
        QString emptyRow;
        whenShown<RoutePointsDialog>(f, [&emptyRow](RoutePointsDialog& d) {
            emptyRow = d.list()->topLevelItem(0)->text(0);
            d.accept();
        });
        f.runCommand(CommandId::RoutePointsList);
        QCOMPARE(emptyRow, QStringLiteral("Route list is empty"));

        const QString path = writeRoute(rig, "trip.csv", ";Morning\n;Other\n", {1000.0, 2000.0});
        routeCommands(f)->dialogs.open = [path](QWidget*, const FileRequest&) { return path; };
        whenShown<SelectRouteFileDialog>(f, [](SelectRouteFileDialog& d) {
            d.findChild<QPushButton*>(QStringLiteral("browse"))->click();
            QTest::keyClick(d.nameEdit(), Qt::Key_Return);
        });
        f.runCommand(CommandId::SelectRouteFile);
        QCOMPARE(rig.settings.read(keys::RouteName), std::optional<std::string>(path.toStdString()));
        QCOMPARE(rig.session->routes().route().points().size(), std::size_t{2});

        atTheFix(rig);
        QStringList cells;
        QString file, name;
        whenShown<RoutePointsDialog>(f, [&](RoutePointsDialog& d) {
            QCOMPARE(d.list()->topLevelItemCount(), 2);
            for (int c = 0; c < 6; ++c)
                cells << d.list()->topLevelItem(1)->text(c);
            file = d.fileLabel();
            name = d.nameLabel();
            d.accept();
        });
        f.runCommand(CommandId::RoutePointsList);
        QCOMPARE(file, path);
        QCOMPARE(name, QStringLiteral("Morning"));
        // The list's own flat measure: 110946 m to a degree north, where the map uses 111248.
        QCOMPARE(cells, (QStringList{"2", "1.995 km", QString::asprintf("%.6f", kFixLat + 2000.0 / 111248.4),
                                     "0.500000", "Turn 2", "A2"}));
    }

    // Z, X and C store the road type; 0 speaks the nearest point through the agent.
    void roadTypeKeysAndSpeakKey()
    {
        Rig rig;
        rig.settings.write(keys::RouteName, writeRoute(rig, "r.csv", "", {250.0}).toStdString());
        CMainFrame& f = rig.shownFrame();
        f.runCommand(CommandId::Scr800x700);
        rig.session->routes().reloadCurrent();
        atTheFix(rig);
        QTest::keyClick(f.view(), Qt::Key_Z);
        QCOMPARE(rig.settings.read(keys::RouteMotorway), 1);
        QCOMPARE(rig.settings.read(keys::RouteCountry), 0);
        QTest::keyClick(f.view(), Qt::Key_C);
        QCOMPARE(rig.settings.read(keys::RouteTown), 1);
        QCOMPARE(rig.settings.read(keys::RouteMotorway), 0);
        QTest::keyClick(f.view(), Qt::Key_F8);
        QTest::keyClick(f.view(), Qt::Key_0);
        QTRY_VERIFY(!rig.session->routes().guidance().speakRequested());
    }

    // The Start Time Options "Picker" takes the picked slot's route file into its timer's field.
    void startTimePickerTakesAPickListEntry()
    {
        Rig rig;
        rig.settings.write(keys::RoutePick[3], "C:\\VARNO\\Route\\four.csv");
        StartTimeDialog dlg(rig.settings, rig.dir.path());
        dlg.setDataRoot(rig.dir.path().toStdString());
        dlg.beforePick = [](RoutePickDialog& pick) {
            QTimer::singleShot(0, &pick,
                               [&pick] { pick.findChild<QPushButton*>(QStringLiteral("pick4"))->click(); });
        };
        dlg.findChild<QPushButton*>(QStringLiteral("picker2"))->click();
        QCOMPARE(dlg.route(1).file->text(), QStringLiteral("C:\\VARNO\\Route\\four.csv"));
        QCOMPARE(dlg.route(0).file->text(), QString());
    }

    // The on-screen agent: an .acs name loads the bundled character, which shows its bubble while its
    // words go to the voice queue; a file it cannot read gives "MSAgent load failed" and no character.
    void screenAgentShowsTheBubbleAndSpeaksThroughTheVoiceQueue()
    {
        struct Voice final : varno::cameras::VoicePlayer {
            void play(const std::string& path) override { played.push_back(path); }
            void speak(const std::string& text) override { said.push_back(text); }
            std::vector<std::string> played, said;
        } voice;
        Rig rig;
        QWidget view;
        view.resize(800, 600);
        view.show();
        ScreenAgent agent(&voice, QStringLiteral(VARNO_TEST_DATA_DIR "/../../data/agent/owl.txt"));
        agent.attach(&view);
        varno::speech::AgentControl control(agent, rig.settings, rig.prompt,
                                            [] { return varno::speech::RoadFlags{}; });
        control.speak("Turn left A43 512 metres");
        QVERIFY(agent.shown());
        QCOMPARE(agent.bubbleText(), QStringLiteral("Turn left A43 512 metres"));
        // The character's top left 100 pixels plus its width left of the view's right edge and 200
        // above its bottom, following the view; inside a view too small for that.
        for (const QSize size : {QSize(800, 600), QSize(1000, 700), QSize(120, 150)}) {
            view.resize(size);
            const QRect c = agent.characterRect();
            QVERIFY(!c.isEmpty());
            QCOMPARE(c.topLeft(),
                     QPoint(std::max(0, size.width() - c.width() - 100), std::max(0, size.height() - 200)));
        }
        QCOMPARE(voice.said, (std::vector<std::string>{"Route country mode", "Turn left A43 512 metres"}));
        QVERIFY(rig.prompt.texts().empty());

        rig.settings.write(keys::MSAgentACS, (rig.dir.path() + "/missing.txt").toStdString());
        control.load({});
        QCOMPARE(rig.prompt.texts().back(), std::string("MSAgent load failed"));
        QVERIFY(!agent.hasCharacter() && !agent.shown());
    }
    // In the program's view the character stands only in the views that guide (hidden in the camera
    // and compass views) and scales with the view when Scale to Window is on.
    void screenAgentStandsOnlyInGuidingViewsAndScalesWithTheView()
    {
        Rig rig;
        CMainFrame& f = rig.shownFrame();
        CVARNOView* view = f.view();
        ScreenAgent agent(nullptr, QStringLiteral(VARNO_TEST_DATA_DIR "/../../data/agent/owl.txt"));
        agent.attach(view);
        agent.setStage([view](QSize character) { return view->agentSpot(character); });
        varno::speech::AgentControl(agent, rig.settings, rig.prompt, [] {
            return varno::speech::RoadFlags{};
        }).speak("Turn left");
        QTest::qWait(50);
        QVERIFY(agent.hasCharacter() && !agent.shown());
        f.runCommand(CommandId::RouteView);
        QTRY_VERIFY(agent.shown() && agent.characterRect().size() == QSize(64, 64));
        view->setScaleWithWindow(true);
        f.resize(1600, 1200);
        QTRY_VERIFY(view->lastScale().factor > 1.5);
        QTRY_COMPARE(agent.characterRect().width(), int(64 * view->lastScale().factor + 0.5));
        QVERIFY(view->rect().contains(agent.characterRect()));
        f.runCommand(CommandId::CompassView);
        QTRY_VERIFY(!agent.shown());
    }

    // "Route options": the boxes show the stored values, OK writes all five; by either button the route
    // labels take the stored label values.
    void routeOptionsWritesTheFiveAndRereadsTheLabels()
    {
        Rig rig;
        rig.settings.write(keys::DisplayRouteText1, false);
        rig.settings.write(keys::Exclude, true);
        CMainFrame& f = rig.shownFrame();
        QList<bool> shown;
        whenShown<RouteOptionsDialog>(f, [&shown](RouteOptionsDialog& d) {
            for (int i = 0; i < 5; ++i)
                shown << d.box(i)->isChecked();
            d.box(0)->click();
            d.box(3)->click();
            d.accept();
        });
        f.runCommand(CommandId::RouteOptions);
        QCOMPARE(shown, (QList<bool>{true, false, true, true, true}));
        QCOMPARE(rig.settings.read(keys::DisplayRouteNumber), 0);
        QCOMPARE(rig.settings.read(keys::Exclude), 0);
        QCOMPARE(rig.settings.read(keys::SayExcluded), 1);
        auto flags = rig.session->routes().labelFlags();
        QVERIFY(!flags.number && !flags.text1 && flags.text2);

        // Cancel writes nothing but the labels still follow the settings.
        rig.settings.write(keys::DisplayRouteNumber, true);
        whenShown<RouteOptionsDialog>(f, [](RouteOptionsDialog& d) {
            d.box(2)->click();
            d.reject();
        });
        f.runCommand(CommandId::RouteOptions);
        flags = rig.session->routes().labelFlags();
        QVERIFY(flags.number && !flags.text1 && flags.text2);
        QCOMPARE(rig.settings.read(keys::DisplayRouteText2), 1);
    }

    // "Route MSAgent options": a loaded character goes before it opens; Select MSAgent fills the field;
    // one road type at most; OK writes the file and the five flags, which the guidance then uses.
    void agentOptionsUnloadsAndWritesTheRoadType()
    {
        Rig rig;
        rig.settings.write(keys::RouteUseMSAgent, false);
        rig.settings.write(keys::MSAgentSound, true);
        CMainFrame& f = rig.shownFrame();
        f.runCommand(CommandId::AgentLoad);
        QVERIFY(rig.session->routes().agent().loaded());
        const QString acs = rig.dir.path() + "/Owl.acs";
        routeCommands(f)->dialogs.open = [acs](QWidget*, const FileRequest&) { return acs; };
        bool loadedWhileOpen = true;
        QList<bool> roads;
        whenShown<RouteAgentDialog>(f, [&](RouteAgentDialog& d) {
            loadedWhileOpen = rig.session->routes().agent().loaded();
            for (QPushButton* b : d.findChildren<QPushButton*>())
                if (b->text() == QStringLiteral("Select MSAgent"))
                    b->click();
            d.town()->click();
            d.motorway()->click();
            roads << d.motorway()->isChecked() << d.country()->isChecked() << d.town()->isChecked();
            d.enable()->click();
            d.sound()->click();
            d.accept();
        });
        f.runCommand(CommandId::RouteAgentOptions);
        QVERIFY(!loadedWhileOpen);
        QCOMPARE(roads, (QList<bool>{true, false, false}));
        QCOMPARE(rig.settings.read(keys::MSAgentACS), std::optional<std::string>(acs.toStdString()));
        QList<int> flags;
        for (const auto* key : {&keys::RouteMotorway, &keys::RouteCountry, &keys::RouteTown,
                                &keys::RouteUseMSAgent, &keys::MSAgentSound})
            flags << rig.settings.read(*key);
        QCOMPARE(flags, (QList<int>{1, 0, 0, 1, 0}));
        QCOMPARE(rig.session->routes().guidance().roadFlags(),
                 (varno::speech::RoadFlags{.motorway = true, .country = false, .town = false}));
    }

    // "Route Excluded List": the names of the route's exclusion lines, or the one "none" row.
    void excludedListShowsTheRoutesExclusions()
    {
        Rig rig;
        CMainFrame& f = rig.shownFrame();
        QStringList rows;
        whenShown<ExcludedCamerasDialog>(f, [&rows](ExcludedCamerasDialog& d) {
            for (int i = 0; i < d.list()->topLevelItemCount(); ++i)
                rows << d.list()->topLevelItem(i)->text(0);
            d.accept();
        });
        f.runCommand(CommandId::RouteExcludedList);
        QCOMPARE(rows, QStringList{"There are no excluded cameras."});

        rig.settings.write(keys::SayExcluded, false);
        rig.settings.write(
            keys::RouteName,
            writeRoute(rig, "x.csv", ";Trip\n: Newbury Gatso :\n:m4 j12\n", {100.0}).toStdString());
        rig.session->routes().reloadCurrent();
        rows.clear();
        f.runCommand(CommandId::RouteExcludedList);
        QCOMPARE(rows, (QStringList{"Newbury Gatso", "m4 j12"}));
    }

    // "Snap to route": the fix stands on each route point in turn, heading north, and stays on the last;
    // no route name or an unreadable file only says so.
    void snapToRouteVisitsEachPoint()
    {
        Rig rig;
        CMainFrame& f = rig.shownFrame();
        rig.settings.write(keys::RouteName, "");
        f.runCommand(CommandId::SnapToRoute);
        rig.settings.write(keys::RouteName, (rig.dir.path() + "/none.csv").toStdString());
        f.runCommand(CommandId::SnapToRoute);
        QCOMPARE(rig.prompt.texts(),
                 (std::vector<std::string>{
                     "You do not have a default route file selected.\nSelect a route file and then try Snap "
                     "To again.",
                     "Error can't open the route file\n" + (rig.dir.path() + "/none.csv").toStdString()}));

        rig.settings.write(keys::RouteName,
                           writeRoute(rig, "s.csv", ";Trip\n:cam\n", {1000.0, 2000.0, 3000.0}).toStdString());
        rig.session->decoder().Course = 90.0;
        struct Painted : QObject {
            Rig* rig;
            QList<double> lats;
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::Paint)
                    lats << rig->session->decoder().Latitude;
                return false;
            }
        } painted;
        painted.rig = &rig;
        f.view()->installEventFilter(&painted);
        f.runCommand(CommandId::SnapToRoute);
        f.view()->removeEventFilter(&painted);
        QCOMPARE(painted.lats.size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(painted.lats[i],
                     QString::asprintf("%.6f", kFixLat + (i + 1) * 1000.0 / 111248.4).toDouble());
        QCOMPARE(rig.session->decoder().Latitude, painted.lats.back());
        QCOMPARE(rig.session->decoder().Longitude, kFixLon);
        QCOMPARE(rig.session->decoder().Course, 0.0);
    }
};

QTEST_MAIN(TestRouteCommands)
#include "test_route_commands.moc"
