// varno: the safety-camera warner's window.
#include <QApplication>
#include <QCommandLineParser>
#include <QCursor>
#include <QDir>
#include <QTimer>
#include <thread>

#include "CMainFrame.h"
#include "CSio.h"
#include "CVARNOView.h"
#include "Paths.h"
#include "PosixFileSync.h"
#include "QtPrompt.h"
#include "SystemClock.h"
#include "VoicePlayback.h"
#include "session/CommandTable.h"
#include "session/Session.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VARNO"));

    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption quitAfter(QStringLiteral("quit-after"),
                                 QStringLiteral("Close the window after <ms> milliseconds."),
                                 QStringLiteral("ms"));
    QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the window to <path> once it is shown, then quit. "
                       "Questions are answered with OK and no message is shown."),
        QStringLiteral("path"));
    parser.addOption(quitAfter);
    parser.addOption(screenshot);
    parser.process(app);
    const bool grabbing = parser.isSet(screenshot);

    QtPrompt qtPrompt;
    varno::SilentPrompt silent;
    varno::Prompt& prompt = grabbing ? static_cast<varno::Prompt&>(silent) : qtPrompt;

    varno::platform::PosixFileSync sync;
    varno::settings::SettingsStore store(varno::platform::defaultSettingsPath(), &sync);
    varno::settings::Settings settings(store, prompt);
    varno::platform::SystemClock clock;
    varno::platform::CSio port;

    // The waits of a port open hold the window; show that it is busy.
    auto sleep = [](std::chrono::milliseconds ms) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        std::this_thread::sleep_for(ms);
        QApplication::restoreOverrideCursor();
    };
    // View construction: settings read, version check.
    // Camera warnings are spoken through the sound server; silent when there is none.
    const std::unique_ptr<varno::cameras::VoicePlayer> voice = varno::platform::makeVoicePlayer();
    varno::session::Session session(
        {settings, prompt, clock, port, varno::platform::dataRoot(), sleep, voice.get()});

    CMainFrame frame(session);
    qtPrompt.setParent(&frame);
    frame.setRouteFolder(QString::fromStdString(varno::platform::usePath("C:\\VARNO\\Route\\")));
    // The view's initial update: the first-run question.
    session.initialUpdate();
    frame.show();

    if (grabbing) {
        const QString path = parser.value(screenshot);
        // Tall enough for the sentence strip, with the built-in test sentence in it.
        frame.runCommand(varno::session::cmd::Scr800x700);
        QTimer::singleShot(700, &frame, [&frame, &session, path] {
            // "Do a ondraw"'s sentence, taken by the paint that the grab runs.
            session.doOnDraw();
            const bool ok = frame.grab().save(path);
            QApplication::exit(ok ? 0 : 1);
        });
    }
    if (parser.isSet(quitAfter))
        QTimer::singleShot(parser.value(quitAfter).toInt(), &frame, &QWidget::close);
    return app.exec();
}
