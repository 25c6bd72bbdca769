// What the varno-cli commands that drive the sentence road share: their arguments, settings, fix, mailbox and
// road.
#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Cli.h"
#include "gps/CNmeaDecoder.h"
#include "gps/LogReplay.h"
#include "gps/SentenceMailbox.h"
#include "session/SentenceRoad.h"
#include "session/ViewState.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"
#include "views/ViewMode.h"

namespace varno::cli {

// One option of a command that reads a log, besides --settings.
struct LogOption {
    std::string name;
    bool takesValue = true;
    // The option's value (empty for a flag); false refuses it: the handler has
    // said why, the usage follows.
    std::function<bool(const std::string& value)> take;
};

// What `[--settings FILE] [options] LOG` gave.
struct LogArgs {
    std::string settingsPath;
    std::string logPath;
};

// Reads `[--settings FILE] [options] LOG`. A wrong, extra or missing argument
// prints the usage, and a LOG that cannot be read says why: nullopt, and the
// command exits with kExitUsage.
std::optional<LogArgs> parseLogArgs(Context& ctx, const Args& args, const std::vector<LogOption>& options,
                                    void (*usage)(std::FILE*));

// The settings, the fix, the mailbox and the shown view of a command that
// drives the sentence road, as the window has them. The command makes the
// pieces it needs (a warner, a route) and then the road through them.
class RoadCommand {
public:
    RoadCommand(Context& ctx, const std::string& settingsPath,
                session::MapView shown = session::MapView::Camera);
    RoadCommand(const RoadCommand&) = delete;
    RoadCommand& operator=(const RoadCommand&) = delete;

    settings::Settings& settings() { return settings_; }
    gps::CNmeaDecoder& fix() { return fix_; }
    gps::SentenceMailbox& mailbox() { return mailbox_; }

    // The road through the fix, the mailbox and these pieces (null: none).
    session::SentenceRoad& makeRoad(cameras::CameraWarner* warner, routes::RouteGuide* routes = nullptr);
    session::SentenceRoad& road() { return *road_; }

    // The window's replay of a log with no UI thread to reach and no pace to
    // keep: everything runs on the replay's own thread while this one waits.
    // Each line is a repaint that draws nothing, then a notify; the two hooks
    // run after each.
    void replay(const std::string& logPath,
                std::function<void(const session::SentenceRoad::Intake&)> afterRepaint,
                std::function<void()> afterNotify);
    // The replay's lines read and handed over; 0 before it runs.
    int linesRead() const { return replay_ ? replay_->linesRead() : 0; }
    int linesSent() const { return replay_ ? replay_->linesSent() : 0; }
    // The start of an event line: the line of the log and the fix's local
    // time in this zone, "LINE\tH:MM:SS\t".
    std::string eventPrefix(const TimeZone& timeZone) const;

private:
    Context& ctx_;
    settings::SettingsStore store_;
    settings::Settings settings_;
    gps::CNmeaDecoder fix_;
    gps::SentenceMailbox mailbox_;
    session::ViewState view_;
    views::ViewModes modes_;
    std::optional<session::SentenceRoad> road_;
    std::optional<gps::LogReplay> replay_;
};

} // namespace varno::cli
