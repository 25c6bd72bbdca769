// The camera view as painted (the map, its letters, the type icons, the trail), and the painter's other
// items.
#include <QPainter>

#include "CameraTypeIcons.h"
#include "ScenePainter.h"
#include "GuiFixture.h"
#include "views/CameraViewScene.h"

using namespace guitest;
using varno::views::BoxId;
using varno::views::IconId;

namespace {

constexpr int kMapLeft = 1, kMapTop = 123, kMapRight = 379, kMapBottom = 414;

// The view after one sentence that fails its checksum: the fix stays where the test put it.
QImage paintAfterSentence(Rig& rig, CVARNOView& view, const std::string& sentence = rmc(0.0, true))
{
    rig.session->mailbox().offer(sentence);
    return render(view);
}

bool sameAsIcon(const QImage& img, int x, int y, IconId cls)
{
    return img.copy(x, y, kCameraIconSize, kCameraIconSize) ==
           cameraTypeIcon(cls).convertToFormat(QImage::Format_RGB32);
}

QColor boxBackground(Rig& rig)
{
    const std::uint32_t c = rig.session->colours().boxBackground();
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

} // namespace

class TestCameraView : public QObject {
    Q_OBJECT
private slots:
    void mapIsBlackWithWhiteLettersOnlyWhereCamerasAre()
    {
        Rig rig;
        // Loaded within 4 km, shown at a 2 km radius: 1 km east is 85 pixels right
        // of the letter origin; the other two are listed but outside the square.
        placeCameras(rig, {{1000.0, 0.0, "GATSO"}, {2500.0, 0.0, "MOBILE"}, {0.0, -2100.0, "TEMPO"}});
        rig.session->cameraWarner().scale.MapRadius = 2000.0;
        CVARNOView view(*rig.session);
        view.resize(800, 520);
        const QImage img = paintAfterSentence(rig, view);
        QCOMPARE(img.pixelColor(kMapLeft, kMapTop), QColor(Qt::black));           // black frame
        QCOMPARE(img.pixelColor(kMapLeft + 10, kMapTop + 10), QColor(Qt::black)); // black fill

        const QRect letter(kMapLeft + 179 + 85, kMapTop + 130, 18, 22);
        const QRect label(240, 390, 130, 22);
        int inLetter = 0, stray = 0;
        for (int y = kMapTop + 1; y < kMapBottom - 1; ++y) {
            for (int x = kMapLeft + 1; x < kMapRight - 1; ++x) {
                const QColor c = img.pixelColor(x, y);
                if (c.red() <= 200 || c.green() <= 200 || c.blue() <= 200)
                    continue;
                if (letter.contains(x, y))
                    ++inLetter;
                // The cross-hair's white arms and the radius label are white too.
                else if (y != kMapTop + 138 && x != kMapLeft + 183 && !label.contains(x, y))
                    ++stray;
            }
        }
        QVERIFY2(inLetter > 10, qPrintable(QString::number(inLetter)));
        QCOMPARE(stray, 0);
        // The inner cross-hair colour, and the white arm outside it.
        QCOMPARE(img.pixelColor(kMapLeft + 183, kMapTop + 130), QColor(0, 193, 230));
        QCOMPARE(img.pixelColor(kMapLeft + 183, kMapTop + 60), QColor(Qt::white));
    }

    // Only classes strictly within 250 m get an icon, filled in from the right.
    void iconsForTheClassesPresentFillTheLineFromTheRight()
    {
        Rig rig;
        // Two GATSO and one specs camera within 250 m; a mobile beyond it.
        placeCameras(rig, {{100.0, 0.0, "GATSO"},
                           {-200.0, 100.0, "gatso rear"},
                           {0.0, 120.0, "Specs"},
                           {250.0005, 0.0, "MOBILE"}});
        CVARNOView view(*rig.session);
        view.resize(800, 520);
        const QImage img = paintAfterSentence(rig, view);
        QVERIFY(sameAsIcon(img, 750 - 46, 67 + 6, IconId::Gatso));
        QVERIFY(sameAsIcon(img, 750 - 90, 67 + 6, IconId::Specs));
        QCOMPARE(img.pixelColor(750 - 134 + 20, 67 + 26), boxBackground(rig));
    }

    void speedBoxIsFramedFilledAndWrittenIn()
    {
        Rig rig;
        CVARNOView view(*rig.session);
        view.resize(800, 520);
        rig.session->decoder().SpeedKnots = 0.5;
        const QImage img = paintAfterSentence(rig, view);
        QCOMPARE(varno::views::boxTexts(view.lastScene(), BoxId::VehicleSpeedValue),
                 std::vector<std::string>{"0 mph"});
        // The box is there, framed, filled and written in.
        QCOMPARE(img.pixelColor(511, 200), QColor(190, 190, 190));
        QCOMPARE(img.pixelColor(740, 230), boxBackground(rig));
        int ink = 0;
        for (int y = 184; y < 230; ++y)
            for (int x = 516; x < 600; ++x)
                ink += img.pixelColor(x, y) != boxBackground(rig);
        QVERIFY(ink > 20);
    }

