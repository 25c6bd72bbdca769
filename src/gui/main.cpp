// varno: the safety-camera warner's window.
#include <QApplication>
#include <QCommandLineParser>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QStatusBar>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <functional>

#ifndef VARNO_VERSION
#define VARNO_VERSION "unknown"
#endif

#include "cameras/QueuedVoicePlayer.h"
#include "gps/LogReplay.h"
#include "gui/frame/CMainFrame.h"
#include "gui/frame/CVARNOView.h"
#include "gui/frame/DemoSetup.h"
#include "gui/frame/FirstRunPage.h"
#include "gui/gps/ReplayStart.h"
#include "gui/paint/AppIcon.h"
#include "gui/routes/ScreenAgent.h"
#include "gui/support/QtPrompt.h"
#include "gui/support/UiBridgeQt.h"
#include "Paths.h"
#include "PosixFileSync.h"
#include "PosixInputFile.h"
#include "session/CommandTable.h"
#include "session/Session.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"
#include "SourcePort.h"
#include "SystemClock.h"
#include "TempCleanup.h"
#include "VoiceFolder.h"
#include "VoicePlayback.h"

int main(int argc, char** argv)
{
    // Answered before the window system is asked for, so it works without a display.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("varno %s\n", VARNO_VERSION);
            return 0;
        }
    QApplication app(argc, argv);
    varno::platform::installNonBlockingReadOpener();
    // A conversion's half-written output goes with the window when it is
    // killed (SIGTERM at log-out, Ctrl-C in the terminal it was started from).
    varno::platform::installTemporaryCleanup();
    QApplication::setApplicationName(QStringLiteral("VARNO"));
    QApplication::setApplicationVersion(QStringLiteral(VARNO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("varno"));
    QApplication::setWindowIcon(appIcon());

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption quitAfter(QStringLiteral("quit-after"),
                                 QStringLiteral("Close the window after <ms> milliseconds."),
                                 QStringLiteral("ms"));
    QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the window to <path> once it is shown, then quit. "
                       "Questions are answered with OK and no message is shown."),
        QStringLiteral("path"));
    QCommandLineOption replayOpt(QStringLiteral("replay"),
                                 QStringLiteral("Replay the NMEA log <file> as soon as the window is up."),
                                 QStringLiteral("file"));
    QCommandLineOption delayOpt(
        QStringLiteral("delay"),
        QStringLiteral("Milliseconds per line of a --replay or --demo (default 100)."), QStringLiteral("ms"));
    QCommandLineOption snapshotOpt(
        QStringLiteral("snapshot"),
        QStringLiteral("After the last replayed line, save a picture of the window "
                       "to <png>."),
        QStringLiteral("png"));
    QCommandLineOption quitAtEndOpt(
        QStringLiteral("quit-at-end"),
        QStringLiteral("Quit after the last replayed line instead of reporting it; "
                       "messages go to standard error."));
    QCommandLineOption demoOpt(
        QStringLiteral("demo"),
        QStringLiteral("Replay the demo drive past the demo cameras, with a data folder and "
                       "settings of its own (in the build tree, or the cache folder when installed)."));
    parser.addOption(quitAfter);
    parser.addOption(screenshot);
    parser.addOption(replayOpt);
    parser.addOption(delayOpt);
    parser.addOption(snapshotOpt);
    parser.addOption(quitAtEndOpt);
    parser.addOption(demoOpt);
    parser.process(app);
    const bool grabbing = parser.isSet(screenshot);
    const bool demo = parser.isSet(demoOpt);
    const bool quitAtEnd = parser.isSet(quitAtEndOpt);

    // The demo's data folder and settings, before anything reads where they are.
    DemoPlace place;
    if (demo) {
        place = demoPlace();
        QString why;
        if (!prepareDemoPlace(place, &why)) {
            std::fprintf(stderr, "varno: %s\n", qPrintable(why));
            return 1;
        }
    }

    QtPrompt qtPrompt;
    varno::SilentPrompt silent;
    // A run that quits by itself has nobody to answer: messages go to standard error.
    class StderrPrompt final : public varno::Prompt {
    public:
        varno::PromptAnswer show(const std::string& text, varno::PromptButtons buttons, varno::PromptIcon,
                                 const std::string&) override
        {
            std::fprintf(stderr, "varno: %s\n", text.c_str());
            return buttons == varno::PromptButtons::YesNo ? varno::PromptAnswer::Yes
                                                          : varno::PromptAnswer::Ok;
        }
    } stderrPrompt;
    varno::Prompt& prompt = grabbing    ? static_cast<varno::Prompt&>(silent)
                            : quitAtEnd ? static_cast<varno::Prompt&>(stderrPrompt)
                                        : qtPrompt;

    varno::platform::PosixFileSync sync;
    varno::settings::SettingsStore store(varno::platform::defaultSettingsPath(), &sync);
    varno::settings::Settings settings(store, prompt);
    if (demo && !writeDemoSettings(settings))
        return 1;
    // The spoken default voices, into a voice folder that has none yet.
    {
        varno::platform::installDefaultVoices(settings);
    }
    varno::platform::SystemClock clock;
    varno::platform::SourcePort port;

    // The port opens on a worker (its waits cancel on Stop); the window stays
    // live meanwhile and shows that it is busy opening.
    std::function<void(std::chrono::milliseconds)> sleep;
    CMainFrame* shownFrame = nullptr;
    auto opening = [&shownFrame](bool busy, const std::string& portName) {
        if (busy)
            QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
        else
            QApplication::restoreOverrideCursor();
        if (shownFrame)
            shownFrame->showOpening(busy, QString::fromStdString(portName));
    };
    // View construction: settings read, version check.
    // Camera warnings are spoken through the sound server, one after another on
    // a thread of their own so that the window never waits for a sound. Without
    // a server they are silent, and the status bar says so once.
    // Also the notes of files read with over-long lines.
    auto showInStatusBar = [&shownFrame](const std::string& message) {
        QMetaObject::invokeMethod(
            qApp,
            [&shownFrame, text = QString::fromStdString(message)] {
                if (shownFrame)
                    shownFrame->statusBar()->showMessage(text);
            },
            Qt::QueuedConnection);
    };
    const auto voice = std::make_unique<varno::cameras::QueuedVoicePlayer>(
        varno::platform::makeVoicePlayer(showInStatusBar));
    // Route texts: the agent in the view's corner, its words queued behind the camera warnings.
    // An installed program has it in <prefix>/share/varno/agent, beside its bin folder.
    const QString installedAgent =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/varno/agent/owl.txt");
    ScreenAgent agent(voice.get(), QFileInfo(installedAgent).isFile()
                                       ? QDir::cleanPath(installedAgent)
                                       : QStringLiteral(VARNO_AGENT_CHARACTER));
    varno::session::Session session({settings, prompt, clock, port, varno::platform::dataRoot(), sleep,
                                     voice.get(), opening, &agent, postTo(qApp), showInStatusBar});

    CMainFrame frame(session);
    agent.attach(frame.view());
    // The character scales with the view and keeps clear of what the driver reads.
    agent.setStage([view = frame.view()](QSize character) { return view->agentSpot(character); });
    shownFrame = &frame;
    qtPrompt.setParent(&frame);
    frame.setRouteFolder(QString::fromStdString(varno::platform::usePath("C:\\VARNO\\Route\\")));
    // The view's initial update: the first-run question.
    session.initialUpdate();
    // The demo's trail is there for the trail view ("/"), its POIs for the POI view (F7).
    if (demo)
        session.loadTrail(place.trail.toStdString());
    const QString replayFile = demo ? place.drive : parser.value(replayOpt);
    // A picture or a replay wants the window tall enough for the sentence strip.
    // Sized before it is shown, the window is placed by its outer frame even
    // while the window manager has not yet told how big the frame is.
    if (grabbing || !replayFile.isEmpty())
        frame.runCommand(varno::session::CommandId::Scr800x700);
    frame.show();

    if (grabbing) {
        const QString path = parser.value(screenshot);
        // The built-in test sentence in the strip.
        QTimer::singleShot(700, &frame, [&frame, &session, path] {
            // "Do a ondraw"'s sentence, taken by the paint that the grab runs.
            session.doOnDraw();
            const bool ok = frame.grab().save(path);
            QApplication::exit(ok ? 0 : 1);
        });
    }
    if (!replayFile.isEmpty() && !grabbing) {
        ReplayStartRequest request;
        request.file = replayFile;
        if (parser.isSet(delayOpt))
            request.delayMs = varno::gps::LogReplay::delayFromText(parser.value(delayOpt).toStdString());
        request.snapshot = parser.value(snapshotOpt);
        request.quitAtEnd = quitAtEnd;
        // Once the event loop runs, so the window is up and laid out first.
        QTimer::singleShot(0, &frame, [&frame, request] {
            startCommandLineReplay(frame, request, [](int code) { QApplication::exit(code); });
        });
    }
    // A fresh profile, once its settings questions are answered: the welcome
    // page, when someone is there to answer it.
    if (!grabbing && !quitAtEnd && replayFile.isEmpty())
        QTimer::singleShot(0, &frame, [&frame] { showFirstRunPageIfDue(frame); });
    if (parser.isSet(quitAfter))
        QTimer::singleShot(parser.value(quitAfter).toInt(), &frame, &QWidget::close);
    const int result = app.exec();
    shownFrame = nullptr;
    return result;
}
