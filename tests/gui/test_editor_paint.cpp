// The track editor's background as painted: its pictures of points of
// interest, road pens and the height background through the scene painter.
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QtTest>
#include <cmath>

#include "gui/paint/EditorIcons.h"
#include "gui/paint/ScenePainter.h"
#include "trackedit/Background.h"

using varno::views::IconId;
namespace te = varno::trackedit;

namespace {

te::TrackPoint at(const te::EditorProjection& pr, int x, int y)
{
    const double lat = pr.topLatDeg - (y + 0.5) / (111248.4 * pr.scale);
    return {lat, pr.leftLonDeg + (x + 0.5) / (std::cos(lat * 0.017453292519943295) * 111319.2 * pr.scale)};
}

} // namespace

class TestEditorPaint : public QObject {
    Q_OBJECT
private slots:
    // One picture per class, each its own (a table out of step with the ids
    // would give two classes one picture), none for camera types.
    void everyClassHasItsOwnPicture()
    {
        QSet<QByteArray> seen;
        const auto first = static_cast<int>(varno::views::kFirstEditorIcon);
        for (int i = first; i < first + static_cast<int>(varno::views::kEditorIconCount); ++i) {
            const auto id = static_cast<IconId>(i);
            QVERIFY(isEditorIcon(id));
            const QImage& img = editorIcon(id);
            QCOMPARE(img.size(), QSize(kEditorIconSize, kEditorIconSize));
            const QByteArray bytes(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes());
            QVERIFY2(!seen.contains(bytes), qPrintable(QString::number(i)));
            seen.insert(bytes);
        }
        QVERIFY(!isEditorIcon(IconId::Other));
        QVERIFY(!isEditorIcon(IconId::Mobil));
    }

    // Road pens, an icon at the first point and a height background, through
    // the painter every view uses.
    void backgroundThroughTheScenePainter()
    {
        te::EditorProjection pr;
        pr.width = 400;
        pr.height = 300;
        pr.scale = 1.0;
        std::vector<te::TrackEntry> entries(2);
        entries[0].description = "OSM:1:highway-motorway:";
        entries[0].points = {at(pr, 20, 20), at(pr, 200, 20)};
        entries[1].description = "Node:2:amenity-parking:";
        entries[1].points = {at(pr, 300, 100)};
        for (auto& e : entries) {
            e.loaded = true;
            e.updateExtent();
        }
        varno::views::Scene scene;
        te::SrtmLayer layer;
        layer.tile.size = 1201;
        layer.tile.samples.assign(1201 * 1201, 1); // white everywhere
        layer.divisor = 4;
        te::drawSrtm(scene, layer, 400, 300);
        te::drawTracks(scene, pr, entries, {.icons = true});
        QImage img(400, 300, QImage::Format_RGB32);
        img.fill(Qt::black);
        {
            QPainter p(&img);
            paintScene(p, scene);
        }
        QCOMPARE(img.pixelColor(100, 154), QColor(0, 223, 247)); // the motorway pen over the background
        QCOMPARE(img.pixelColor(100, 100), QColor(Qt::white));   // the background
        QCOMPARE(img.pixelColor(0, 0), QColor(Qt::black));       // row and column 0 stay
        const QImage& parking = editorIcon(IconId::Parking);
        QCOMPARE(img.pixelColor(300 + 10, 234 + 10), parking.pixelColor(10, 10));
    }
};

QTEST_MAIN(TestEditorPaint)
#include "test_editor_paint.moc"
