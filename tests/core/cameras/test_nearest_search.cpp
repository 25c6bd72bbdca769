// The latitude-ordered nearest-camera search against the plain walk over the list, and the
// whole-number texts written without printf.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <vector>

#include <fmt/printf.h>

#include "cameras/CameraDistance.h"
#include "cameras/detail/NearestIndex.h"
#include "cameras/detail/WholeNumber.h"
#include "geo/MapGeometry.h"

using namespace varno;
using namespace varno::cameras;

namespace {

struct Cam {
    double lat, lon;
};

// The rule as the list walk states it: every camera in list order, the first
// one with the smallest distance below noCamera.
double walk(const std::vector<Cam>& cams, double fixLat, double fixLon, double noCamera,
            std::optional<std::size_t>& record)
{
    double best = noCamera;
    for (std::size_t i = 0; i < cams.size(); ++i) {
        double d = CameraDistance(geo::LatLon::ofPlace(cams[i].lat, cams[i].lon),
                                  geo::LatLon::ofFix(fixLat, fixLon));
        if (d == kNoDistance)
            continue;
        if (d < best) {
            best = d;
            record = i;
        }
    }
    return best;
}

detail::NearestIndex indexOf(const std::vector<Cam>& cams)
{
    detail::NearestIndex index;
    for (std::size_t i = 0; i < cams.size(); ++i)
        if (const geo::LatLon at = geo::LatLon::ofPlace(cams[i].lat, cams[i].lon))
            index.add(at, std::cos(cams[i].lat * geo::kDegToRad), i);
    index.finish();
    return index;
}

void expectSameAsWalk(const std::vector<Cam>& cams, double fixLat, double fixLon,
                      double noCamera = 20000000.0)
{
    std::optional<std::size_t> want, got;
    const double w = walk(cams, fixLat, fixLon, noCamera, want);
    const double g = indexOf(cams).nearest(geo::LatLon(fixLat, fixLon), noCamera, got);
    // The same bits, not merely close: the panel prints it and the warning
    // steps compare it.
    EXPECT_EQ(std::memcmp(&w, &g, sizeof w), 0) << w << " vs " << g;
    EXPECT_EQ(want, got);
}

constexpr double kLat = 51.5;
constexpr double kLon = -0.125;

TEST(NearestSearch, TiesLimitsAndNoNumbersAsTheWalkHasThem)
{
    // Offsets of exact binary fractions: north and south of the fix are equal
    // to the bit; the earliest camera wins, not the first in latitude order.
    const double o = 1.0 / 1024;
    expectSameAsWalk({{kLat + o, kLon}, {kLat - o, kLon}}, kLat, kLon);

    // 2 degrees north is about 222 km: nearer than 20000 km, not than 100 km.
    expectSameAsWalk({}, kLat, kLon);
    expectSameAsWalk({{kLat + 2, kLon}}, kLat, kLon);
    std::optional<std::size_t> record = 7;
    EXPECT_EQ(indexOf({{kLat + 2, kLon}}).nearest(geo::LatLon(kLat, kLon), 100000.0, record), 100000.0);
    EXPECT_EQ(record, 7u); // untouched

    // Positions that are no numbers are never nearest, and a fix that is none has no nearest camera.
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    expectSameAsWalk({{nan, kLon}, {kLat + 0.01, nan}, {inf, kLon}, {kLat + 0.02, -inf}, {kLat + 0.03, kLon}},
                     kLat, kLon);
    expectSameAsWalk({{kLat + 0.01, kLon}}, kLat, nan);
    expectSameAsWalk({{kLat + 0.01, kLon}}, nan, kLon);
}

// Clustered and scattered cameras, many on the same latitudes and spots, and
// fixes inside and outside the cluster.
TEST(NearestSearch, RandomListsAgreeWithTheWalk)
{
    std::mt19937 rnd(20240611);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> grid(-8, 8);
    for (int trial = 0; trial < 3000; ++trial) {
        std::vector<Cam> cams;
        const int n = trial % 70;
        for (int i = 0; i < n; ++i) {
            if (i % 3 == 0)
                cams.push_back({kLat + grid(rnd) / 512.0, kLon + grid(rnd) / 512.0});
            else if (i % 3 == 1)
                cams.push_back({kLat + unit(rnd) * 0.04, kLon + unit(rnd) * 0.06});
            else
                cams.push_back(cams[rnd() % cams.size()]);
        }
        const double fixLat = trial % 5 == 0 ? kLat + grid(rnd) / 512.0 : kLat + unit(rnd) * 0.08;
        const double fixLon = trial % 5 == 0 ? kLon + grid(rnd) / 512.0 : kLon + unit(rnd) * 0.1;
        SCOPED_TRACE(trial);
        expectSameAsWalk(cams, fixLat, fixLon, trial % 7 == 0 ? 1500.0 : 20000000.0);
        if (HasFailure())
            break;
    }
}

std::string whole(double v)
{
    std::string s = "x";
    detail::appendWholeNumber(s, v);
    return s;
}

TEST(WholeNumberText, WritesWhatPrintfWrites)
{
    // Halves either side of even and odd, just below a half, and 2^52 where halves end.
    const double inf = std::numeric_limits<double>::infinity(),
                 nan = std::numeric_limits<double>::quiet_NaN();
    const double below = std::nextafter(0.5, 0.0);
    const double values[] = {0.0,        below, 0.5,   1.5,  2.5,  999.5, 1000.5,  0x1p52 - 0.5, 0x1p52,
                             0x1p52 + 1, 1e17,  1e300, -0.0, -0.4, -2.5,  -1234.5, inf,          nan};
    for (double v : values)
        EXPECT_EQ(whole(v), "x" + fmt::sprintf("%.0f", v)) << fmt::sprintf("%.17g", v);
    std::mt19937_64 rnd(7);
    for (int i = 0; i < 20000; ++i) {
        // Halves and near-halves at every size up to 2^53.
        const double base = static_cast<double>(rnd() >> (11 + i % 52));
        const double v = i % 2 ? base + 0.5 : std::nextafter(base + 0.5, 0.0);
        ASSERT_EQ(whole(v), "x" + fmt::sprintf("%.0f", v)) << fmt::sprintf("%.17g", v);
    }
}

} // namespace
