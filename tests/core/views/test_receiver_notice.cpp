// The receiver's big words over the views, and where the route agent's character may stand.
#include <gtest/gtest.h>

#include "views/AgentSpot.h"
#include "views/CameraViewScene.h"
#include "views/ReceiverNotice.h"
#include "views/ViewMode.h"
#include "views/ViewScale.h"

using namespace varno::views;

namespace {

const TextItem* notice(const Scene& s)
{
    for (const TextItem* t : s.all<TextItem>())
        if (t->centred)
            return t;
    return nullptr;
}

bool overlaps(const Rect& a, const Rect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

// Off (every existing profile) nothing changes; on, the link's words come first, then the missing fix
// with its satellites, drawn last in every view that follows the fix and fits the box.
TEST(ReceiverNotice, WordsOnlyWhenAskedForAndWhereTheyFit)
{
    ViewModes modes;
    SceneInput in;
    in.windowWidth = 800, in.windowHeight = 600, in.noFix = true, in.satellites = 3;
    EXPECT_EQ(notice(composeScene(modes.mode(MapView::Camera), in)), nullptr);
    in.receiverNotice = true;
    for (MapView v : kAllViews) {
        const Scene s = composeScene(modes.mode(v), in);
        if (v == MapView::TrackEditor) {
            EXPECT_EQ(notice(s), nullptr);
            continue;
        }
        ASSERT_NE(notice(s), nullptr) << int(v);
        EXPECT_EQ(std::get_if<TextItem>(&s.items.back()), notice(s));
        EXPECT_EQ(notice(s)->text, "NO FIX \u2014 3 satellites");
        EXPECT_EQ(notice(s)->colour, kNoticeAmber);
    }
    in.satellites = 1;
    const std::string one = receiverNoticeText(in);
    in.satellites.reset();
    const std::string unknown = receiverNoticeText(in);
    in.noFix = false;
    EXPECT_EQ(one + "|" + unknown + "|" + receiverNoticeText(in), "NO FIX \u2014 1 satellite|NO FIX|");
    // Before the first sentence: the fill and, while a port waits, the words in white.
    in.nothingReceived = true, in.linkNotice = "Waiting for GPS on /dev/ttyUSB0";
    const Scene waiting = composeScene(modes.mode(MapView::Camera), in);
    ASSERT_EQ(waiting.items.size(), 4u); // fill, box, frame, words
    EXPECT_EQ(notice(waiting)->text, in.linkNotice);
    EXPECT_EQ(notice(waiting)->colour, kNoticeText);
    in.windowWidth = 600;
    EXPECT_EQ(notice(composeScene(modes.mode(MapView::Camera), in)), nullptr);
}

// Hidden outside the views that guide; there, clear of every rose, round map and framed box.
TEST(AgentSpot, OnlyInGuidingViewsAndClearOfWhatTheDriverReads)
{
    ViewModes modes;
    SceneInput in;
    in.windowWidth = kLayoutWidth, in.windowHeight = kLayoutHeight, in.satellites = 3;
    for (bool noFix : {false, true}) {
        in.receiverNotice = in.noFix = noFix;
        for (MapView v : kAllViews) {
            const Scene s = composeScene(modes.mode(v), in);
            const auto spot = agentSpot(s, v, kLayoutWidth, kLayoutHeight, 64, 64);
            ASSERT_EQ(spot.has_value(), v == MapView::Route || v == MapView::Pointer || v == MapView::Trail);
            if (!spot)
                continue;
            EXPECT_TRUE(spot->left >= 0 && spot->top >= 0 && spot->right <= kLayoutWidth &&
                        spot->bottom <= kLayoutHeight && spot->right - spot->left == 64);
            for (const auto& item : s.items) {
                const auto* e = std::get_if<EllipseItem>(&item);
                const auto* f = std::get_if<FrameItem>(&item);
                EXPECT_FALSE((e && overlaps(*spot, e->rect)) || (f && overlaps(*spot, f->rect))) << int(v);
            }
        }
    }
    Scene full;
    full.add(EllipseItem{{0, 0, kLayoutWidth, kLayoutHeight}});
    EXPECT_FALSE(agentSpot(full, MapView::Route, kLayoutWidth, kLayoutHeight, 64, 64));
}
