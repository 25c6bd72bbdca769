// The POI view, the compass rose and the trail view as painted, driven by their keys; the POI
// dialogs and the trail commands.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <cmath>

#include "gui/convert/ConvertRunner.h"
#include "gui/poi/PoiDialogs.h"
#include "gui/routes/TrailCommands.h"
#include "GuiFixture.h"
#include "session/CommandTable.h"

using namespace guitest;
using varno::session::CommandId;

namespace {

void press(QWidget* w, std::string_view token)
{
    const QKeyCombination k = CMainFrame::keySequence(token)[0];
    QTest::keyClick(w, k.key(), k.keyboardModifiers());
}

// Whether any pixel within 1 of (x, y) has the colour.
bool near(const QImage& img, int x, int y, const QColor& c)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (img.pixelColor(x + dx, y + dy) == c)
                return true;
    return false;
}

// Pixels in r that pick takes.
int countIn(const QImage& img, const QRect& r, const std::function<bool(const QColor&)>& pick)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += pick(img.pixelColor(x, y));
    return n;
}

bool isWhite(const QColor& c)
{
    return c == Qt::white;
}

// White text, its smoothed edges included.
bool isBright(const QColor& c)
{
    return c.red() > 150 && c.green() > 150 && c.blue() > 150;
}

const QColor kInner(0, 193, 230);

void writePois(Rig& rig)
{
    QDir().mkpath(rig.dir.path() + "/POI");
    // 1 km east of the fix, and one far away.
    const double lon = kFixLon + 1000.0 / (std::cos(kFixLat * 0.017453292519943295) * 111319.2);
    varno::test::writeBytes((rig.dir.path() + "/POI/fuel.txt").toStdString(),
                            QString::asprintf("%.9f,%.6f,Fuel\n1.5,52.5,Far\n", lon, kFixLat).toStdString());
    varno::test::writeBytes((rig.dir.path() + "/POI/other.txt").toStdString(), "");
    rig.store.setString(varno::settings::kPoiFilesKey, "POIFile1", "fuel.txt");
}

} // namespace

class TestHeadingViews : public QObject {
    Q_OBJECT
private slots:
    // F7 loads the POIs around the fix and draws a white star and label 1 km east (85 pixels at 2 km).
    void poiViewDrawsLabelledStars()
    {
        Rig rig;
        writePois(rig);
        atTheFix(rig);
        rig.session->cameraWarner().scale.MapRadius = 2000.0;
        CMainFrame& f = rig.shownFrame();
        press(f.view(), "F7");
        QCOMPARE(f.windowTitle(), QStringLiteral("VARNO POI View"));
        QCOMPARE(rig.session->poiList().points().size(), std::size_t{1});
        QVERIFY(f.action(CommandId::NearPoiList)->isEnabled() &&
                f.action(CommandId::SelectPoiFiles)->isEnabled());
        CVARNOView view(*rig.session);
        view.resize(800, 520);
        rig.session->road().mailbox().offer(rmc(0.0, true));
        const QImage img = render(view);
        QCOMPARE(img.pixelColor(5, 130), QColor(Qt::black));
        const QRect star(180 + 85, 253, 60, 20);
        QVERIFY(countIn(img, star, isWhite) > 20);
        QCOMPARE(countIn(img, QRect(180 - 60, 253 - 60, 40, 40), isWhite), 0);
        // The cross-hair as in the route view.
        QCOMPARE(img.pixelColor(1 + 183, 123 + 130), kInner);

        NearPoiListDialog dlg(rig.session->poiList(), rig.session->decoder().fix().position);
        QCOMPARE(dlg.list()->topLevelItemCount(), 2);
        QCOMPARE(dlg.list()->topLevelItem(0)->text(2), QStringLiteral("Fuel"));
        QCOMPARE(dlg.list()->topLevelItem(1)->text(2), QString());
    }

