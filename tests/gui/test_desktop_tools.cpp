// The display colours and distance dialogs, and printing the view to PDF.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <optional>

#include "gui/frame/PrintCommands.h"
#include "gui/options/ColoursDialog.h"
#include "gui/options/DistanceDialog.h"
#include "gui/options/TimeZoneDialog.h"
#include "GuiFixture.h"

using namespace varno::session;
namespace keys = varno::settings::keys;

namespace {

// Runs a command whose handler shows a modal dialog D; act gets the dialog and must close it.
template <class D> bool whileShown(CMainFrame& f, CommandId id, const std::function<void(D&)>& act)
{
    return guitest::whileShown<D>([&] { f.runCommand(id); }, act);
}

} // namespace

class TestDesktopTools : public QObject {
    Q_OBJECT

private slots:
    // Each field holds its own channel, cut to 8 bits; OK stores the four colours, Cancel none;
    // either way the day scheme is in use after, even when night was before.
    void coloursDialogStoresOnOkOnlyAndLeavesTheDayScheme()
    {
        for (bool ok : {false, true}) {
            guitest::Rig rig;
            rig.settings.write(keys::DayTimeBackGround, 0x00FFFFFFu);
            rig.settings.write(keys::NightTimeForeGround, 0x009DE800u);
            CMainFrame& f = rig.shownFrame();
            rig.session->loadNightColours();
            QVERIFY(whileShown<ColoursDialog>(f, CommandId::Colours, [ok](ColoursDialog& d) {
                QCOMPARE(d.field(ColoursDialog::NightText, ColoursDialog::Green)->text(),
                         QStringLiteral("232"));
                QCOMPARE(d.field(ColoursDialog::NightText, ColoursDialog::Blue)->text(),
                         QStringLiteral("157"));
                d.field(ColoursDialog::DayBackground, ColoursDialog::Red)->setText(QStringLiteral("300"));
                d.field(ColoursDialog::DayBackground, ColoursDialog::Blue)->setText(QStringLiteral("x"));
                QCOMPARE(d.colour(ColoursDialog::DayBackground), 0x0000FF2Cu);
                // The sample follows the fields at once.
                QCOMPARE(d.sample(false).pixelColor(0, 0), QColor(0x2C, 0xFF, 0x00));
                ok ? d.accept() : d.reject();
            }));
            QCOMPARE(rig.settings.read(keys::DayTimeBackGround), ok ? 0x0000FF2Cu : 0x00FFFFFFu);
            QCOMPARE(rig.settings.read(keys::NightTimeForeGround), 0x009DE800u);
            QVERIFY(!rig.session->colours().isNight());
            QCOMPARE(rig.session->colours().boxBackground(), ok ? 0x0000FF2Cu : 0x00FFFFFFu);
        }
    }

    // "Dimmed for night driving" greys the night fields and on OK stores NightPalette alone, the night
    // colours as they were; OK without a change to the box writes no NightPalette at all.
    void dimmedNightIsChosenInTheColoursDialog()
    {
        guitest::Rig rig;
        const std::uint32_t back = rig.settings.read(keys::NightTimeBackGround);
        QVERIFY(rig.store.deleteValue(varno::settings::kVarnoKey, "NightPalette")); // an older profile
        ColoursDialog(rig.settings).accept();
        QVERIFY(!rig.store.get(varno::settings::kVarnoKey, "NightPalette"));
        ColoursDialog d(rig.settings);
        d.dimmedNight()->setChecked(true);
        QVERIFY(!d.field(ColoursDialog::NightText, ColoursDialog::Red)->isEnabled());
        d.accept();
        QCOMPARE(rig.settings.read(keys::NightPalette), 1);
        QCOMPARE(rig.settings.read(keys::NightTimeBackGround), back);
    }

