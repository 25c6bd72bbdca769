// varno: the safety-camera warner's window.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include "CMainFrame.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VARNO"));

    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption quitAfter(QStringLiteral("quit-after"),
                                 QStringLiteral("Close the window after <ms> milliseconds."),
                                 QStringLiteral("ms"));
    parser.addOption(quitAfter);
    parser.process(app);

    CMainFrame frame;
    frame.show();
    if (parser.isSet(quitAfter))
        QTimer::singleShot(parser.value(quitAfter).toInt(), &frame, &QWidget::close);
    return app.exec();
}
