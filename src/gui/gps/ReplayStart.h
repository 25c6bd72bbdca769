// varno --replay FILE: a replay that starts with the window, for demos and pictures.
#pragma once

#include <QString>
#include <functional>

class CMainFrame;

struct ReplayStartRequest {
    QString file;           // a path on this machine
    int delayMs = 100;      // per line, at least 1
    QString snapshot;       // where to save a picture of the window after the last line; empty: none
    bool quitAtEnd = false; // end the program after the last line instead of reporting and waiting
};

// Starts the replay at once, without the "Replay log" notice (the command line
// asked for it). After the last line: the picture is saved and, with
// quitAtEnd, done(0) is called (1 when the picture could not be saved) with no
// "Replay complete" box in between. Without quitAtEnd the box comes as usual
// and the window stays. A file that cannot be opened is reported and done(2)
// is called. False when the replay did not start.
bool startCommandLineReplay(CMainFrame& frame, const ReplayStartRequest& request,
                            const std::function<void(int exitCode)>& done);
