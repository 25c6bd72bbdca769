// Number reading that ignores the locale, and the stored-path mapping.
#include <cmath>

#include <gtest/gtest.h>

#include "base/DataPath.h"
#include "base/Numbers.h"

namespace varno {
namespace {

TEST(LeadingNumbers, ReadLikeAtoiAndAtofInTheCLocale)
{
    EXPECT_EQ(leadingInt("+1"), 1);
    EXPECT_EQ(leadingInt("  -3 hours"), -3);
    EXPECT_EQ(leadingInt("abc"), 0);
    EXPECT_EQ(leadingInt("99999999999"), 2147483647);
    EXPECT_DOUBLE_EQ(leadingDouble("51.5"), 51.5);  // never "51,5", whatever the locale
    EXPECT_DOUBLE_EQ(leadingDouble(" 226.6,170606"), 226.6);
    EXPECT_DOUBLE_EQ(leadingDouble("-"), 0.0);
    EXPECT_DOUBLE_EQ(leadingDouble("+-1"), 0.0);
    EXPECT_DOUBLE_EQ(leadingDouble("1e308"), 1e308);
    EXPECT_TRUE(std::isinf(leadingDouble("1e999")));
    EXPECT_DOUBLE_EQ(leadingDouble("1e-999"), 0.0);
    EXPECT_TRUE(std::isnan(leadingDouble("nan")));
}

TEST(LeadingNumbers, HexReadsLikeScanfPercentX)
{
    std::string_view s = "00 e5 98 7";
    unsigned r = 1, g = 1, b = 1;
    ASSERT_TRUE(leadingHex(s, r));
    ASSERT_TRUE(leadingHex(s, g));
    ASSERT_TRUE(leadingHex(s, b));
    EXPECT_EQ(r, 0u);
    EXPECT_EQ(g, 0xe5u);
    EXPECT_EQ(b, 0x98u);
    std::string_view junk = "zz";
    EXPECT_FALSE(leadingHex(junk, r));
}

TEST(DataPath, MapsTheDefaultRootOnlyAtTheStart)
{
    EXPECT_EQ(mapDataPath("C:\\VARNO\\Voice", "/home/u/VARNO"), "/home/u/VARNO/Voice");
    EXPECT_EQ(mapDataPath("c:\\varno\\Log\\a.txt", "/d/"), "/d/Log/a.txt");
    EXPECT_EQ(mapDataPath("C:\\VARNO", "/d"), "/d");
    EXPECT_EQ(mapDataPath("C:\\VARNOX\\a", "/d"), "C:/VARNOX/a");
    EXPECT_EQ(mapDataPath("/abs/path.txt", "/d"), "/abs/path.txt");
    EXPECT_EQ(mapDataPath("D:\\Other\\C:\\VARNO", "/d"), "D:/Other/C:/VARNO");
}

} // namespace
} // namespace varno