    void nothingButTheFillBeforeTheFirstSentenceOrWhileCamerasLoad()
    {
        Rig rig;
        CVARNOView view(*rig.session);
        view.resize(800, 520);
        QImage img = render(view);
        QCOMPARE(img.pixelColor(10, 130), QColor(Qt::white));

        rig.session->cameraWarner().store.CameraListBusy = true;
        rig.session->mailbox().offer(rmc(0.0));
        img = render(view);
        QCOMPARE(img.pixelColor(10, 130), QColor(Qt::magenta)); // not painted at all
        QVERIFY(rig.session->mailbox().snapshot().pending);     // and the sentence waits
        rig.session->cameraWarner().store.CameraListBusy = false;
        img = render(view);
        QCOMPARE(img.pixelColor(10, 130), QColor(Qt::black));
    }

    void fastSentencesAreRecordedAndTheTrailDrawnYellow()
    {
        Rig rig; // LogTrack and DisplayTrack are on by default
        CVARNOView view(*rig.session);
        view.resize(800, 520);
        auto& fix = rig.session->decoder();
        fix.Latitude = kFixLat;
        fix.Longitude = kFixLon;
        // Slow: not recorded; a bad checksum: not recorded; so two fast ones fill slots 0 and 1.
        paintAfterSentence(rig, view, rmc(0.9));
        paintAfterSentence(rig, view, rmc(20.0, true));
        paintAfterSentence(rig, view, rmc(20.0));
        fix.Latitude = kFixLat + 0.005;
        paintAfterSentence(rig, view, rmc(20.0));
        QCOMPARE(rig.session->trackLogging().ring().index(), 1);
        const QImage img = render(view);
        int yellow = 0;
        for (int y = kMapTop; y < kMapBottom; ++y)
            for (int x = kMapLeft; x < kMapRight; ++x)
                yellow += img.pixelColor(x, y) == QColor(255, 255, 0);
        QVERIFY(yellow > 5);
    }

    // The items no view draws yet, and clipping, each on its own window.
    void painterDrawsFramesEllipsesRastersAndClips()
    {
        using namespace varno::views;
        const QColor red(255, 0, 0), blue(0, 0, 255);
        constexpr std::uint32_t kRed = 0x000000FF, kBlue = 0x00FF0000;
        auto raster = std::make_shared<RasterImage>(RasterImage{2, 1, {0xFF0000FFu, 0xFFFF0000u}});
        struct Case {
            const char* what;
            SceneItem item;
            std::vector<std::pair<QPoint, QColor>> probes;
        };
        const Case cases[] = {
            {"frame 3 wide",
             FrameItem{{10, 10, 30, 30}, kRed, 3},
             {{{10, 10}, red},
              {{12, 20}, red},
              {{13, 20}, Qt::white},
              {{29, 29}, red},
              {{30, 30}, Qt::white}}},
            {"filled ellipse",
             EllipseItem{{0, 0, 40, 20}, kBlue, 0, kRed},
             {{{20, 10}, red}, {{1, 1}, Qt::white}, {{0, 10}, blue}}},
            {"open arc, upper half",
             EllipseItem{{0, 0, 40, 40}, kBlue, 0, kNoColour, 0, 180},
             {{{20, 0}, blue}, {{20, 39}, Qt::white}, {{20, 20}, Qt::white}}},
            {"raster", RasterItem{raster, 5, 6}, {{{5, 6}, red}, {{6, 6}, blue}, {{7, 6}, Qt::white}}},
            {"clipped line",
             PolylineItem{{{0, 5}, {39, 5}}, kBlue, 0, {10, 0, 20, 40}},
             {{{9, 5}, Qt::white}, {{10, 5}, blue}, {{19, 5}, blue}, {{20, 5}, Qt::white}}},
            // Below the letters' baseline the cell shows its background.
            {"clipped text",
             TextItem{"MMMM", 2, 2, "Times New Roman", 24, kBlue, kRed, {0, 0, 10, 40}},
             {{{9, 25}, red}, {{12, 25}, Qt::white}}},
        };
        for (const Case& c : cases) {
            Scene scene;
            scene.add(FillItem{{0, 0, 40, 40}, 0x00FFFFFF});
            scene.items.push_back(c.item);
            QImage img(40, 40, QImage::Format_RGB32);
            QPainter p(&img);
            paintScene(p, scene);
            p.end();
            for (const auto& [at, colour] : c.probes)
                QVERIFY2(img.pixelColor(at) == colour, qPrintable(QString("%1 at %2,%3: %4")
                                                                      .arg(c.what)
                                                                      .arg(at.x())
                                                                      .arg(at.y())
                                                                      .arg(img.pixelColor(at).name())));
        }
    }
};

QTEST_MAIN(TestCameraView)
#include "test_camera_view.moc"
