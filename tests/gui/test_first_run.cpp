// The first start from an empty profile: the settings questions, the data folders, the welcome page with a
// camera file and a receiver, and the GPS it starts giving the first warning of the demo drive.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>

#include "core/base/ScratchFiles.h"
#include "CSio.h"
#include "gui/convert/ConvertDialog.h"
#include "gui/frame/FirstRunPage.h"
#include "GuiFixture.h"

using namespace varno;
using namespace varno::session;
namespace keys = varno::settings::keys;

namespace {

const QString kDemo = QStringLiteral(VARNO_TEST_DATA_DIR "/../../data/demo");

} // namespace

class TestFirstRun : public QObject {
    Q_OBJECT

private slots:
    void fromAnEmptyProfileThroughThePageToAWarning()
    {
        test::Pty pty;
        platform::CSio port;
        guitest::Rig rig(false, &port); // nothing stored yet
        rig.ports.ports = {"/dev/ttyS0", pty.path};
        rig.session->initialUpdate();
        // The one question of a first start: with no settings at all there is no version to warn about.
        const auto texts = rig.prompt.texts();
        QCOMPARE(texts.size(), std::size_t(1));
        QVERIFY(texts[0].rfind("Setup registry values?", 0) == 0);
        for (const char* folder : {"Log", "Route", "Voice", "POI", "Images"})
            QVERIFY2(QDir(rig.dir.path() + "/" + folder).exists(), folder);

        CMainFrame& f = rig.shownFrame();
        const QString cameras = kDemo + "/VARNOCamera.txt";
        const bool shown = showFirstRunPageIfDue(f, [&](FirstRunPage& page) {
            // The camera file the settings name, which is not there yet.
            QCOMPARE(page.cameraFile()->text(), rig.dir.path() + "/VARNOCamera.txt");
            QVERIFY(!page.cameraNote()->text().isEmpty());
            page.dialogs.open = [&](QWidget*, const FileRequest& r) {
                return r.folder == rig.dir.path() ? cameras : QString();
            };
            QTest::mouseClick(page.browseButton(), Qt::LeftButton);
            QCOMPARE(page.cameraFile()->text(), cameras);
            QVERIFY(page.cameraNote()->text().isEmpty());
            // The receivers: the machine's ports, then the network sources; a port needs no host.
            QStringList offered;
            for (int i = 0; i < page.receiver()->count(); ++i)
                offered << page.receiver()->itemText(i);
            QCOMPARE(offered, QStringList({"/dev/ttyS0", QString::fromStdString(pty.path), "gpsd",
                                           "TCP NMEA stream"}));
            page.receiver()->setCurrentIndex(1);
            QVERIFY(!page.host()->isEnabled());
            QVERIFY(page.startAlways()->isChecked());
            QVERIFY(page.recommended()->isChecked());
            QTest::mouseClick(page.startButton(), Qt::LeftButton);
        });
        QVERIFY(shown);
        QCOMPARE(rig.settings.read(keys::CameraFile), std::optional(cameras.toStdString()));
        QCOMPARE(rig.settings.read(keys::Port), std::optional(pty.path));
        QCOMPARE(rig.settings.read(keys::Source), std::optional(std::string("Serial")));
        QCOMPARE(rig.settings.read(keys::AutoStartGPS), 1);
        // Recommended for driving: the aids, the scaled view and the system's zone, at once in the view.
        QCOMPARE(rig.settings.read(keys::AidDirection), 1);
        QCOMPARE(rig.settings.read(keys::AidChime), 1);
        QCOMPARE(rig.settings.read(keys::AidCoach), 1);
        QCOMPARE(rig.settings.read(keys::ScaleWithWindow), 1);
        QCOMPARE(rig.settings.peek(keys::TimeZone), std::optional(std::string("System")));
        QVERIFY(rig.session->cameraWarner().aids.on.direction);
        QVERIFY(f.view()->scalesWithWindow());
        QVERIFY(rig.session->gps().portOpen() && rig.session->gps().reader().running());
        // Never again.
        QVERIFY(!showFirstRunPageIfDue(f, [](FirstRunPage&) { QFAIL("shown twice"); }));
        // The view scaled to the window repaints once more: before the drive, so that no paint but those
        // of the drive's sentences takes one.
        QCoreApplication::processEvents();

        // The receiver drives the demo drive: the first camera's first warning comes.
        QFile drive(kDemo + "/demo-drive.txt");
        QVERIFY(drive.open(QIODevice::ReadOnly));
        // One line at a time; each fix sentence is taken by the view before the next line is sent.
        QSignalSpy taken(f.view(), &CVARNOView::sentenceTaken);
        int lines = 0, fixes = 0;
        while (rig.voice.played.empty() && !drive.atEnd() && ++lines < 1000) {
            const QByteArray line = drive.readLine().trimmed();
            QVERIFY(pty.send(line.toStdString() + "\r\n"));
            if (line.startsWith("$GPGGA") || line.startsWith("$GPRMC")) {
                ++fixes;
                QVERIFY2(QTest::qWaitFor([&] { return taken.count() == fixes; }), line.constData());
            }
        }
        QVERIFY(!rig.voice.played.empty());
        QCOMPARE(rig.voice.played.front(), std::string("1500.wav"));
        QVERIFY2(rig.prompt.texts().size() == 1, rig.prompt.texts().back().c_str());
    }

