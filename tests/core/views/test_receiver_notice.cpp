// The receiver's big words over the views, and where the route agent's character may stand.
#include <gtest/gtest.h>

#include "views/AgentSpot.h"
#include "views/CameraViewScene.h"
#include "views/HeadingScenes.h"
#include "views/ReceiverNotice.h"
#include "views/ViewMode.h"
#include "views/ViewScale.h"

using namespace varno;
using namespace varno::views;

namespace {

const TextItem* notice(const Scene& s)
{
    for (const TextItem* t : s.all<TextItem>())
        if (t->centred)
            return t;
    return nullptr;
}

SceneInput noFixInput()
{
    SceneInput in;
    in.windowWidth = 800, in.windowHeight = 600;
    in.fix.position = geo::LatLon(51.5, -1.0);
    in.noFix = true;
    in.satellites = 3;
    in.stripText = "$GPGGA";
    return in;
}

bool overlaps(const Rect& a, const Rect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

// Off (every existing profile) nothing changes; on, the link's words come first, then the missing fix
// with its satellites, in the views that follow the fix and fit the box.
TEST(ReceiverNotice, WordsOnlyWhenAskedForAndWhereTheyFit)
{
    ViewModes modes;
    SceneInput in = noFixInput();
    const Scene off = composeScene(modes.mode(MapView::Camera), in);
    EXPECT_EQ(notice(off), nullptr);
    EXPECT_EQ(boxTexts(off, BoxId::CameraLine), std::vector<std::string>{std::string(kNoFixText)});

    in.receiverNotice = true;
    for (MapView v : kAllViews) {
        const Scene s = composeScene(modes.mode(v), in);
        const TextItem* t = notice(s);
        if (v == MapView::TrackEditor) {
            EXPECT_EQ(t, nullptr);
            continue;
        }
        ASSERT_NE(t, nullptr) << int(v);
        EXPECT_EQ(t->text, "NO FIX \u2014 3 satellites");
        EXPECT_EQ(t->colour, kNoticeAmber);
        EXPECT_EQ(t->clip, kNoticeRect);
        EXPECT_TRUE(s.hasFrame(kNoticeRect));
        // Drawn last: nothing covers it.
        EXPECT_EQ(std::get_if<TextItem>(&s.items.back()), t);
    }

    const auto words = [&](auto change) {
        SceneInput c = in;
        change(c);
        return receiverNoticeText(c);
    };
    EXPECT_EQ(words([](SceneInput& c) { c.satellites = 1; }), "NO FIX \u2014 1 satellite");
    EXPECT_EQ(words([](SceneInput& c) { c.satellites.reset(); }), "NO FIX");
    EXPECT_EQ(words([](SceneInput& c) { c.noFix = false; }), "");
    EXPECT_EQ(words([](SceneInput& c) { c.linkNotice = "Receiver stopped responding"; }),
              "Receiver stopped responding");

    // Before the first sentence the view is its fill and, while a port waits, the words in white.
    in.nothingReceived = true;
    EXPECT_EQ(composeScene(modes.mode(MapView::Camera), in).items.size(), 1u);
    in.linkNotice = "Waiting for GPS on /dev/ttyUSB0";
    const Scene waiting = composeScene(modes.mode(MapView::Camera), in);
    ASSERT_NE(notice(waiting), nullptr);
    EXPECT_EQ(notice(waiting)->text, in.linkNotice);
    EXPECT_EQ(notice(waiting)->colour, kNoticeText);

    // A window too small for the box shows none.
    in.windowWidth = 600;
    EXPECT_EQ(notice(composeScene(modes.mode(MapView::Camera), in)), nullptr);
}

// Hidden outside the views that guide; there, inside the layout and clear of every rose, round map and
// framed box (top lines, strip, a notice), as near the bottom right as that allows.
TEST(AgentSpot, OnlyInGuidingViewsAndClearOfWhatTheDriverReads)
{
    ViewModes modes;
    SceneInput in = noFixInput();
    in.windowWidth = kLayoutWidth, in.windowHeight = kLayoutHeight;
    in.noFix = false;
    for (bool withNotice : {false, true}) {
        in.receiverNotice = withNotice;
        in.noFix = withNotice;
        for (MapView v : kAllViews) {
            const Scene s = composeScene(modes.mode(v), in);
            const auto spot = agentSpot(s, v, in.windowWidth, in.windowHeight, 64, 64);
            if (v != MapView::Route && v != MapView::Pointer && v != MapView::Trail) {
                EXPECT_FALSE(spot) << int(v);
                continue;
            }
            ASSERT_TRUE(spot) << int(v);
            EXPECT_EQ(spot->right - spot->left, 64);
            EXPECT_TRUE(spot->left >= 0 && spot->top >= 0 && spot->right <= in.windowWidth &&
                        spot->bottom <= in.windowHeight);
            for (const EllipseItem* e : s.all<EllipseItem>())
                EXPECT_FALSE(overlaps(*spot, e->rect)) << int(v);
            for (const FrameItem* f : s.all<FrameItem>())
                EXPECT_FALSE(overlaps(*spot, f->rect)) << int(v);
            // As far right as the layout allows: the right column unless something is there.
            if (v == MapView::Route && !withNotice)
                EXPECT_EQ(spot->right, in.windowWidth - 4);
        }
    }
    // No room at all: hidden.
    Scene full;
    full.add(EllipseItem{{0, 0, 780, 510}});
    EXPECT_FALSE(agentSpot(full, MapView::Route, 780, 510, 64, 64));
}
