// Where the editor's buttons are, and what its pan, zoom and place-mark tools do.
#include <gtest/gtest.h>

#include <cmath>

#include "trackedit/PointerTools.h"

namespace varno::trackedit {
namespace {

using views::PointerEvent;
using K = PointerEvent::Kind;
using B = PointerEvent::Button;

constexpr int W = 1024, H = 768;

TEST(EditorButtons, HitAreas)
{
    struct Case {
        int x, y;
        EditorButton b;
    };
    const Case cases[] = {
        {250, 112, EditorButton::StartMinus10},   {272, 128, EditorButton::StartMinus10},
        {273, 120, EditorButton::TopBarGap},      {277, 120, EditorButton::StartMinus1},
        {309, 120, EditorButton::StartPlus1},     {337, 120, EditorButton::StartPlus10},
        {336, 120, EditorButton::TopBarGap},      {359, 120, EditorButton::StartPlus10},
        {400, 120, EditorButton::EndMinus10},     {427, 120, EditorButton::EndMinus1},
        {458, 120, EditorButton::EndPlus1},       {507, 120, EditorButton::EndPlus10},
        {508, 120, EditorButton::TopBarGap},      {250, 129, EditorButton::None},
        {300, 90, EditorButton::TrackBar},        {5, H - 10, EditorButton::ZoomOut},
        {27, H - 24, EditorButton::ZoomOut},      {5, H - 25, EditorButton::None},
        {33, H - 4, EditorButton::ZoomIn},        {57, H - 10, EditorButton::ZoomIn},
        {30, H - 10, EditorButton::BottomBarGap}, {20, H - 95, EditorButton::North},
        {20, H - 90, EditorButton::None},         {20, H - 80, EditorButton::South},
        {10, H - 50, EditorButton::West},         {30, H - 50, EditorButton::East},
        {20, H - 50, EditorButton::None},         {500, 400, EditorButton::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hitButton(c.x, c.y, W, H), c.b) << c.x << "," << c.y;
}

// A right-button drag leaves the place it took hold of under the pointer: at
// the equator, in the tropics, in the north and in the south.
TEST(PanTool, ADragKeepsThePlaceUnderThePointerAtAnyLatitude)
{
    for (const double lat : {0.0, 10.0, 19.0, 50.0, 70.0, -35.0}) {
        SCOPED_TRACE(lat);
        EditorProjection p;
        p.leftLonDeg = 10.0;
        p.topLatDeg = lat + 0.05;
        p.scale = 0.05; // 20 m a pixel
        p.width = W;
        p.height = H;
        std::optional<SrtmLayer> srtm;
        MarkedTrack track;
        ToolContext c{p, srtm, track, [](Marks) { FAIL() << "a pan moves no mark"; }};
        // The place drawn at (600, 400), found by walking the metres back to degrees.
        const double placeLat = p.topLatDeg - (400 - EditorProjection::kMapTop) * 20.0 / 111248.4;
        const double placeLon = p.leftLonDeg + 600 * 20.0 / (std::cos(placeLat * M_PI / 180) * 111319.2);
        ASSERT_NEAR(p.x(placeLat, placeLon), 600, 1);
        PanTool pan;
        EXPECT_FALSE(pan.onPointer({K::Press, B::Right, 600, 400}, EditorButton::None, c));
        EXPECT_TRUE(pan.onPointer({K::Release, B::Right, 500, 450}, EditorButton::None, c));
        EXPECT_NEAR(p.x(placeLat, placeLon), 500, 1);
        EXPECT_NEAR(p.y(placeLat) + EditorProjection::kMapTop, 450, 1);
        // A click without a move is no drag.
        EXPECT_FALSE(pan.onPointer({K::Press, B::Right, 300, 300}, EditorButton::None, c));
        EXPECT_FALSE(pan.onPointer({K::Release, B::Right, 300, 300}, EditorButton::None, c));
    }
}

} // namespace
} // namespace varno::trackedit
