// The receiver's state in words for the status bar: opening, waiting, fix or no fix, silent.
#include "session/ReceiverState.h"

#include <fmt/format.h>

#include "gps/CNmeaDecoder.h"

namespace varno::session {
namespace {

std::string satellitesText(int n)
{
    return fmt::format("{} satellite{}", n, n == 1 ? "" : "s");
}

long long wholeSeconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration_cast<std::chrono::seconds>(d).count();
}

} // namespace

void ReceiverState::setLink(const ReceiverLink& link)
{
    if (link == link_)
        return;
    link_ = link;
    lastSentence_.reset();
    lastFix_.reset();
    fix_ = false;
    satellites_.reset();
}

void ReceiverState::sentence(const gps::CNmeaDecoder& d, TimePoint now)
{
    lastSentence_ = now;
    if (d.GgaCount > 0) {
        // The GGA says both: its quality (0 = no fix) and the satellites used.
        fix_ = d.FixQuality > 0 && d.Latitude != 0.0;
        satellites_ = d.Satellites;
    } else {
        fix_ = d.RmcStatus == 'A';
        satellites_.reset();
    }
    if (fix_)
        lastFix_ = now;
}

std::string ReceiverState::words(TimePoint now) const
{
    using Kind = ReceiverLink::Kind;
    std::string text;
    switch (link_.kind) {
    case Kind::Off:
        return "GPS off";
    case Kind::Opening:
        return "Opening " + link_.port + "\u2026";
    case Kind::Lost:
        text = "Receiver stopped responding";
        break;
    case Kind::Open:
        if (!lastSentence_)
            return "Waiting for data on " + link_.port;
        if (now - *lastSentence_ >= kSilence) {
            text = "Receiver stopped responding";
            break;
        }
        [[fallthrough]];
    case Kind::Replay:
        // A paused replay is silent on purpose: it keeps its last words.
        if (!lastSentence_)
            return "Replay";
        if (fix_)
            text = satellites_ ? "Fix, " + satellitesText(*satellites_) : "Fix";
        else
            text = satellites_ ? "No fix (" + satellitesText(*satellites_) + ")" : "No fix";
        break;
    }
    if (lastFix_ && now - *lastFix_ >= kFreshFix)
        text += fmt::format(", fix {} s old", wholeSeconds(now - *lastFix_));
    return text;
}

std::string ReceiverState::linkNotice(TimePoint now) const
{
    using Kind = ReceiverLink::Kind;
    switch (link_.kind) {
    case Kind::Opening:
        return "Waiting for GPS on " + link_.port;
    case Kind::Open:
        if (!lastSentence_)
            return "Waiting for GPS on " + link_.port;
        return now - *lastSentence_ >= kSilence ? "Receiver stopped responding" : std::string();
    case Kind::Lost:
        return "Receiver stopped responding";
    case Kind::Off:
    case Kind::Replay:
        break;
    }
    return {};
}

} // namespace varno::session