    // Skip with "Recommended for driving" unchecked: the settings stay as the questions left them, and
    // the page is done with all the same.
    void skip()
    {
        guitest::Rig rig(false);
        rig.session->initialUpdate();
        CMainFrame& f = rig.frame();
        QVERIFY(showFirstRunPageIfDue(f, [](FirstRunPage& page) {
            page.recommended()->setChecked(false);
            page.reject();
        }));
        QCOMPARE(rig.settings.read(keys::Port), std::optional(std::string("Com1")));
        QCOMPARE(rig.settings.read(keys::AutoStartGPS), 0);
        QCOMPARE(rig.settings.read(keys::AidDirection), 0);
        QCOMPARE(rig.settings.read(keys::ScaleWithWindow), 0);
        QCOMPARE(rig.settings.peek(keys::TimeZone), std::optional(std::string("+1")));
        QVERIFY(!rig.session->gps().portOpen());
        QVERIFY(!showFirstRunPageIfDue(f, [](FirstRunPage&) { QFAIL("shown twice"); }));
    }

    // The page's Convert menu says the Pocket GPS list may be an OV2 file (the menu item keeps its own
    // text), and the camera file a conversion writes is the one the page shows after it.
    void convertFromThePage()
    {
        guitest::Rig rig(false);
        rig.session->initialUpdate();
        CMainFrame& f = rig.frame();
        const QString root = rig.dir.path();
        test::writeBytes((root + "/Speed_Cam_Uk.csv").toStdString(), "-1,51,GATSO@30,x\n");
        QVERIFY(showFirstRunPageIfDue(f, [&](FirstRunPage& page) {
            QStringList offered;
            for (QAction* a : page.convertButton()->menu()->actions())
                offered << a->text().remove(QLatin1Char('&'));
            QCOMPARE(offered, QStringList({"Pocket GPS CSV or OV2", "Garmin CSV", "OSM speed cameras"}));
            QCOMPARE(f.action(CommandId::ConvertPocketGpsCsv)->text().remove(QLatin1Char('&')),
                     QStringLiteral("Pocket GPS CSV"));
            QVERIFY(!page.cameraNote()->text().isEmpty());
            QTimer::singleShot(0, [&] {
                auto* d = qobject_cast<ConvertDialog*>(QApplication::activeModalWidget());
                QVERIFY(d);
                d->findChild<QLineEdit*>(QStringLiteral("destination"))->setText(root + "/Cams.txt");
                d->accept();
            });
            page.convertButton()->menu()->actions().front()->trigger();
            QCOMPARE(page.cameraFile()->text(), root + "/Cams.txt");
            QVERIFY(page.cameraNote()->text().isEmpty());
            page.reject();
        }));
    }
};

QTEST_MAIN(TestFirstRun)
#include "test_first_run.moc"
