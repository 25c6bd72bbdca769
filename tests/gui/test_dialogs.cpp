// The option dialogs: what they show from the settings and what OK writes.
#include <QPushButton>

#include "ComSettingsDialog.h"
#include "GuiFixture.h"
#include "StartTimeDialog.h"

class TestDialogs : public QObject {
    Q_OBJECT

    static QString str(guitest::Rig& rig, const char* name)
    {
        auto v = guitest::storedValue(rig, name);
        return QString::fromStdString(v && v->type == varno::settings::ValueType::Sz ? v->text : "<missing>");
    }

private slots:
    void comSettingsShowsAndWrites()
    {
        guitest::Rig rig; // Port "Com1", and no ports present
        {
            // A stored port that is not plugged in is kept.
            ComSettingsDialog dlg(rig.settings, rig.ports);
            QCOMPARE(dlg.port()->currentText(), QStringLiteral("Com1"));
            dlg.accept();
            QCOMPARE(str(rig, "Port"), QStringLiteral("Com1"));
        }
        rig.ports.ports = {"/dev/ttyUSB0", "/dev/ttyS0"};
        rig.settings.write(varno::settings::keys::Port, "/dev/ttyUSB0");
        rig.settings.write(varno::settings::keys::Speed, "4801");
        rig.settings.write(varno::settings::keys::Parity, "even");
        ComSettingsDialog dlg(rig.settings, rig.ports);
        QVERIFY(!dlg.port()->isEditable());
        QCOMPARE(dlg.parity()->currentText(), QStringLiteral("Even"));

        dlg.port()->setCurrentIndex(1);
        dlg.parity()->setCurrentIndex(dlg.parity()->findText("MARK"));
        dlg.accept();
        QCOMPARE(str(rig, "Port"), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(str(rig, "Parity"), QStringLiteral("MARK"));
        QCOMPARE(str(rig, "Speed"), QStringLiteral("4801")); // left alone, not blanked
    }

    void startTimeOptionsWriteEveryFieldUnchanged()
    {
        guitest::Rig rig;
        rig.settings.write(varno::settings::keys::StartTimerStartTime[1], "7.30");
        StartTimeDialog dlg(rig.settings, rig.dir.path());
        QCOMPARE(dlg.route(1).start->text(), QStringLiteral("7.30"));
        int pickers = 0;
        for (QPushButton* b : dlg.findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Picker") && ++pickers)
                QVERIFY(!b->isEnabled());
        QVERIFY(pickers > 0);

        dlg.route(0).file->setText("C:\\VARNO\\Route\\night.csv");
        dlg.route(0).end->setText(" 2-30 ");
        dlg.route(0).enable->setChecked(true);
        dlg.night().start->setText("21:00");
        dlg.night().enable->setChecked(true);
        dlg.accept();
        QCOMPARE(str(rig, "StartTimerFilename1"), QStringLiteral("C:\\VARNO\\Route\\night.csv"));
        QCOMPARE(str(rig, "StartTimerEndTime1"), QStringLiteral(" 2-30 "));
        QCOMPARE(rig.settings.read(varno::settings::keys::StartTimerEnable[0]), 1);
        QCOMPARE(str(rig, "StartTimerStartTime2"), QStringLiteral("7.30"));
        QCOMPARE(str(rig, "NightTimerStartTime"), QStringLiteral("21:00"));
        QCOMPARE(rig.settings.read(varno::settings::keys::NightTimerEnable), 1);
        QVERIFY(rig.prompt.shown.empty());
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
