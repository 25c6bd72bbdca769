// The main window opens with its title and closes cleanly.
#include <QtTest>

#include "CMainFrame.h"

class TestMainFrame : public QObject {
    Q_OBJECT
private slots:
    void opensTitledAndCloses()
    {
        CMainFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.windowTitle(), QStringLiteral("VARNO"));
        QVERIFY(frame.close());
    }
};

QTEST_MAIN(TestMainFrame)
#include "test_mainframe.moc"
