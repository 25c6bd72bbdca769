// The view's sentence strip: what a repaint takes from the mailbox and where it is drawn.
#include <QStatusBar>

#include "CSio.h"
#include "GuiFixture.h"
#include "gps/SerialReader.h"
#include "session/CommandTable.h"

using namespace varno::session;
using guitest::render;

namespace {
const char* const kGood = "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B";
const char* const kBad = "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3C";

// Pixels in the strip's text area that are neither black nor the frame grey.
int textPixels(const QImage& img)
{
    int n = 0;
    for (int y = 458; y < 497; ++y) {
        for (int x = 3; x < 760; ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c != QColor(Qt::black) && c != QColor(190, 190, 190))
                ++n;
        }
    }
    return n;
}
} // namespace

class TestViewStrip : public QObject {
    Q_OBJECT
private slots:
    void badSentenceIsDrawnWithBadInTheSchemeColour()
    {
        guitest::Rig rig;
        rig.session->loadNightColours();
        CVARNOView view(*rig.session);
        view.resize(780, 520);
        rig.session->mailbox().offer(kBad);

        const QImage img = render(view);
        QCOMPARE(view.lastStripText(), QString::fromLatin1(kBad) + " Bad");
        // Frame grey on all four sides, black inside, the window fill outside.
        QCOMPARE(img.pixelColor(1, 470), QColor(190, 190, 190));
        QCOMPARE(img.pixelColor(769, 490), QColor(190, 190, 190));
        QCOMPARE(img.pixelColor(300, 455), QColor(190, 190, 190));
        QCOMPARE(img.pixelColor(300, 499), QColor(190, 190, 190));
        QCOMPARE(img.pixelColor(765, 495), QColor(Qt::black));
        QCOMPARE(img.pixelColor(300, 500), QColor(Qt::black)); // night window fill
        QVERIFY(textPixels(img) > 100);
        bool sawTextColour = false;
        for (int y = 460; y < 485 && !sawTextColour; ++y)
            for (int x = 4; x < 200 && !sawTextColour; ++x)
                sawTextColour = img.pixelColor(x, y) == QColor(0x00, 0xE8, 0x9D);
        QVERIFY(sawTextColour);

        // The next repaint took nothing: an empty strip.
        QCOMPARE(textPixels(render(view)), 0);
        QVERIFY(view.lastStripText().isEmpty());
    }

    void stripOnlyInLargeEnoughWindowsAndNotInTheTrailView()
    {
        guitest::Rig rig;
        CVARNOView view(*rig.session);
        view.resize(771, 502); // the smallest with a strip
        rig.session->mailbox().offer(kGood);
        QImage img = render(view);
        QCOMPARE(view.lastStripText(), QString::fromLatin1(kGood));
        QVERIFY(textPixels(img) > 100); // day text is black, yet seen on the black strip
        QCOMPARE(img.pixelColor(760, 10), QColor(Qt::white));

        // One pixel less, or a view without the strip: nothing is drawn there.
        view.resize(770, 520);
        rig.session->mailbox().offer(kBad);
        img = render(view);
        QVERIFY(view.lastStripText().isEmpty());
        QCOMPARE(img.pixelColor(100, 470), QColor(Qt::white));
        view.resize(800, 520);
        rig.session->toggleView(MapView::Trail);
        rig.session->mailbox().offer(kGood);
        img = render(view);
        QVERIFY(view.lastStripText().isEmpty());
        QCOMPARE(img.pixelColor(100, 470), QColor(Qt::white));
    }

    // Start on a pseudo-terminal receiver: its sentences reach the strip; when
    // it goes away the message comes up on the UI thread.
    void receiverOnAPseudoTerminal()
    {
        varno::test::Pty pty;
        QVERIFY(!pty.path.empty());
        pty.makeRaw();
        varno::platform::CSio port;
        guitest::Rig rig(true, &port);
        rig.settings.write(varno::settings::keys::Port, pty.path);
        CMainFrame& f = rig.frame();
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.runCommand(varno::session::CommandId::Scr800x700);

        QStringList shownWhileOpening;
        rig.onOpening = [&](bool busy, const std::string& port) {
            f.showOpening(busy, QString::fromStdString(port));
            shownWhileOpening << f.statusBar()->currentMessage();
        };
        f.runCommand(varno::session::CommandId::KeyStartS);
        QVERIFY(rig.session->gps().portOpen());
        QCOMPARE(shownWhileOpening,
                 QStringList({QStringLiteral("Opening %1...").arg(pty.path.c_str()), QString()}));
        pty.closeSlave(); // the reader has its own descriptor now
        QVERIFY(pty.send(std::string("$GPGSV,3,1,12*7A\r\n") + kGood + "\r\n"));
        QTRY_COMPARE(f.view()->lastStripText(), QString::fromLatin1(kGood));
        QCOMPARE(rig.session->decoder().RmcMinute, 25);

        pty.closeMaster();
        const std::string gone = varno::gps::SerialReader::goneMessage(pty.path);
        QTRY_VERIFY(!rig.prompt.texts().empty() && rig.prompt.texts().back() == gone);

        f.runCommand(varno::session::CommandId::KeyStopE);
        QVERIFY(!rig.session->gps().portOpen());
    }
};

QTEST_MAIN(TestViewStrip)
#include "test_view_strip.moc"
