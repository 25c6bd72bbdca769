// Replay pace: lines per second a replay into the real window achieves, against what its delay asks for.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <cstdio>

#include "SessionRig.h"
#include "gps/PortList.h"
#include "gui/frame/CMainFrame.h"
#include "gui/gps/ReplayController.h"

#ifndef VARNO_DEMO_DATA_DIR
#define VARNO_DEMO_DATA_DIR "data/demo"
#endif

namespace {

class NoPorts final : public varno::gps::SerialPortEnumerator {
public:
    std::vector<std::string> presentPorts() const override { return {}; }
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const QString drive = VARNO_DEMO_DATA_DIR "/demo-drive.txt";
    // The replay is the only source of sentences.
    varno::bench::SessionRig rig(
        "replay",
        [](const std::filesystem::path& dir, varno::settings::Settings&) {
            std::filesystem::copy_file(VARNO_DEMO_DATA_DIR "/VARNOCamera.txt", dir / "VARNOCamera.txt");
        },
        {}, false);
    NoPorts ports;
    CMainFrame frame(*rig.session, nullptr, &ports);
    frame.resize(800, 700);
    frame.show();
    auto* replay = frame.findChild<ReplayController*>();

    std::printf("Replay of the demo drive into the window (%s), camera view drawn for every line.\n",
                qgetenv("QT_QPA_PLATFORM").constData());
    std::printf("%8s %8s %10s %14s %14s %8s\n", "delay", "lines", "seconds", "asked lines/s", "got lines/s",
                "pace");
    for (int delayMs : {1, 2, 5, 10}) {
        QEventLoop loop;
        QObject::connect(replay, &ReplayController::finished, &loop, &QEventLoop::quit);
        QElapsedTimer t;
        t.start();
        if (!replay->start(drive, delayMs, {.showNotice = false, .reportEnd = false})) {
            std::fprintf(stderr, "bench_replay: the replay did not start\n");
            return 1;
        }
        loop.exec();
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        const int lines = replay->linesSent();
        const double asked = 1000.0 / delayMs;
        const double got = lines / seconds;
        std::printf("%6d ms %8d %10.2f %14.0f %14.0f %7.0f%%\n", delayMs, lines, seconds, asked, got,
                    100.0 * got / asked);
    }
    return 0;
}
