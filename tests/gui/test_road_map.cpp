// Options > Road map...: a road map built from the corpus extract on a worker, chosen, drawn under the
// camera view, and turned off again; a cancelled build leaves no file.
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include "gui/convert/ConvertRunner.h"
#include "gui/roads/RoadMapCommands.h"
#include "GuiFixture.h"
#include "views/RoadLayer.h"

using namespace guitest;
namespace keys = varno::settings::keys;

namespace {

const QString kExtract = QStringLiteral(VARNO_CORPUS_DIR "/osm/josm/neubrandenburg.osm");

// Pixels of the camera view's map in a road pen's colour.
int roadPixels(const QImage& img, varno::roads::RoadClass k)
{
    const QColor pen = QColor(qRgb(varno::views::roadPen(k, false).colour & 0xFF,
                                   varno::views::roadPen(k, false).colour >> 8 & 0xFF,
                                   varno::views::roadPen(k, false).colour >> 16 & 0xFF));
    int n = 0;
    for (int y = 124; y < 413; ++y)
        for (int x = 2; x < 378; ++x)
            n += img.pixelColor(x, y) == pen;
    return n;
}

} // namespace

class TestRoadMap : public QObject {
    Q_OBJECT
private slots:
    void builtFromAnExtractChosenDrawnAndTurnedOff()
    {
        if (!QFileInfo::exists(kExtract))
            QSKIP("the corpus extract is not here");
        Rig rig;
        RoadMapCommands commands(*rig.session, &rig.frame());
        const QString map = rig.dir.path() + "/nb.roads.sqlite";
        QCOMPARE(proposedRoadMapName(QStringLiteral("/maps/mecklenburg.osm.pbf")),
                 QStringLiteral("/maps/mecklenburg.roads.sqlite"));
        commands.dialogs.open = [&](QWidget*, const FileRequest&) { return kExtract; };
        QString proposed;
        commands.dialogs.save = [&](QWidget*, const FileRequest& r) {
            proposed = r.proposedName;
            return map;
        };
        QVERIFY(whileShown<RoadMapDialog>([&] { commands.showDialog(); },
                                          [&](RoadMapDialog& d) {
                                              d.buildFromExtract();
                                              QCOMPARE(d.file()->text(), map);
                                              d.accept();
                                          }));
        QCOMPARE(proposed, QStringLiteral("neubrandenburg.roads.sqlite"));
        QVERIFY(rig.session->roadMapOpen());
        QCOMPARE(rig.settings.read(keys::RoadMapFile).value_or(""), map.toStdString());
        QVERIFY(!rig.prompt.texts().empty());
        QVERIFY(QString::fromStdString(rig.prompt.texts().back()).startsWith("Road map: "));

        // On Ihlenfelder Straße at a 1 km radius: the roads are drawn in the map, the cross-hair over them.
        rig.session->decoder().Latitude = 53.5735;
        rig.session->decoder().Longitude = 13.2870;
        rig.session->cameraWarner().scale.MapRadius = 1000.0;
        CVARNOView view(*rig.session);
        view.resize(800, 520);
        rig.session->road().mailbox().offer(rmc(0.0, true)); // the fix stays where it is
        const QImage img = render(view);
        QVERIFY(roadPixels(img, varno::roads::RoadClass::Secondary) > 100);
        QVERIFY(roadPixels(img, varno::roads::RoadClass::Residential) > 100);
        QCOMPARE(img.pixelColor(1 + 183, 123 + 60), QColor(Qt::white)); // the cross-hair's arm

        // None, OK: no road map, the map black again.
        QVERIFY(whileShown<RoadMapDialog>([&] { commands.showDialog(); },
                                          [&](RoadMapDialog& d) {
                                              d.file()->clear();
                                              d.accept();
                                          }));
        QVERIFY(!rig.session->roadMapOpen());
        QCOMPARE(rig.settings.read(keys::RoadMapFile).value_or("?"), std::string());
        rig.session->road().mailbox().offer(rmc(0.0, true));
        QCOMPARE(roadPixels(render(view), varno::roads::RoadClass::Residential), 0);
    }

    void aCancelledBuildLeavesNoFileAndKeepsTheName()
    {
        if (!QFileInfo::exists(kExtract))
            QSKIP("the corpus extract is not here");
        Rig rig;
        RoadMapCommands commands(*rig.session, &rig.frame());
        const QString map = rig.dir.path() + "/cancelled.sqlite";
        commands.dialogs.open = [&](QWidget*, const FileRequest&) { return kExtract; };
        commands.dialogs.save = [&](QWidget*, const FileRequest&) { return map; };
        conversionProgressShown = [](QWidget* w) {
            for (auto* b : w->findChildren<QPushButton*>())
                b->click();
        };
        QString named = QStringLiteral("?");
        QVERIFY(whileShown<RoadMapDialog>([&] { commands.showDialog(); },
                                          [&](RoadMapDialog& d) {
                                              d.buildFromExtract();
                                              named = d.file()->text();
                                              d.reject();
                                          }));
        QCOMPARE(named, QString());
        conversionProgressShown = nullptr;
        QVERIFY(!QFileInfo::exists(map));
        QCOMPARE(rig.prompt.texts().back(), std::string(varno::kCancelled));
        QVERIFY(!rig.session->roadMapOpen());
    }
};

QTEST_MAIN(TestRoadMap)
#include "test_road_map.moc"