    // Time Zone: the system's zone is a check box storing "System"; the view's time follows it at once.
    void timeZoneDialogOffersTheSystemsZone()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.shownFrame();
        QVERIFY(whileShown<TimeZoneDialog>(f, CommandId::TimeZone, [](TimeZoneDialog& d) {
            QVERIFY(!d.followSystem()->isChecked() && d.field()->text() == QStringLiteral("+1"));
            d.followSystem()->setChecked(true);
            QVERIFY(!d.field()->isEnabled());
            d.accept();
        }));
        QCOMPARE(rig.settings.peek(keys::TimeZone).value_or(""), std::string("System"));
        QVERIFY(rig.session->timeZone().followsSystem());
        QVERIFY(whileShown<TimeZoneDialog>(f, CommandId::TimeZone, [](TimeZoneDialog& d) {
            QVERIFY(d.followSystem()->isChecked() && d.field()->text().isEmpty());
            d.reject();
        }));
    }

    // Pick fills the three fields of its colour from the picker; a cancelled picker changes nothing.
    void pickReplacesOneColourOrNothing()
    {
        guitest::Rig rig;
        ColoursDialog d(rig.settings);
        const QString before = d.field(ColoursDialog::DayText, ColoursDialog::Red)->text();
        std::optional<QColor> answer;
        d.setPicker([&](QWidget*) { return answer; });
        d.pickButton(ColoursDialog::NightBackground)->click();
        QCOMPARE(d.field(ColoursDialog::NightBackground, ColoursDialog::Red)->text(),
                 QString::number(varno::session::redOf(rig.settings.read(keys::NightTimeBackGround))));
        answer = QColor(1, 2, 3);
        d.pickButton(ColoursDialog::NightBackground)->click();
        QCOMPARE(d.colour(ColoursDialog::NightBackground), 0x00030201u);
        QCOMPARE(d.sample(true).pixelColor(0, 0), QColor(1, 2, 3));
        QCOMPARE(d.field(ColoursDialog::DayText, ColoursDialog::Red)->text(), before);
    }

    // The current location starts at the fix with six decimals (whatever the locale); Calculate shows
    // kilometres, a text without a number counting as 0.
    void distanceDialogCalculates()
    {
        guitest::Rig rig;
        guitest::atTheFix(rig);
        CMainFrame& f = rig.shownFrame();
        QVERIFY(whileShown<DistanceDialog>(f, CommandId::DistanceToLocation, [](DistanceDialog& d) {
            QCOMPARE(d.currentLat()->text(), QStringLiteral("51.500000"));
            QCOMPARE(d.currentLon()->text(), QStringLiteral("0.500000"));
            QVERIFY(d.distantLat()->text().isEmpty() && d.distance()->text().isEmpty());
            struct Case {
                const char *lat1, *lon1, *lat2, *lon2, *km;
            };
            for (const Case& c :
                 std::initializer_list<Case>{{"51.500000", "0.500000", "51.5", "0.5", "0.000 km"},
                                             {"51.5", "0.5", "52.5", "0.5", "111.248 km"},
                                             {"0", "-0.5", "0", "0.5", "111.319 km"},
                                             {"0", "0", "North", "", "0.000 km"}}) {
                d.currentLat()->setText(QString::fromLatin1(c.lat1));
                d.currentLon()->setText(QString::fromLatin1(c.lon1));
                d.distantLat()->setText(QString::fromLatin1(c.lat2));
                d.distantLon()->setText(QString::fromLatin1(c.lon2));
                d.calculate();
                QCOMPARE(d.distance()->text(), QString::fromLatin1(c.km));
            }
            d.accept();
        }));
    }

    // The standard save dialog asks about an existing file unless the command
    // asks its own question after it.
    void saveDialogLeavesTheOverwriteQuestionToCommandsThatAsk()
    {
        for (bool confirm : {true, false}) {
            FileRequest r;
            r.title = QStringLiteral("Save As");
            r.confirmOverwrite = confirm;
            std::optional<bool> asks;
            guitest::whileShown<QFileDialog>(
                [&] { QVERIFY(FileDialogs::standard().save(nullptr, r).isEmpty()); },
                [&](QFileDialog& d) {
                    asks = !d.testOption(QFileDialog::DontConfirmOverwrite);
                    d.reject();
                });
            QCOMPARE(asks, std::optional(confirm));
        }
    }

    // Ctrl+Q quits even where the platform theme has no Quit key (offscreen has none).
    void ctrlQCloses()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.shownFrame();
        QTest::keyClick(f.view(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!f.isVisible());
    }

    // A PDF of the view is written; an unwritable path fails with a message naming it; and with no
    // printer installed Print offers a PDF file.
    void printWritesAPdfOrSaysWhyNot()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.shownFrame();
        f.view()->repaint();
        QVERIFY(!f.view()->lastScene().items.empty());
        const QString pdf = rig.dir.path() + QStringLiteral("/view.pdf");
        QVERIFY(printViewToPdf(*f.view(), pdf, rig.prompt));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.size() > 500);
        QVERIFY(file.read(5) == "%PDF-");
        QVERIFY(rig.prompt.shown.empty());

        QVERIFY(!printViewToPdf(*f.view(), QStringLiteral("/nonexistent/dir/view.pdf"), rig.prompt));
        QCOMPARE(rig.prompt.texts(), std::vector<std::string>{"Can't print to /nonexistent/dir/view.pdf"});

        const QString chosen = rig.dir.path() + QStringLiteral("/chosen.pdf");
        FileDialogs dialogs;
        dialogs.save = [&](QWidget*, const FileRequest& r) {
            return r.defaultSuffix == QLatin1String("pdf") ? chosen : QString();
        };
        if (printerInstalled())
            QSKIP("a printer is installed here: Print shows the print dialog");
        f.findChild<PrintCommands*>()->dialogs = dialogs;
        f.runCommand(CommandId::FilePrint);
        QVERIFY(QFileInfo(chosen).size() > 500);
    }
};

QTEST_MAIN(TestDesktopTools)
#include "test_desktop_tools.moc"
