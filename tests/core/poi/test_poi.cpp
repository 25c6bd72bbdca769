// POI files and the POI list: line fields, selection around the fix, the file
// selection in the settings, the cache, and files that cannot be used.
#include <gtest/gtest.h>

#include <filesystem>
#include <fmt/format.h>
#include <thread>

#include "core/base/ScratchFiles.h"
#include "poi/PoiList.h"
#include "support/RecordingPrompt.h"
#include "support/TestSettings.h"

using namespace varno;
namespace fs = std::filesystem;

namespace {

const geo::LatLon kFix(51.5, -1.0);

TEST(PoiFile, SplitsAndCutsFields)
{
    const struct {
        std::string line;
        std::string lon, lat, desc, fourth;
        bool placed;
    } cases[] = {
        {"-1.0,51.5,Fuel,extra", "-1.0", "51.5", "Fuel", "extra", true},
        {"-1.0,51.5,\"Bob, Alice\",x,y", "-1.0", "51.5", "\"Bob, Alice\"", "x", true},
        {",,-1.0,,51.5,Pub", "", "", "-1.0", "", true}, // tokens skip empty fields, fields do not
        {"-1.0123456789012345,51.5,d", "-1.01234567890", "51.5", "d", "", true},
        {"-1,51.5," + std::string(100, 'x') + ",end", "-1", "51.5", std::string(79, 'x'), "end", true},
        {"-1,51.5,caf\xC3\xA9" + std::string(73, 'y') + "\xC3\xA9", "-1", "51.5",
         "caf\xC3\xA9" + std::string(73, 'y'), "", true}, // never half a character
        {std::string("-1,51.5,a\0b,c", 13), "-1", "51.5", "a", "c", true},
        {"0,51.5,zero", "0", "51.5", "zero", "", false},
        {"-1.0,abc,text", "-1.0", "abc", "text", "", false},
        {"just text", "just text", "", "", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const poi::PoiPoint p = poi::parsePoiLine(c.line);
        EXPECT_EQ(p.lonText, c.lon);
        EXPECT_EQ(p.latText, c.lat);
        EXPECT_EQ(p.description, c.desc);
        EXPECT_EQ(p.fourth, c.fourth);
        EXPECT_EQ(p.position.known(), c.placed);
    }
    EXPECT_EQ(poi::parsePoiLine(",,-1.0,,51.5,Pub").position, geo::LatLon(51.5, -1.0));
}

TEST(PoiFile, SelectsByDistanceInFileOrder)
{
    // 0.01 degree of latitude is 1112.484 m; the radius is exactly that.
    const std::string text = "-1.0,51.52,far north\r\n"
                             "-1.0,51.51,at the radius\n"
                             "-1.0,51.5,here\n"
                             "-1.0,nan,not a number\n"
                             "-1.0,inf,off the globe\n"
                             "-1.0,51.49,south\n" +
                             std::string(400, 'z') + ",-1.0,51.5,long line pieces\n" + "-1.0,51.5";
    poi::PoiFile f(text);
    std::vector<std::string> got;
    for (auto e : f.select(kFix, 1112.484))
        got.push_back(std::string(f.line(e)));
    EXPECT_EQ(got, (std::vector<std::string>{"-1.0,51.51,at the radius", "-1.0,51.5,here", "-1.0,51.49,south",
                                             "-1.0,51.5"}));
    EXPECT_TRUE(f.select(geo::LatLon(), 1e9).empty());
    EXPECT_EQ(f.select(kFix, 0.0).size(), 2u); // exactly at the fix
}

struct PoiListTest : ::testing::Test {
    test::RecordingPrompt prompt;
    test::TestSettings ts{prompt};
    test::ScratchDir data;
    poi::PoiList list;

    void SetUp() override
    {
        fs::create_directories(data.path() / "POI");
        ts.set(settings::keys::POIFolder, "C:\\VARNO\\POI");
    }
    void select(std::initializer_list<std::pair<const char*, const char*>> values)
    {
        ts.store.createKey(settings::kPoiFilesKey);
        for (auto [name, file] : values)
            ts.store.setString(settings::kPoiFilesKey, name, file);
    }
    void writePoi(const std::string& name, const std::string& text)
    {
        test::writeBytes((data.path() / "POI" / name).string(), text);
    }
    poi::PoiList::Status load(double radius = 4000.0)
    {
        return list.load(kFix, radius, ts, prompt, data.path().string());
    }
    std::vector<std::string> descriptions() const
    {
        std::vector<std::string> d;
        for (const auto& p : list.points())
            d.push_back(p.description);
        return d;
    }
};

TEST_F(PoiListTest, ReadsTheSelectedFilesInStoredOrder)
{
    writePoi("b.txt", "-1.0,51.5,B1\n-1.0,53.0,B far\n");
    writePoi("a.txt", "-1.001,51.501,A1\n");
    select({{"POIFile2", "b.txt"}, {"Other", "a.txt"}, {"POIFile1", "a.txt"}, {"POIFile9", "b.txt"}});
    EXPECT_EQ(load(), poi::PoiList::Status::Loaded);
    EXPECT_EQ(descriptions(), (std::vector<std::string>{"B1", "A1", "B1"}));
    EXPECT_EQ(list.fileReads(), 2u) << "a file named twice is read once";
    EXPECT_TRUE(prompt.shown.empty());
    std::vector<std::string> notes;
    list.noted = [&](const std::string& note) { notes.push_back(note); };

    // Unchanged files are not read again; a changed one is.
    EXPECT_EQ(load(), poi::PoiList::Status::Loaded);
    EXPECT_EQ(list.fileReads(), 2u);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    writePoi("a.txt",
             "-1.001,51.501,A2 changed\n-1.0,53.0,far" + std::string(poi::PoiFile::kLineLimit, ' ') + "\n");
    load();
    EXPECT_EQ(list.fileReads(), 3u);
    EXPECT_EQ(descriptions(), (std::vector<std::string>{"B1", "A2 changed", "B1"}));
    // Its cut line is noted once, with the file's name; the next load reads nothing.
    load();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_TRUE(notes[0].ends_with("a.txt: 1 over-long line cut short")) << notes[0];

    // Without a fix the list stays as it is.
    EXPECT_EQ(list.load(geo::LatLon(), 4000, ts, prompt, data.path().string()), poi::PoiList::Status::NoFix);
    EXPECT_EQ(list.points().size(), 3u);
    list.free();
    EXPECT_FALSE(list.held());
}

TEST_F(PoiListTest, StopsAtFilesItCannotUseKeepingWhatCameBefore)
{
    writePoi("good.txt", "-1.0,51.5,Good\n");
    fs::create_directories(data.path() / "POI" / "folder.txt");
    const struct {
        const char* file;
        poi::PoiList::Status status;
        std::string message; // its start
    } cases[] = {
        {"missing.txt", poi::PoiList::Status::CannotOpen, "Error can't open the POI location file\n"},
        {"folder.txt", poi::PoiList::Status::CannotOpen, "Error can't open the POI location file\n"},
        {"", poi::PoiList::Status::CannotOpen, "Error can't open the POI location file\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        for (const char* v : {"POIFile1", "POIFile2", "POIFile3"})
            ts.store.deleteValue(settings::kPoiFilesKey, v);
        select({{"POIFile1", "good.txt"}, {"POIFile2", c.file}, {"POIFile3", "good.txt"}});
        prompt.shown.clear();
        EXPECT_EQ(load(), c.status);
        EXPECT_TRUE(poi::PoiList::stopsGps(c.status));
        EXPECT_EQ(descriptions(), std::vector<std::string>{"Good"});
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_TRUE(prompt.shown[0].text.starts_with(c.message)) << prompt.shown[0].text;
        EXPECT_TRUE(prompt.shown[0].text.ends_with("\nPlease check the setup/registry."));
    }

    ts.store.deleteValue(settings::kPoiFilesKey, "POIFile2");
    select({{"POIFile2", std::string(290, 'n').c_str()}});
    prompt.shown.clear();
    EXPECT_EQ(load(), poi::PoiList::Status::NameTooLong);
    EXPECT_FALSE(poi::PoiList::stopsGps(poi::PoiList::Status::NameTooLong));
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{std::string(poi::kNameTooLongMessage)});

    ts.erase(settings::keys::POIFolder);
    prompt.shown.clear();
    EXPECT_EQ(load(), poi::PoiList::Status::NoFolder);
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_EQ(prompt.shown.back().text, poi::kNoFolderMessage);
    EXPECT_TRUE(list.held());
    EXPECT_TRUE(list.points().empty());
}

TEST_F(PoiListTest, ThousandFilesAndBinaryContentLoad)
{
    std::string bin;
    for (int i = 0; i < 4096; ++i)
        bin += static_cast<char>((i * 131) & 0xFF);
    writePoi("bin.dat", bin + "\n-1.0,51.5,after binary\n");
    settings::SettingsStore::Batch batch(ts.store);
    for (int i = 1; i <= 1000; ++i) {
        const std::string name = fmt::format("p{}.txt", i);
        writePoi(name, fmt::format("-1.0,51.5,P{}\n0,0,zero\n", i));
        batch.setString(settings::kPoiFilesKey, fmt::format("POIFile{}", i), name);
    }
    batch.setString(settings::kPoiFilesKey, "POIFile1001", "bin.dat");
    ASSERT_TRUE(batch.commit());
    EXPECT_EQ(load(), poi::PoiList::Status::Loaded);
    ASSERT_EQ(list.points().size(), 1001u);
    EXPECT_EQ(list.points()[999].description, "P1000");
    EXPECT_EQ(list.points()[1000].description, "after binary");
}

TEST_F(PoiListTest, NearListRowsEndWithABlankRow)
{
    EXPECT_EQ(poi::nearPoiRows(list, kFix).size(), 1u);
    EXPECT_EQ(poi::nearPoiRows(list, kFix)[0].latitude, "Poi list is empty");
    writePoi("a.txt", "-1.0,51.51,North\n-1.0,51.5,Here\n");
    select({{"POIFile1", "a.txt"}});
    load();
    const auto rows = poi::nearPoiRows(list, kFix);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].latitude, "51.51");
    EXPECT_EQ(rows[0].longitude, "-1.0");
    EXPECT_EQ(rows[0].distance, "1.109 km"); // 0.01 * 110945.908 m, no cosine
    EXPECT_EQ(rows[1].distance, "0.000 km");
    EXPECT_EQ(rows[2].latitude + rows[2].description + rows[2].distance, "");
}

} // namespace

// An old Mac file (CR alone) is read line by line; the rest of an over-long
// line is dropped and counted, not read as a POI of its own.
TEST(PoiFile, CrOnlyLinesAndTheRestOfAnOverLongLine)
{
    const std::string crOnly = "-1.0,51.51,north\r-1.0,51.5,here\r-1.0,51.49,south\r";
    poi::PoiFile f(crOnly);
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f.line(1), "-1.0,51.5,here");
    EXPECT_EQ(f.overlongLines(), 0u);

    std::string longLine = "-1.0,51.5,long";
    longLine += std::string(poi::PoiFile::kLineLimit - 1 - longLine.size(), ' ') + "-1.0,51.5,phantom\n";
    poi::PoiFile g(longLine + "-1.0,51.5,after\r\n");
    ASSERT_EQ(g.size(), 2u);
    EXPECT_EQ(g.line(1), "-1.0,51.5,after");
    EXPECT_EQ(g.overlongLines(), 1u);
}
