// Where the editor's buttons are, and what its pan, zoom and place-mark tools do.
#include <gtest/gtest.h>

#include "trackedit/PointerTools.h"

namespace varno::trackedit {
namespace {

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

} // namespace
} // namespace varno::trackedit
