// The map projection, the radius label and the map scale commands.
#include <gtest/gtest.h>

#include <cmath>

#include "support/TestSettings.h"
#include "geo/MapGeometry.h"
#include "geo/MapScale.h"
#include "support/RecordingPrompt.h"

using namespace varno;
using namespace varno::geo;

TEST(LatLon, AZeroCoordinateIsNoPositionByTheRuleOfItsSource)
{
    // A fix is without a position only at latitude 0.0 (Greenwich is a real
    // place); an object needs both coordinates other than 0.0.
    const struct {
        double lat, lon;
        bool fix, place;
    } cases[] = {
        {51.5, -0.12, true, true}, {51.5, 0.0, true, false}, {0.0, -0.12, false, false},
        {-0.0, 5.0, false, false}, {0.0, 0.0, false, false}, {-33.9, 151.2, true, true},
    };
    for (const auto& c : cases) {
        const LatLon fix = LatLon::ofFix(c.lat, c.lon), place = LatLon::ofPlace(c.lat, c.lon);
        EXPECT_EQ(static_cast<bool>(fix), c.fix) << c.lat << "," << c.lon;
        EXPECT_EQ(static_cast<bool>(place), c.place) << c.lat << "," << c.lon;
        // No position reads 0.0, as the stored numbers always did.
        EXPECT_EQ(fix, c.fix ? LatLon(c.lat, c.lon) : LatLon());
        EXPECT_EQ(fix.latDeg(), c.fix ? c.lat : 0.0);
        EXPECT_EQ(place.lonDeg(), c.place ? c.lon : 0.0);
    }
}

TEST(LatLonToMetres, SignedOffsetsWithTheObjectsCosine)
{
    auto o = LatLonToMetres(LatLon(51.4, -0.1), LatLon(51.5, -0.2));
    ASSERT_TRUE(o);
    EXPECT_NEAR(o->north, -11124.84, 1e-6);
    EXPECT_NEAR(o->east, 0.1 * std::cos(51.4 * kDegToRad) * 111319.2, 1e-6);
    EXPECT_FALSE(LatLonToMetres(LatLon(), LatLon(51.5, 0.0)));
    EXPECT_FALSE(LatLonToMetres(LatLon(51.0, 1.0), LatLon()));
}

TEST(ScreenPoint, StrictSquareAndTruncation)
{
    // Exactly the radius is off the map; just inside is on, and so is the
    // corner of the square (a circle would not hold it).
    EXPECT_FALSE(screenPoint({4000, 0}, 4000, 184, 139));
    EXPECT_FALSE(screenPoint({0, -4000}, 4000, 184, 139));
    auto p = screenPoint({3999.9, -3999.9}, 4000, 184, 139);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->x, 184 + 169); // 170 pixels across per radius, 353.99... truncated
    EXPECT_EQ(p->y, 139 + 124); // 125 down
    // 100 - 62.5 = 37.5, truncated toward zero.
    EXPECT_EQ(screenPoint({1000, 1000}, 2000, 100, 100)->y, 37);
    // A radius of 0 shows nothing, not even the fix itself.
    EXPECT_FALSE(screenPoint({0, 0}, 0, 184, 139));
}

TEST(MapRadiusLabel, OneDecimalBelowAKilometre)
{
    EXPECT_EQ(mapRadiusLabel(125), "Map radius 0.1km");
    EXPECT_EQ(mapRadiusLabel(500), "Map radius 0.5km");
    EXPECT_EQ(mapRadiusLabel(256000), "Map radius 256km");
}

struct ScaleFixture : ::testing::Test {
    test::RecordingPrompt prompt;
    test::TestSettings settings{prompt};
    MapScale scale{settings};
};

TEST_F(ScaleFixture, StoredRadiusFallbacks)
{
    settings.removeKey();
    EXPECT_EQ(scale.readStoredRadius(), 4000.0);
    settings.store.createKey(settings::kVarnoKey);
    EXPECT_EQ(scale.readStoredRadius(), 0.0); // value missing
}

TEST_F(ScaleFixture, ZoomWalksTheLadderAndStopsAtItsEnds)
{
    settings.set(settings::keys::MapScale, 128000);
    EXPECT_TRUE(scale.zoomOut());
    scale.MapRadius = 1; // zoom works from the stored value, not the view's
    EXPECT_FALSE(scale.zoomOut());
    EXPECT_EQ(settings.get(settings::keys::MapScale), settings::Value::dword(256000u));

    // The dialog's 5000 halves off the ladder, then stops at the smallest map.
    settings.set(settings::keys::MapScale, 5000);
    std::vector<double> seen;
    while (scale.zoomIn())
        seen.push_back(scale.MapRadius);
    EXPECT_EQ(seen, (std::vector<double>{2500, 1250, 625, 312, 156, 125}));
    EXPECT_EQ(settings.get(settings::keys::MapScale), settings::Value::dword(125u));
    // Zooming out from an edited 200000 stops at 256000 instead of 400000, and
    // the largest stored number does not wrap.
    settings.set(settings::keys::MapScale, 200000);
    scale.zoomOut();
    EXPECT_EQ(settings.get(settings::keys::MapScale), settings::Value::dword(256000u));
    settings.set(settings::keys::MapScale, 0xFFFFFFFF);
    scale.zoomOut();
    EXPECT_EQ(scale.MapRadius, 256000.0);

    // A missing value reads 0, and zooming cannot leave 0.
    settings.erase(settings::keys::MapScale);
    scale.zoomOut();
    scale.zoomIn();
    EXPECT_EQ(scale.MapRadius, 0.0);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ScaleFixture, FailedWritesAreReportedButTheRadiusStays)
{
    settings.set(settings::keys::MapScale, 4000);
    settings.failWrites(true);
    EXPECT_TRUE(scale.zoomOut());
    EXPECT_EQ(scale.MapRadius, 8000.0);
    ASSERT_EQ(prompt.texts().size(), 1u);
    const std::string shown = prompt.texts()[0]; // the system's error code first
    EXPECT_EQ(shown.rfind("0x", 0), 0u) << shown;
    EXPECT_EQ(shown.substr(shown.find('\n')),
              "\nAn error occurred writing the map scale setting to the registry.\n"
              "HKEY_CURRENT_USER\nSoftware\\VARNO\\MapScale");
    // Without the key nothing is written and nothing is said.
    prompt.shown.clear();
    settings.removeKey();
    EXPECT_TRUE(scale.zoomIn());
    EXPECT_EQ(scale.MapRadius, 2000.0); // from the 4000 fallback
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ScaleFixture, SetMapScaleDialog)
{
    settings.set(settings::keys::MapScale, 8000);
    EXPECT_EQ(scale.dialogChoice(), 4u);
    settings.set(settings::keys::MapScale, 5000);
    EXPECT_EQ(scale.dialogChoice(), std::nullopt);
    scale.storeDialogChoice(0);
    EXPECT_EQ(settings.get(settings::keys::MapScale), settings::Value::dword(500u));
    // No choice made keeps what was read, off-ladder value included.
    scale.storeDialogChoice(std::nullopt);
    scale.reload();
    EXPECT_EQ(scale.MapRadius, 5000.0);
}
