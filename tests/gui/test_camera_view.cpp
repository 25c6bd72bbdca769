// The camera view as painted (the map, its letters, the trail, the sentence strip), the painter's other
// items, and a receiver on a pseudo-terminal feeding the strip.
#include <cerrno>
#include <system_error>

#include <QPainter>
#include <QStatusBar>

#include "CSio.h"
#include "gps/SerialReader.h"
#include "gui/paint/ScenePainter.h"
#include "GuiFixture.h"
#include "session/CommandTable.h"
#include "views/CameraViewScene.h"
#include "views/ReceiverNotice.h"

using namespace guitest;
using varno::session::CommandId;

namespace {

constexpr int kMapLeft = 1, kMapTop = 123, kMapRight = 379, kMapBottom = 414;

const char* const kGood = "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B";

// Pixels in the strip's text area that are neither black nor the frame grey.
int textPixels(const QImage& img)
{
    int n = 0;
    for (int y = 458; y < 497; ++y)
        for (int x = 3; x < 760; ++x)
            n += img.pixelColor(x, y) != QColor(Qt::black) && img.pixelColor(x, y) != QColor(190, 190, 190);
    return n;
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
        rig.session->road().mailbox().offer(rmc(0.0, true)); // fails its checksum: the fix stays where it is
        const QImage img = render(view);
        QVERIFY(img.pixelColor(kMapLeft, kMapTop) == Qt::black &&
                img.pixelColor(kMapLeft + 10, kMapTop + 10) == Qt::black);

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

    // Before the first sentence, and while the cameras load, the view is not painted; the sentence waits.
    void nothingButTheFillBeforeTheFirstSentenceOrWhileCamerasLoad()
    {
        Rig rig;
        CVARNOView view(*rig.session);
        view.resize(800, 520);
        QImage img = render(view);
        QCOMPARE(img.pixelColor(10, 130), QColor(Qt::white));

        rig.session->cameraWarner().store.CameraListBusy = true;
        rig.session->road().mailbox().offer(rmc(0.0));
        img = render(view);
        QCOMPARE(img.pixelColor(10, 130), QColor(Qt::magenta));    // not painted at all
        QVERIFY(rig.session->road().mailbox().snapshot().pending); // and the sentence waits
        rig.session->cameraWarner().store.CameraListBusy = false;
        img = render(view);
        QCOMPARE(img.pixelColor(10, 130), QColor(Qt::black));
    }

    // A notice's words are drawn centred in their box, at 1:1 and scaled: the ink (amber, or blended
    // from the dark fill) is as far from the box's left edge as from its right.
    void noticeWordsAreCentredInTheirBox()
    {
        using namespace varno::views;
        for (const int factor : {1, 2}) {
            Scene scene;
            scene.addBox(kNoticeRect, kFrameGrey, kNoticeFill);
            scene.add(TextItem{"NO FIX \u2014 3 satellites", 0, 0, "Arial", kNoticeFont, kNoticeAmber,
                               kNoColour, kNoticeRect, true});
            QImage img(800 * factor, 520 * factor, QImage::Format_RGB32);
            img.fill(Qt::white);
            QPainter p(&img);
            p.scale(factor, factor);
            paintScene(p, scene);
            p.end();
            int left = img.width(), right = -1;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (img.pixelColor(x, y).red() > 100 && img.pixelColor(x, y).blue() < 80)
                        left = std::min(left, x), right = std::max(right, x);
            const int l = left / factor - kNoticeRect.left, r = kNoticeRect.right - right / factor;
            QVERIFY2(std::abs(l - r) <= 3 && l > 100, qPrintable(QStringLiteral("%1 %2").arg(l).arg(r)));
        }
    }

    // The items no view draws yet, and clipping, each on its own window.
    void painterDrawsFramesEllipsesRastersAndClips()
    {
        using namespace varno::views;
        const QColor red(255, 0, 0), blue(0, 0, 255);
        constexpr std::uint32_t kRed = 0x000000FF, kBlue = 0x00FF0000;
        auto raster = std::make_shared<RasterImage>(RasterImage{2, 1, {0xFF0000FFu, 0xFFFF0000u}});
        const struct {
            const char* what;
            SceneItem item;
            std::vector<std::pair<QPoint, QColor>> probes;
        } cases[] = {
            {"frame 3 wide",
             FrameItem{{10, 10, 30, 30}, kRed, 3},
             {{{12, 20}, red}, {{13, 20}, Qt::white}, {{29, 29}, red}, {{30, 30}, Qt::white}}},
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
        for (const auto& c : cases) {
            Scene scene;
            scene.add(FillItem{{0, 0, 40, 40}, 0x00FFFFFF});
            scene.items.push_back(c.item);
            QImage img(40, 40, QImage::Format_RGB32);
            QPainter p(&img);
            paintScene(p, scene);
            p.end();
            for (const auto& [at, colour] : c.probes)
                QVERIFY2(img.pixelColor(at) == colour,
                         qPrintable(QString("%1 at %2,%3").arg(c.what).arg(at.x()).arg(at.y())));
        }
    }

    // Long runs of wide lines (a trail drawn pixel step by pixel step) come out
    // pixel for pixel as QPainter draws the run in one call: in the clip's middle,
    // along its edges, with long strides among short ones, at several widths.
    void wideLineRunsAsQPainterDrawsThem()
    {
        using namespace varno::views;
        const Rect clip{1, 123, 750, 465};
        const struct {
            int width, startX, startY, stride, band;
        } cases[] = {{5, 400, 300, 1, 300}, {5, 1, 300, 1, 12},    {5, 749, 300, 1, 12},
                     {5, 400, 123, 1, 12},  {5, 400, 464, 1, 12},  {2, 200, 200, 3, 150},
                     {3, 8, 300, 1, 8},     {7, 380, 250, 2, 200}, {5, 100, 200, 40, 400}};
        std::uint32_t seed = 11;
        auto next = [&](int n) {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(n));
        };
        for (const auto& c : cases) {
            PolylineItem line{{{c.startX, c.startY}}, 0x0000FFFF, c.width, clip};
            for (int i = 0; i < 2000; ++i) {
                const int s = i % 50 == 0 ? c.stride * 8 : c.stride;
                const Point& at = line.points.back();
                line.points.push_back(
                    {std::clamp(at.x + next(2 * s + 1) - s, c.startX - c.band, c.startX + c.band),
                     std::clamp(at.y + next(2 * s + 1) - s, c.startY - c.band, c.startY + c.band)});
            }
            Scene scene;
            scene.add(FillItem{{0, 0, 800, 600}, 0});
            scene.add(line);
            QImage got(800, 600, QImage::Format_RGB32), want(800, 600, QImage::Format_RGB32);
            QPainter p(&got);
            paintScene(p, scene);
            p.end();
            want.fill(Qt::black);
            QPainter q(&want);
            q.setClipRect(QRect(1, 123, 749, 342));
            q.setPen(QPen(QColor(255, 255, 0), c.width));
            QVector<QLine> lines;
            for (std::size_t i = 1; i < line.points.size(); ++i)
                lines.append(
                    QLine(line.points[i - 1].x, line.points[i - 1].y, line.points[i].x, line.points[i].y));
            q.drawLines(lines);
            q.end();
            QVERIFY2(got == want,
                     qPrintable(QString("width %1 from %2,%3").arg(c.width).arg(c.startX).arg(c.startY)));
        }
    }

    // Texts copied from their kept pictures look as texts drawn letter by
    // letter: overhanging letters, a clip, a background box, colours, a repaint
    // from the kept pictures, a 2x screen.
    void textPicturesLookAsDrawnText()
    {
        using namespace varno::views;
        Scene scene;
        scene.add(FillItem{{0, 0, 400, 200}, 0x00402010});
        for (int i = 0; i < 6; ++i)
            scene.add(FillItem{{i * 60, 0, i * 60 + 30, 200}, 0x00FFFFFFu - 0x00203040u * std::uint32_t(i)});
        TextItem t;
        t.cellHeight = 16;
        const struct {
            const char* text;
            int x, y;
            std::uint32_t colour, background;
            Rect clip;
        } items[] = {{"jaguar fly Wj", 0, 10, 0x00FFFFFF, kNoColour, {}},
                     {"Point 12 \xc3\x85se", 50, 40, 0x0000C0FF, kNoColour, {}},
                     {"boxed (ref) Qy", 20, 80, 0x00000000, 0x0000FFFF, {}},
                     {"clipped text jjj", 90, 120, 0x00FF8000, kNoColour, {100, 125, 160, 135}},
                     {"fyfjy", 300, 185, 0x00FFFFFF, kNoColour, {}}};
        for (const auto& it : items) {
            t.text = it.text;
            t.x = it.x;
            t.y = it.y;
            t.colour = it.colour;
            t.background = it.background;
            t.clip = it.clip;
            scene.add(t);
        }
        for (const qreal dpr : {1.0, 2.0})
            for (int round = 0; round < 2; ++round) {
                QImage got(QSize(400, 200) * dpr, QImage::Format_RGB32),
                    want(got.size(), QImage::Format_RGB32);
                got.setDevicePixelRatio(dpr);
                want.setDevicePixelRatio(dpr);
                QPainter p(&got);
                paintScene(p, scene);
                p.end();
                QPainter q(&want);
                paintScene(q, scene, TextDrawing::Letters);
                q.end();
                int worst = 0;
                for (int y = 0; y < got.height(); ++y)
                    for (int x = 0; x < got.width(); ++x) {
                        const QRgb a = got.pixel(x, y), b = want.pixel(x, y);
                        worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                          std::abs(qBlue(a) - qBlue(b))});
                    }
                // Blended earlier into a picture, a letter's edge may round one step apart.
                QVERIFY2(worst <= 1,
                         qPrintable(QString("dpr %1 round %2: %3").arg(dpr).arg(round).arg(worst)));
            }
    }

    // The strip shows the sentence the repaint took (the smallest window with a strip is 771 x 502): the
    // day scheme's black text is seen on the black strip, and the next repaint, which took nothing, is empty.
    void sentenceStripShowsWhatTheRepaintTook()
    {
        Rig rig;
        CVARNOView view(*rig.session);
        view.resize(771, 502);
        rig.session->road().mailbox().offer(kGood);
        const QImage img = render(view);
        QCOMPARE(view.lastStripText(), QString::fromLatin1(kGood));
        QVERIFY(textPixels(img) > 100);
        QCOMPARE(textPixels(render(view)), 0);
        QVERIFY(view.lastStripText().isEmpty());
    }

    // Start on a pseudo-terminal receiver: its sentences reach the strip; when
    // it goes away the message comes up on the UI thread.
    void receiverOnAPseudoTerminal()
    {
        varno::test::Pty pty;
        varno::platform::CSio port;
        Rig rig(true, &port);
        rig.settings.write(varno::settings::keys::Port, pty.path);
        CMainFrame& f = rig.shownFrame();
        f.runCommand(CommandId::Scr800x700);

        QStringList shownWhileOpening;
        rig.onOpening = [&](bool busy, const std::string& port) {
            f.showOpening(busy, QString::fromStdString(port));
            shownWhileOpening << f.statusBar()->currentMessage();
        };
        // A log on a full disk: logging stops with a message, the receiver goes on.
        QVERIFY(rig.session->nmeaLog().open("/dev/full"));
        f.runCommand(CommandId::KeyStartS);
        QVERIFY(rig.session->gps().portOpen());
        QVERIFY(f.action(CommandId::LogNmeaData)->isChecked());
        QCOMPARE(shownWhileOpening,
                 QStringList({QStringLiteral("Opening %1...").arg(pty.path.c_str()), QString()}));
        pty.closeSlave(); // the reader has its own descriptor now
        QVERIFY(pty.send(std::string("$GPGSV,3,1,12*7A\r\n") + kGood + "\r\n"));
        QTRY_COMPARE(f.view()->lastStripText(), QString::fromLatin1(kGood));
        QCOMPARE(rig.session->decoder().RmcMinute, 25);
        const std::string full =
            "The NMEA log /dev/full could not be written: " + std::generic_category().message(ENOSPC) +
            ". Logging has stopped.";
        QTRY_COMPARE(rig.prompt.texts(), std::vector<std::string>{full});
        QCOMPARE(f.statusBar()->currentMessage(), QString::fromStdString(full));
        QCOMPARE(f.statusBar()->toolTip(), QString::fromStdString(full)); // cut on screen, whole here
        QVERIFY(!f.action(CommandId::LogNmeaData)->isChecked());

        pty.closeMaster();
        const std::string gone = varno::gps::SerialReader::goneMessage(pty.path);
        QTRY_VERIFY(!rig.prompt.texts().empty() && rig.prompt.texts().back() == gone);

        f.runCommand(CommandId::KeyStopE);
        QVERIFY(!rig.session->gps().portOpen());
    }
};

QTEST_MAIN(TestCameraView)
#include "test_camera_view.moc"