    // F9: the rose's centre and heading mark; at a steady course of 90 degrees the long tick of
    // 10 degrees comes round to where 280 degrees is on a rose pointing north.
    void compassRoseTurnsToTheCourse()
    {
        Rig rig;
        CMainFrame& f = rig.shownFrame();
        press(f.view(), "F9");
        QCOMPARE(f.windowTitle(), QStringLiteral("VARNO Compass View"));
        CVARNOView view(*rig.session);
        view.resize(800, 520);
        rig.session->road().mailbox().offer(rmc(10.0));
        QImage img = render(view);
        QCOMPARE(img.pixelColor(174, 168 + 122), kInner); // the rose's centre
        QCOMPARE(img.pixelColor(174, 50 + 122), kInner);  // the heading mark
        for (int i = 0; i < 30; ++i)
            img = render(view);
        QVERIFY(std::abs(rig.session->road().displayedHeading() - 90.0) < 1e-3);
        const double t = (90.0 - 280.0) * M_PI / 180.0;
        const int x = static_cast<int>(174 + 140 * std::cos(t)),
                  y = static_cast<int>(170 - 140 * std::sin(t));
        QVERIFY(near(img, x, y + 122, Qt::white));
        // Where the same tick stood with the rose pointing north there is none now.
        const double t0 = (90.0 - 10.0) * M_PI / 180.0;
        QVERIFY(!near(img, static_cast<int>(174 + 140 * std::cos(t0)),
                      static_cast<int>(170 - 140 * std::sin(t0)) + 122, Qt::white));
        // The pointer view has the same rose.
        press(f.view(), ".");
        QCOMPARE(f.windowTitle(), QStringLiteral("VARNO Pointer View"));
        QCOMPARE(render(view).pixelColor(174, 168 + 122), kInner);
    }

    // A route label beside the panel stops short of it: above y 145 of the image, labels end at x 600.
    void pointerLabelsStopAtThePanel()
    {
        Rig rig;
        QDir().mkpath(rig.dir.path() + "/Route");
        // 1529 m east and 928 m north: the label starts at (560, 140) of the image.
        const double lat = kFixLat + 928.0 / 111248.4;
        const double lon = kFixLon + 1529.0 / (std::cos(lat * 0.017453292519943295) * 111319.2);
        varno::test::writeBytes(
            (rig.dir.path() + "/Route/trip.csv").toStdString(),
            QString::asprintf("%.6f,%.6f,A label long enough to run under the panel,Road\n", lon, lat)
                .toStdString());
        rig.session->routes().load("C:\\VARNO\\Route\\trip.csv");
        atTheFix(rig);
        CMainFrame& f = rig.shownFrame();
        press(f.view(), ".");
        CVARNOView view(*rig.session);
        view.resize(800, 520);
        rig.session->road().mailbox().offer(rmc(0.0, true));
        const QImage img = render(view);
        const QRect label(560, 140 + 122, 40, 18), underPanel(600, 142 + 122, 150, 14);
        QVERIFY(countIn(img, label, isBright) > 10);
        QCOMPARE(countIn(img, underPanel, isBright), 0);
    }

