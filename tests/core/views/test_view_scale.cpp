// The mapping of a view's logical layout onto the window, both ways.
#include <gtest/gtest.h>

#include "views/ViewMode.h"
#include "views/ViewScale.h"

using namespace varno::views;

namespace {

struct ScaleCase {
    const char* name;
    int w, h;
    bool scale, fixed;
    int logicalW, logicalH;
    double factor, dx, dy;
};

TEST(ViewScale, LogicalSizeFactorAndLetterbox)
{
    const ScaleCase cases[] = {
        {"off keeps the window at 1:1", 1560, 1020, false, true, 1560, 1020, 1.0, 0, 0},
        {"editor fills the window", 1560, 1020, true, false, 1560, 1020, 1.0, 0, 0},
        {"smaller window stays 1:1", 700, 400, true, true, 700, 400, 1.0, 0, 0},
        {"the layout size itself", 780, 510, true, true, 780, 510, 1.0, 0, 0},
        {"wider than tall: bars left and right", 1600, 1020, true, true, 780, 510, 2.0, 20, 0},
        {"taller than wide: bars top and bottom", 1560, 1100, true, true, 780, 510, 2.0, 0, 40},
        {"one side larger only stays 1:1", 1600, 500, true, true, 1600, 500, 1.0, 0, 0},
    };
    for (const ScaleCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ViewScale s = viewScaleFor(c.w, c.h, c.scale, c.fixed);
        EXPECT_EQ(s.logicalWidth, c.logicalW);
        EXPECT_EQ(s.logicalHeight, c.logicalH);
        EXPECT_DOUBLE_EQ(s.factor, c.factor);
        EXPECT_DOUBLE_EQ(s.dx, c.dx);
        EXPECT_DOUBLE_EQ(s.dy, c.dy);
        EXPECT_EQ(s.identity(), c.factor == 1.0);
    }
}

TEST(ViewScale, WindowPositionsReachTheirLogicalPixel)
{
    struct Case {
        int w, h;
        double x, y;
        int lx, ly;
    } cases[] = {
        {780, 510, 0, 0, 0, 0},             // 1:1: unchanged
        {780, 510, 379.4, 200.6, 379, 201}, // 1:1: rounded as a position always was
        {1600, 1020, 20, 0, 0, 0},          // the logical origin, right of the letterbox
        {1600, 1020, 21, 1, 0, 0},          // still inside logical pixel 0 at 2x
        {1600, 1020, 22, 2, 1, 1},
        {1600, 1020, 19, 0, -1, 0}, // in the letterbox: outside the layout
        {1600, 1020, 20 + 2 * 750, 2 * 445, 750, 445},
        {1170, 765, 1169, 764, 779, 509}, // 1.5x: the window's last pixel is the layout's last
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " at " << c.x << "," << c.y);
        const auto p = viewScaleFor(c.w, c.h, true, true).toLogical(c.x, c.y);
        EXPECT_EQ(p.x, c.lx);
        EXPECT_EQ(p.y, c.ly);
    }
}

TEST(ViewScale, OnlyTheTrackEditorLaysItselfOut)
{
    ViewModes modes;
    for (MapView v : varno::views::kAllViews)
        EXPECT_EQ(modes.mode(v).fixedLayout(), v != MapView::TrackEditor) << static_cast<int>(v);
}

} // namespace
