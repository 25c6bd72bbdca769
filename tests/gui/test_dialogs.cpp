// The option dialogs: what they show from the settings and what OK writes.
#include <QPushButton>

#include "AutoStartDialog.h"
#include "ComSettingsDialog.h"
#include "GuiFixture.h"
#include "SpeedSetupDialog.h"
#include "StartTimeDialog.h"
#include "TimeZoneDialog.h"

class TestDialogs : public QObject {
    Q_OBJECT

    static QString str(guitest::Rig& rig, const char* name)
    {
        return QString::fromStdString(rig.settings.readString(name).value_or("<missing>"));
    }

private slots:
    void comSettingsShowsAndWrites()
    {
        guitest::Rig rig; // Port "Com1", and no ports present
        {
            // A stored port that is not plugged in is kept.
            ComSettingsDialog dlg(rig.settings, rig.ports);
            QCOMPARE(dlg.port()->currentText(), QStringLiteral("Com1"));
            dlg.speed()->setCurrentText("9600");
            dlg.accept();
            QCOMPARE(str(rig, "Port"), QStringLiteral("Com1"));
            QCOMPARE(str(rig, "Speed"), QStringLiteral("9600"));
        }
        rig.ports.ports = {"/dev/ttyUSB0", "/dev/ttyS0"};
        rig.settings.writeString("Port", "/dev/ttyUSB0");
        rig.settings.writeString("Speed", "4801");
        rig.settings.writeString("Parity", "even");
        rig.settings.writeString("DataBits", "16");
        ComSettingsDialog dlg(rig.settings, rig.ports);
        QVERIFY(!dlg.port()->isEditable());
        QCOMPARE(dlg.port()->count(), 2);
        QCOMPARE(dlg.port()->currentText(), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(dlg.parity()->currentText(), QStringLiteral("Even"));

        dlg.port()->setCurrentIndex(1);
        dlg.parity()->setCurrentIndex(dlg.parity()->findText("MARK"));
        dlg.accept();
        QCOMPARE(str(rig, "Port"), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(str(rig, "Parity"), QStringLiteral("MARK"));
        QCOMPARE(str(rig, "Speed"), QStringLiteral("4801")); // left alone, not blanked
        QCOMPARE(str(rig, "DataBits"), QStringLiteral("16"));
    }

    void timeZoneClampsNumbersAndKeepsOtherText()
    {
        guitest::Rig rig;
        TimeZoneDialog dlg(rig.settings);
        QCOMPARE(dlg.field()->text(), QStringLiteral("+1"));
        const std::pair<const char*, const char*> cases[] = {
            {"-15", "-12"}, {"13", "12"}, {"-3", "-3"}, {"abc", "abc"}, {"+2", "+2"}};
        for (auto [typed, stored] : cases) {
            dlg.field()->setText(typed);
            dlg.accept();
            QCOMPARE(str(rig, "TimeZone"), QString::fromLatin1(stored));
        }
        rig.session->reloadUnits();
        QCOMPARE(rig.session->timeZone(), 2);
    }

    void speedSetupShowsAndWritesTheUnits()
    {
        guitest::Rig rig;
        rig.settings.writeSpeedUnits(2);
        SpeedSetupDialog dlg(rig.settings);
        QVERIFY(dlg.knots()->isChecked());
        dlg.kph()->setChecked(true);
        dlg.accept();
        QCOMPARE(rig.settings.readSpeedUnits(), 1);
        dlg.mph()->setChecked(true);
        dlg.accept();
        QCOMPARE(rig.settings.readSpeedUnits(), 0);
    }

    void autoStartOptions()
    {
        guitest::Rig rig; // defaults: size on, the others off
        AutoStartDialog dlg(rig.settings);
        QVERIFY(dlg.size()->isChecked());
        QVERIFY(!dlg.gps()->isChecked());
        QVERIFY(!dlg.log()->isChecked());
        QVERIFY(!dlg.route()->isChecked());
        dlg.size()->setChecked(false);
        dlg.log()->setChecked(true);
        dlg.accept();
        QCOMPARE(rig.settings.readOnOff("AutoStartSize"), 0);
        QCOMPARE(rig.settings.readOnOff("AutoStartLog"), 1);
        QCOMPARE(rig.settings.readOnOff("AutoStartGPS"), 0);
        QCOMPARE(*rig.settings.readDword("AutoStartRoute"), 0u);
    }

    void startTimeOptionsWriteEveryFieldUnchanged()
    {
        guitest::Rig rig;
        rig.settings.writeString("StartTimerStartTime2", "7.30");
        StartTimeDialog dlg(rig.settings, rig.dir.path());
        QCOMPARE(dlg.route(1).start->text(), QStringLiteral("7.30"));
        QVERIFY(!dlg.route(0).enable->isChecked());
        bool pickerDisabled = false;
        for (QPushButton* b : dlg.findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Picker"))
                pickerDisabled = !b->isEnabled();
        QVERIFY(pickerDisabled);

        dlg.route(0).file->setText("C:\\VARNO\\Route\\night.csv");
        dlg.route(0).start->setText("22.00");
        dlg.route(0).end->setText(" 2-30 ");
        dlg.route(0).enable->setChecked(true);
        dlg.night().start->setText("21:00");
        dlg.night().enable->setChecked(true);
        dlg.accept();
        QCOMPARE(str(rig, "StartTimerFilename1"), QStringLiteral("C:\\VARNO\\Route\\night.csv"));
        QCOMPARE(str(rig, "StartTimerStartTime1"), QStringLiteral("22.00"));
        QCOMPARE(str(rig, "StartTimerEndTime1"), QStringLiteral(" 2-30 "));
        QCOMPARE(rig.settings.readOnOff("StartTimerEnable1"), 1);
        QCOMPARE(str(rig, "StartTimerStartTime2"), QStringLiteral("7.30"));
        QCOMPARE(str(rig, "NightTimerStartTime"), QStringLiteral("21:00"));
        QCOMPARE(rig.settings.readOnOff("NightTimerEnable"), 1);
        QVERIFY(rig.prompt.shown.empty());
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