    // Trail menu: the loaded trail's first vertex at the trail view's map centre, in its pen.
    void trailLoadsDrawsAndUnloads()
    {
        Rig rig;
        const QString gpx = rig.dir.path() + "/trail.gpx";
        varno::test::writeBytes(
            gpx.toStdString(), "<gpx><rte><rtept lat=\"51.5\" lon=\"0.5\"/><rtept lat=\"51.5\" lon=\"0.51\"/>"
                               "<rtept lat=\"51.51\" lon=\"0.51\"/></rte></gpx>");
        atTheFix(rig); // the first route point
        CMainFrame& f = rig.shownFrame();
        auto* commands = f.findChild<TrailCommands*>(QStringLiteral("trailCommands"));
        QVERIFY(commands);
        QString asked;
        commands->dialogs.open = [&](QWidget*, const FileRequest& r) {
            asked = r.folder;
            return gpx;
        };
        QVERIFY(f.action(CommandId::TrailLoad)->isEnabled());
        f.action(CommandId::TrailLoad)->trigger();
        QCOMPARE(asked, rig.dir.path() + "/Trail/");
        QCOMPARE(rig.prompt.texts().back(), std::string("Loaded the trail GPX.\nnumber of points found 3."));

        // A large file is read off the UI thread; Cancel keeps the trail loaded before.
        const QString big = rig.dir.path() + "/big.gpx";
        std::string bigText = "<gpx><trk><trkseg>";
        for (int i = 0; i < 20000; ++i)
            bigText += "<trkpt lat=\"51.6\" lon=\"0.6\"/>\n";
        varno::test::writeBytes(big.toStdString(), bigText + "</trkseg></trk></gpx>");
        commands->dialogs.open = [&](QWidget*, const FileRequest&) { return big; };
        conversionProgressShown = [](QWidget* w) {
            for (auto* b : w->findChildren<QPushButton*>())
                b->click();
        };
        f.action(CommandId::TrailLoad)->trigger();
        conversionProgressShown = nullptr;
        QCOMPARE(rig.prompt.texts().back(), std::string(varno::views::kTrailLoadCancelledMessage));
        QVERIFY(rig.session->gpxTrail());
        QCOMPARE(rig.session->gpxTrail()->pointCount(), std::size_t{3});
        f.activateWindow(); // the progress bar had the focus
        QVERIFY(QTest::qWaitForWindowActive(&f));

        press(f.view(), "/");
        QCOMPARE(f.windowTitle(), QStringLiteral("VARNO Trail View"));
        CVARNOView view(*rig.session);
        view.resize(800, 520);
        rig.session->road().mailbox().offer(rmc(0.0));
        const QColor pen(0xD8, 0x9C, 0x5E);
        QImage img = render(view);
        QCOMPARE(img.pixelColor(385, 149 + 199), pen);
        QCOMPARE(img.pixelColor(385, 149 + 199 + 10), QColor(Qt::black));
        // The text boxes above the image, in the panel colours.
        QCOMPARE(img.pixelColor(1, 123), QColor(190, 190, 190));

        f.action(CommandId::TrailUnload)->trigger();
        QCOMPARE(rig.prompt.texts().back(), std::string("The trail has been unloaded from memory"));
        img = render(view);
        QVERIFY(img.pixelColor(385, 149 + 199) != pen);

        commands->dialogs.open = [](QWidget*, const FileRequest&) { return QString(); };
        f.action(CommandId::TrailLoad)->trigger();
        QCOMPARE(rig.prompt.texts().back(), std::string("Please choose a Gpolyline GPX route file."));
    }

    // The selection dialog lists the folder, moves names and stores what exists.
    void selectPoiFilesStoresTheSelection()
    {
        Rig rig;
        writePois(rig);
        rig.settings.write(varno::settings::keys::POIFileNameCount, 1u);
        SelectPoiFilesDialog dlg(*rig.session);
        QCOMPARE(dlg.selected()->count(), 1);
        QCOMPARE(dlg.available()->count(), 1);
        QCOMPARE(dlg.available()->item(0)->text(), QStringLiteral("other.txt"));
        dlg.button(QStringLiteral("Add all"))->click();
        QCOMPARE(dlg.selected()->count(), 2);
        dlg.button(QStringLiteral("OK"))->click();
        QCOMPARE(rig.settings.read(varno::settings::keys::POIFileNameCount), 2);
        QCOMPARE(rig.store.get(varno::settings::kPoiFilesKey, "POIFile2")->text, std::string("other.txt"));
    }

    // Manual Location: a step button moves the field and the fix.
    void manualLocationStepsTheFix()
    {
        Rig rig;
        atTheFix(rig);
        CVARNOView view(*rig.session);
        ManualLocationDialog dlg(*rig.session, &view);
        QCOMPARE(dlg.latitude()->text(), QStringLiteral("51.500000"));
        dlg.button(QStringLiteral("N &8"))->click();
        dlg.button(QStringLiteral("&w"))->click();
        QCOMPARE(dlg.latitude()->text(), QStringLiteral("51.600000"));
        QCOMPARE(dlg.longitude()->text(), QStringLiteral("0.490000"));
        QCOMPARE(rig.session->decoder().Latitude, 51.6);
        QCOMPARE(rig.session->decoder().Longitude, 0.49);
    }
};

QTEST_MAIN(TestHeadingViews)
#include "test_heading_views.moc"
