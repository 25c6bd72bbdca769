// varno --replay FILE: a replay that starts with the window, for demos and pictures.
#include "gui/gps/ReplayStart.h"

#include "base/InputFile.h"
#include "gui/frame/CMainFrame.h"
#include "gui/frame/CVARNOView.h"
#include "gui/gps/ReplayController.h"
#include "session/CommandTable.h"

bool startCommandLineReplay(CMainFrame& frame, const ReplayStartRequest& request,
                            const std::function<void(int exitCode)>& done)
{
    varno::session::Session& session = frame.view()->session();
    auto* replay = frame.findChild<ReplayController*>();
    if (!replay)
        return false;
    // Checked the way the replay itself opens it, so the message says why.
    const std::string path = request.file.toStdString();
    if (std::string refusal; !varno::openForReading(path, &refusal)) {
        session.prompt().message("Error can't open the log file\n" + varno::nameWithRefusal(path, refusal));
        if (done)
            done(2);
        return false;
    }
    // One source at a time: a receiver started with the window stops for the
    // replay the command line asked for.
    if (session.gpsRunning())
        session.stopGps();
    // Room for the sentence strip at the bottom.
    frame.runCommand(varno::session::CommandId::Scr800x700);

    QObject::connect(replay, &ReplayController::finished, &frame, [&frame, &session, replay, request, done] {
        int code = 0;
        if (!request.snapshot.isEmpty()) {
            // The picture shows the last sentence in the strip, as its repaint drew it.
            if (!replay->lastSentence().empty())
                session.road().mailbox().replace(replay->lastSentence());
            if (!frame.grab().save(request.snapshot))
                code = 1;
        }
        if (request.quitAtEnd && done)
            done(code);
    });
    return replay->start(request.file, request.delayMs,
                         {.showNotice = false, .reportEnd = !request.quitAtEnd});
}
