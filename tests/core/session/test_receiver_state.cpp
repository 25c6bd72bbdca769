// ReceiverState: the receiver's words for every link, sentence history and age.
#include <gtest/gtest.h>

#include "gps/CNmeaDecoder.h"
#include "session/ReceiverState.h"

using namespace varno;
using session::ReceiverLink;
using session::ReceiverState;
using Kind = ReceiverLink::Kind;
using namespace std::chrono_literals;

namespace {

const ReceiverState::TimePoint t0{};

// What the decoder holds after a GGA (sats >= 0) or, with sats < 0, an RMC alone.
gps::CNmeaDecoder decoded(bool fix, int sats)
{
    gps::CNmeaDecoder d;
    if (sats >= 0) {
        d.GgaCount = 1;
        d.FixQuality = fix ? 1 : 0;
        d.Satellites = static_cast<std::uint8_t>(sats);
        d.Latitude = fix ? 51.5 : 0.0;
    } else {
        d.RmcCount = 1;
        d.RmcStatus = fix ? 'A' : 'V';
    }
    return d;
}

struct Step {
    std::chrono::milliseconds at;
    std::optional<ReceiverLink> link;     // set the link
    std::optional<gps::CNmeaDecoder> got; // or a sentence arrives
};

struct Case {
    const char* name;
    std::vector<Step> steps;
    std::chrono::milliseconds askAt;
    std::string words;
};

const ReceiverLink usb{Kind::Open, "/dev/ttyUSB0"};

} // namespace

TEST(ReceiverState, WordsFollowTheLinkAndTheSentences)
{
    const std::vector<Case> cases = {
        {"nothing open", {}, 0ms, "GPS off"},
        {"opening",
         {{0ms, ReceiverLink{Kind::Opening, "/dev/ttyUSB0"}, {}}},
         3s,
         "Opening /dev/ttyUSB0\u2026"},
        {"open, silent so far", {{0ms, usb, {}}}, 30s, "Waiting for data on /dev/ttyUSB0"},
        {"no fix yet", {{0ms, usb, {}}, {1s, {}, decoded(false, 3)}}, 1500ms, "No fix (3 satellites)"},
        {"one satellite", {{0ms, usb, {}}, {1s, {}, decoded(false, 1)}}, 1s, "No fix (1 satellite)"},
        {"fix", {{0ms, usb, {}}, {1s, {}, decoded(true, 9)}}, 2s, "Fix, 9 satellites"},
        {"fix from an RMC alone", {{0ms, usb, {}}, {1s, {}, decoded(true, -1)}}, 1s, "Fix"},
        {"void RMC", {{0ms, usb, {}}, {1s, {}, decoded(false, -1)}}, 1s, "No fix"},
        // The fix was lost 3 s after it was had: its age shows from 2 s on.
        {"fix lost",
         {{0ms, usb, {}}, {1s, {}, decoded(true, 7)}, {4s, {}, decoded(false, 2)}},
         4500ms,
         "No fix (2 satellites), fix 3 s old"},
        // Silence: the receiver is stopped after 5 s without a sentence, and the fix ages.
        {"silent just short of the limit",
         {{0ms, usb, {}}, {1s, {}, decoded(true, 9)}},
         5999ms,
         "Fix, 9 satellites, fix 4 s old"},
        {"silent",
         {{0ms, usb, {}}, {1s, {}, decoded(true, 9)}},
         6s,
         "Receiver stopped responding, fix 5 s old"},
        {"reader ended",
         {{0ms, usb, {}}, {1s, {}, decoded(false, 0)}, {2s, ReceiverLink{Kind::Lost, usb.port}, {}}},
         2s,
         "Receiver stopped responding"},
        // A new open forgets the last one's fix.
        {"opened again",
         {{0ms, usb, {}}, {1s, {}, decoded(true, 9)}, {2s, ReceiverLink{}, {}}, {3s, usb, {}}},
         4s,
         "Waiting for data on /dev/ttyUSB0"},
        // A replay says what its sentences say and never goes silent (it may be paused).
        {"replay starting", {{0ms, ReceiverLink{Kind::Replay, {}}, {}}}, 0ms, "Replay"},
        {"replay paused",
         {{0ms, ReceiverLink{Kind::Replay, {}}, {}}, {1s, {}, decoded(true, 8)}},
         60s,
         "Fix, 8 satellites, fix 59 s old"},
        {"GGA without a position is no fix",
         {{0ms, usb, {}},
          {1s,
           {},
           [] {
               auto d = decoded(true, 5);
               d.Latitude = 0.0;
               return d;
           }()}},
         1s,
         "No fix (5 satellites)"},
    };
    for (const Case& c : cases) {
        ReceiverState s;
        for (const Step& step : c.steps) {
            if (step.link)
                s.setLink(*step.link);
            if (step.got)
                s.sentence(*step.got, t0 + step.at);
        }
        EXPECT_EQ(s.words(t0 + c.askAt), c.words) << c.name;
    }
}

// The view's big words speak only of the link: waiting for the first sentence, or silence.
TEST(ReceiverState, LinkNoticeSaysWaitingOrStoppedAndNothingElse)
{
    ReceiverState s;
    EXPECT_EQ(s.linkNotice(t0), "");
    s.setLink({Kind::Opening, usb.port});
    EXPECT_EQ(s.linkNotice(t0), "Waiting for GPS on /dev/ttyUSB0");
    s.setLink(usb);
    EXPECT_EQ(s.linkNotice(t0 + 30s), "Waiting for GPS on /dev/ttyUSB0");
    s.sentence(decoded(false, 3), t0 + 1s);
    EXPECT_EQ(s.linkNotice(t0 + 5999ms), ""); // no fix: the fix itself tells
    EXPECT_EQ(s.linkNotice(t0 + 6s), "Receiver stopped responding");
    s.setLink({Kind::Replay, {}});
    s.sentence(decoded(true, 8), t0 + 1s);
    EXPECT_EQ(s.linkNotice(t0 + 60s), "");
    s.setLink({Kind::Lost, usb.port});
    EXPECT_EQ(s.linkNotice(t0), "Receiver stopped responding");
}
