// The map projection, the radius label and the map scale commands.
#include <gtest/gtest.h>

#include "support/TestSettings.h"
#include "geo/MapGeometry.h"
#include "geo/MapScale.h"
#include "support/RecordingPrompt.h"

using namespace varno;
using namespace varno::geo;

TEST(ScreenPoint, StrictSquareTruncationAndTheRadiusLabel)
{
    // Exactly the radius is off the map, and so is everything at a radius of 0;
    // the corner of the square is on (a circle would not hold it).
    for (auto [east, north, radius] :
         {std::tuple{4000.0, 0.0, 4000.0}, {0.0, -4000.0, 4000.0}, {0.0, 0.0, 0.0}})
        EXPECT_FALSE(screenPoint({east, north}, radius, 184, 139)) << east << "," << north << " r=" << radius;
    // 170 pixels across and 125 down per radius, truncated toward zero.
    const auto p = screenPoint({3999.9, -3999.9}, 4000, 184, 139).value_or(ScreenPoint{});
    EXPECT_EQ(std::pair(p.x, p.y), std::pair(184 + 169, 139 + 124));
    EXPECT_EQ(screenPoint({1000, 1000}, 2000, 100, 100)->y, 37); // 100 - 62.5
    EXPECT_EQ(mapRadiusLabel(125), "Map radius 0.1km");          // one decimal below a kilometre
}

struct ScaleFixture : ::testing::Test {
    test::RecordingPrompt prompt;
    test::TestSettings settings{prompt};
    MapScale scale{settings};
};

TEST_F(ScaleFixture, ZoomWalksTheLadderAndStopsAtItsEnds)
{
    settings.set(settings::keys::MapScale, 256000);
    scale.MapRadius = 1; // zoom works from the stored value, not the view's
    EXPECT_FALSE(scale.zoomOut());
    // An edited 5000 halves off the ladder, then stops at the smallest map.
    settings.set(settings::keys::MapScale, 5000);
    std::vector<double> seen;
    while (scale.zoomIn())
        seen.push_back(scale.MapRadius);
    EXPECT_EQ(seen, (std::vector<double>{2500, 1250, 625, 312, 156, 125}));
    // Out from an edited 200000 stops at 256000; the largest stored number does not wrap.
    settings.set(settings::keys::MapScale, 200000);
    scale.zoomOut();
    EXPECT_EQ(settings.get(settings::keys::MapScale), settings::Value::dword(256000u));
    settings.set(settings::keys::MapScale, 0xFFFFFFFF);
    scale.zoomOut();
    EXPECT_EQ(scale.MapRadius, 256000.0);
    // A missing value reads 0, and zooming cannot leave 0; without the key 4000.
    settings.erase(settings::keys::MapScale);
    EXPECT_EQ(scale.readStoredRadius(), 0.0);
    scale.zoomOut();
    scale.zoomIn();
    EXPECT_EQ(scale.MapRadius, 0.0);
    EXPECT_TRUE(prompt.shown.empty());
    settings.removeKey();
    EXPECT_EQ(scale.readStoredRadius(), 4000.0);
}

TEST_F(ScaleFixture, FailedWritesAreReportedButTheRadiusStays)
{
    settings.set(settings::keys::MapScale, 4000);
    settings.failWrites(true);
    EXPECT_TRUE(scale.zoomOut());
    EXPECT_EQ(scale.MapRadius, 8000.0);
    EXPECT_EQ(prompt.texts().size(), 1u);
    prompt.shown.clear();
    settings.removeKey(); // without the key nothing is written and nothing is said
    EXPECT_TRUE(scale.zoomIn());
    EXPECT_EQ(scale.MapRadius, 2000.0); // from the 4000 fallback
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ScaleFixture, SetMapScaleDialog)
{
    settings.set(settings::keys::MapScale, 5000); // off the ladder
    EXPECT_EQ(scale.dialogChoice(), std::nullopt);
    scale.storeDialogChoice(std::nullopt); // no choice made keeps what was read
    EXPECT_EQ(settings.get(settings::keys::MapScale), settings::Value::dword(5000u));
    scale.storeDialogChoice(0);
    EXPECT_EQ(settings.get(settings::keys::MapScale), settings::Value::dword(500u));
}
