// The editor's mouse editing, commands, undo, throttle and drawing.
#include <gtest/gtest.h>

#include <fmt/format.h>
#include <random>

#include "core/base/ScratchFiles.h"
#include "support/RecordingPrompt.h"
#include "trackedit/Editor.h"
#include "trackedit/EntryIndex.h"

namespace varno::trackedit {
namespace {

using views::PointerEvent;
using K = PointerEvent::Kind;
using B = PointerEvent::Button;

constexpr int W = 1024, H = 768;

// A log of n fixes, each a $GPGGA line then a $GPRMC line, heading north-east.
std::string makeLog(int n)
{
    std::string log = "$GPGSV,header\r\n";
    for (int i = 0; i < n; ++i) {
        const double minutes = 10.0 + i * 0.06; // 0.001 degree a step
        log += fmt::format("$GPGGA,{:06d},50{:07.4f},N,010{:07.4f},E,1\r\n", i, minutes, minutes);
        log += fmt::format("$GPRMC,{:06d},A\r\n", i);
    }
    return log;
}

struct EditorTest : ::testing::Test {
    test::ScratchDir dir;
    test::RecordingPrompt prompt;
    Editor editor{prompt};
    std::string logPath = dir.file("drive.txt");

    void SetUp() override
    {
        test::writeBytes(logPath, makeLog(50));
        ASSERT_TRUE(editor.newMap());
        views::Scene scene;
        editor.buildScene(scene, W, H); // the editor learns its size from painting
        ASSERT_TRUE(editor.beginEditTrack());
        ASSERT_TRUE(editor.openEditedTrack("Drive", logPath));
        editor.buildScene(scene, W, H);
    }
    bool press(int x, int y, B b = B::Left) { return editor.onPointer({K::Press, b, x, y}); }
    bool dbl(int x, int y, B b = B::Left) { return editor.onPointer({K::DoubleClick, b, x, y}); }
};

TEST_F(EditorTest, OpeningATrackSetsMarkersExtentAndScale)
{
    EXPECT_EQ(editor.pointCount(), 50);
    EXPECT_EQ(editor.startIndex(), 0);
    EXPECT_EQ(editor.endIndex(), 49);
    EXPECT_NEAR(editor.startMarker().latDeg, 50 + 10.0 / 60, 1e-9);
    EXPECT_NEAR(editor.endMarker().lonDeg, 10 + (10.0 + 49 * 0.06) / 60, 1e-9);
    const double span = 49 * 0.001;
    EXPECT_NEAR(editor.projection().scale, 0.008 / span, 1e-6);
    EXPECT_NEAR(editor.projection().leftLonDeg, editor.startMarker().lonDeg - span / 10, 1e-9);
    EXPECT_NEAR(editor.projection().topLatDeg, editor.endMarker().latDeg + span / 10, 1e-9);

    // A log without a position opens empty and leaves the view where it was.
    const EditorProjection before = editor.projection();
    test::writeBytes(dir.file("empty.txt"), "$GPRMC,1,V\r\n");
    prompt.script({PromptAnswer::Yes});
    ASSERT_TRUE(editor.beginEditTrack());
    // The marks went with the track: a cancelled chooser leaves none.
    EXPECT_EQ(editor.startIndex(), Editor::kNoStart);
    EXPECT_EQ(editor.pointCount(), Editor::kNoCount);
    ASSERT_TRUE(editor.openEditedTrack("", dir.file("empty.txt")));
    EXPECT_EQ(editor.pointCount(), 0);
    EXPECT_EQ(editor.projection().leftLonDeg, before.leftLonDeg);
    EXPECT_EQ(editor.projection().scale, before.scale);
}

TEST_F(EditorTest, MarkerButtonsStepWithinTheTrackAndUndo)
{
    struct Case {
        const char* name;
        long start, end;
        int x; // the button
        long wantStart, wantEnd;
    };
    const Case cases[] = {
        {"start -10 from 5 goes to 0", 5, 49, 260, 0, 49},
        {"start -10 from 25", 25, 49, 260, 15, 49},
        {"start -1 stops at 0", 0, 49, 280, 0, 49},
        {"start +1", 3, 49, 310, 4, 49},
        {"start +1 stops at the count", 50, 49, 310, 50, 49},
        {"start +10 near the end goes to the count", 45, 49, 340, 50, 49},
        {"start +10", 20, 49, 340, 30, 49},
        {"end -10", 0, 49, 410, 0, 39},
        {"end -1", 0, 49, 430, 0, 48},
        {"end +1", 0, 49, 460, 0, 50},
        {"end +10 near the end", 0, 41, 490, 0, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Reach the starting marks through the track bar's double clicks' arithmetic-free path: steps.
        ASSERT_TRUE(editor.openEditedTrack("Drive", logPath));
        while (editor.startIndex() < c.start)
            press(310, 120);
        while (editor.endIndex() > c.end)
            press(430, 120);
        ASSERT_EQ(editor.startIndex(), c.start);
        ASSERT_EQ(editor.endIndex(), c.end);
        press(c.x, 120);
        EXPECT_EQ(editor.startIndex(), c.wantStart);
        EXPECT_EQ(editor.endIndex(), c.wantEnd);
        if (c.wantStart != c.start || c.wantEnd != c.end) {
            ASSERT_TRUE(editor.undo());
            EXPECT_EQ(editor.startIndex(), c.start);
            EXPECT_EQ(editor.endIndex(), c.end);
            ASSERT_TRUE(editor.redo());
            EXPECT_EQ(editor.startIndex(), c.wantStart);
        }
    }
    // The marker position follows its index; one past the last point keeps the last position.
    ASSERT_TRUE(editor.openEditedTrack("Drive", logPath));
    press(310, 120);
    EXPECT_EQ(*editor.pointAt(1), editor.startMarker());
    press(460, 120);
    EXPECT_EQ(editor.endIndex(), 50);
    EXPECT_EQ(editor.pointAt(50), nullptr);
    EXPECT_EQ(*editor.pointAt(49), editor.endMarker());
}

TEST_F(EditorTest, ClicksBetweenButtonsSayWhere)
{
    EXPECT_FALSE(press(275, 120));
    EXPECT_FALSE(press(30, H - 10));
    EXPECT_EQ(prompt.texts(),
              (std::vector<std::string>{"Top button bar x 275, y 120", "Bottom button bar x 30, y 758"}));
}

TEST_F(EditorTest, DoubleClicksPickTheNearestPointOrATrackBarPosition)
{
    const EditorProjection& p = editor.projection();
    const TrackPoint seventh = *editor.pointAt(7);
    // The click is compared 129 pixels up from the screen position.
    ASSERT_TRUE(dbl(p.x(seventh.latDeg, seventh.lonDeg) + 1, p.y(seventh.latDeg) + 129));
    EXPECT_EQ(editor.startIndex(), 7);
    EXPECT_EQ(editor.startMarker(), seventh);
    const TrackPoint fortieth = *editor.pointAt(40);
    ASSERT_TRUE(dbl(p.x(fortieth.latDeg, fortieth.lonDeg), p.y(fortieth.latDeg) + 129, B::Right));
    EXPECT_EQ(editor.endIndex(), 40);
    // The track bar: start = (x - 93) * count / (W - 197).
    ASSERT_TRUE(dbl(93 + 827 / 2, 95));
    EXPECT_EQ(editor.startIndex(), (827 / 2) * 50 / 827);
    ASSERT_TRUE(dbl(93 + 412, 95, B::Right));
    EXPECT_EQ(editor.endIndex(), 412 * 50 / 824);
    // Over the buttons nothing happens.
    EXPECT_FALSE(dbl(20, H - 50));
    EXPECT_FALSE(dbl(260, 120));
    // Every pick is one undo step.
    ASSERT_TRUE(editor.undo() && editor.undo() && editor.undo());
    EXPECT_EQ(editor.startIndex(), 7);
    EXPECT_EQ(editor.endIndex(), 49);
}

// Near its right end a right double click on the track bar reaches past the
// last point, and a window 200 wide divided by zero.
TEST_F(EditorTest, TrackBarDoubleClicksStayWithinTheTrackAtAnyWidth)
{
    struct Case {
        int width;
        long end; // after a right double click at the bar's last pixel
    };
    const Case cases[] = {{198, 49}, {200, 49}, {201, 50}, {260, 50}, {1024, 50}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        ASSERT_TRUE(editor.openEditedTrack("Drive", logPath));
        views::Scene scene;
        editor.buildScene(scene, c.width, H);
        dbl(c.width - 104, 95, B::Right);
        EXPECT_EQ(editor.endIndex(), c.end);
        EXPECT_LE(editor.startIndex(), editor.pointCount());
    }
}

TEST_F(EditorTest, ZoomPanWheelAndDragMoveTheView)
{
    editor.setSrtm(SrtmLayer{});
    const EditorProjection before = editor.projection();
    press(10, H - 10); // zoom out
    EXPECT_DOUBLE_EQ(editor.projection().scale, before.scale * 0.6);
    EXPECT_DOUBLE_EQ(editor.srtm()->divisor, 2.0);
    press(40, H - 10); // zoom in
    EXPECT_DOUBLE_EQ(editor.projection().scale, before.scale * 0.6 * 1.4);
    EXPECT_DOUBLE_EQ(editor.srtm()->divisor, 1.5);
    editor.onPointer({K::Wheel, B::None, 500, 500, 120});
    EXPECT_DOUBLE_EQ(editor.projection().scale, before.scale * 0.6 * 1.4 * 0.6);
    editor.onPointer({K::Wheel, B::None, 500, 500, -120});
    editor.onPointer({K::Wheel, B::None, 500, 500, -120});
    EXPECT_DOUBLE_EQ(editor.srtm()->divisor, 1.0); // not below 1
    const double s = editor.projection().scale;
    press(20, H - 95); // north
    EXPECT_DOUBLE_EQ(editor.projection().topLatDeg, before.topLatDeg + 1 / s / 1000);
    EXPECT_EQ(editor.srtm()->firstRow, 0);
    press(20, H - 80); // south
    EXPECT_EQ(editor.srtm()->firstRow, 300);
    press(30, H - 50); // east
    EXPECT_DOUBLE_EQ(editor.projection().leftLonDeg, before.leftLonDeg + 1 / s / 1000);
    EXPECT_EQ(editor.srtm()->firstColumn, 300);
    // The drag itself is the pan tool's.
    const EditorProjection mid = editor.projection();
    press(600, 400, B::Right);
    EXPECT_TRUE(editor.onPointer({K::Release, B::Right, 500, 450}));
    EXPECT_GT(editor.projection().leftLonDeg, mid.leftLonDeg);
    EXPECT_GT(editor.projection().topLatDeg, mid.topLatDeg);
    // View moves are not edits.
    EXPECT_FALSE(editor.canUndo());
}

TEST_F(EditorTest, SavingWritesTheMarkedStretchOfTheLog)
{
    const std::string log = test::readBytes(logPath);
    const auto lines = [&](int from, int to) { // lines from..to inclusive, 0 the header line
        std::string out;
        std::size_t pos = 0;
        for (int i = 0; pos < log.size(); ++i) {
            const std::size_t end = log.find('\n', pos) + 1;
            if (i >= from && i <= to)
                out += log.substr(pos, end - pos);
            pos = end;
        }
        return out;
    };
    struct Case {
        long start, end;
        std::string want;
    };
    // Line 1 + 2k is $GPGGA number k, line 2 + 2k its $GPRMC.
    const Case cases[] = {
        {0, 49, lines(0, 100)}, // the whole log
        {2, 49, lines(2 + 2 * 1, 100)},
        {0, 10, lines(0, 2 + 2 * 10)},
        {5, 5, lines(2 + 2 * 4, 2 + 2 * 5)},
    };
    const std::string out = dir.file("cut.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        ASSERT_TRUE(editor.openEditedTrack("Drive", logPath));
        while (editor.startIndex() < c.start)
            press(310, 120);
        while (editor.endIndex() > c.end)
            press(430, 120);
        prompt.script({PromptAnswer::Yes});
        ASSERT_TRUE(editor.saveEditedTrackTo(out));
        EXPECT_EQ(test::readBytes(out), c.want);
        EXPECT_EQ(prompt.texts().back(), "Save complete.");
        EXPECT_FALSE(editor.editedChanged());
    }
    // An existing file is only overwritten when the user says so.
    prompt.script({PromptAnswer::No});
    press(310, 120);
    EXPECT_FALSE(editor.saveEditedTrackTo(out));
    EXPECT_EQ(test::readBytes(out), cases[3].want);
}

TEST_F(EditorTest, UnsavedMarksAreAskedAboutBeforeTheTrackGoes)
{
    press(310, 120);
    ASSERT_TRUE(editor.editedChanged());
    prompt.script({PromptAnswer::No});
    EXPECT_FALSE(editor.closeEditedTrackCommand());
    EXPECT_TRUE(editor.edited());
    prompt.script({PromptAnswer::No});
    EXPECT_FALSE(editor.closeMap());
    prompt.script({PromptAnswer::No});
    EXPECT_FALSE(editor.closeOnShutdown());
    prompt.script({PromptAnswer::Yes});
    EXPECT_TRUE(editor.closeEditedTrackCommand());
    EXPECT_FALSE(editor.edited());
    EXPECT_EQ(editor.startIndex(), Editor::kNoStart);
    EXPECT_EQ(editor.endIndex(), Editor::kNoEnd);
    EXPECT_EQ(editor.pointCount(), Editor::kNoCount);
    // Marker steps went with the track.
    EXPECT_FALSE(editor.canUndo());
    // A new map file closes the edited track and with it its marks.
    ASSERT_TRUE(editor.openEditedTrack("Drive", logPath));
    ASSERT_TRUE(editor.newMap());
    EXPECT_FALSE(editor.edited());
    EXPECT_EQ(editor.startIndex(), Editor::kNoStart);
    EXPECT_EQ(editor.pointCount(), Editor::kNoCount);
}

TEST_F(EditorTest, AddRemoveAndDescriptionUndoAndRedo)
{
    ASSERT_FALSE(editor.store()->dirty);
    ASSERT_TRUE(editor.addTrack("First", "/a.txt"));
    ASSERT_TRUE(editor.addTrack("", "/b.txt"));
    EXPECT_TRUE(editor.store()->dirty);
    editor.setDescription("Map");
    ASSERT_TRUE(editor.removeTrackRow(0));
    ASSERT_EQ(editor.store()->tracks.size(), 1u);
    EXPECT_EQ(*editor.store()->tracks[0].path, "/b.txt");
    ASSERT_TRUE(editor.undo()); // the remove
    ASSERT_EQ(editor.store()->tracks.size(), 2u);
    EXPECT_EQ(*editor.store()->tracks[0].description, "First");
    ASSERT_TRUE(editor.undo()); // the description
    EXPECT_FALSE(editor.store()->description);
    ASSERT_TRUE(editor.undo() && editor.undo());
    EXPECT_TRUE(editor.store()->tracks.empty());
    EXPECT_FALSE(editor.store()->dirty); // back to what it was before the adds
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(editor.redo());
    EXPECT_EQ(formatMapFile(*editor.store()),
              ";VARNO Track Editor\r\nMapDesc:Map\r\nzoom:10\r\nTrkPath:/b.txt\r\n");
    EXPECT_FALSE(editor.redo());
    // A new edit drops what was undone.
    ASSERT_TRUE(editor.undo());
    ASSERT_TRUE(editor.addTrack("", "/c.txt"));
    EXPECT_FALSE(editor.canRedo());

    // Closing the map file with an added track asks first; Yes saves, and a
    // failed save keeps the map file open.
    editor.chooseMapPath = [&](const std::string&) { return std::optional(dir.file("no/such/map.txt")); };
    prompt.script({PromptAnswer::Yes});
    EXPECT_FALSE(editor.closeMap());
    EXPECT_EQ(prompt.texts().end()[-2],
              "You have an unsaved track editor map file.\n\nDo you want to save it ?");
    ASSERT_TRUE(editor.store());
    prompt.script({PromptAnswer::No});
    EXPECT_TRUE(editor.closeMap());
    EXPECT_FALSE(editor.store());
}

TEST_F(EditorTest, TheHistoryKeepsAtLeastAHundredSteps)
{
    for (int i = 0; i < 150; ++i)
        press(i % 2 ? 280 : 310, 120); // +1, -1, ...
    press(310, 120);
    int undone = 0;
    while (editor.undo())
        ++undone;
    EXPECT_EQ(undone, 151);
    EXPECT_EQ(editor.startIndex(), 0);
}

TEST(EditorFit, FitsAllLoadedTracksAndPlacesAnUnknownLocation)
{
    test::ScratchDir dir;
    test::writeBytes(dir.file("one.txt"), "$GPGGA,1,5000.0,N,01000.0,E,1\n");
    test::writeBytes(dir.file("two.txt"), "$GPGGA,1,5100.0,N,01030.0,E,1\n$GPGGA,1,5130.0,N,01100.0,E,1\n");
    test::RecordingPrompt prompt;
    Editor editor(prompt);
    ASSERT_TRUE(editor.newMap());
    ASSERT_TRUE(editor.addTrack("", dir.file("one.txt")));
    editor.loadAll();
    // A single point: no span, the default scale.
    EXPECT_DOUBLE_EQ(editor.projection().scale, 0.005);
    EXPECT_DOUBLE_EQ(editor.projection().leftLonDeg, 10.0);
    EXPECT_DOUBLE_EQ(editor.location().latDeg, 50.0 - 0.1);
    ASSERT_TRUE(editor.addTrack("", dir.file("two.txt")));
    editor.loadAll();
    EXPECT_DOUBLE_EQ(editor.projection().scale, 0.008 / 1.5);
    EXPECT_DOUBLE_EQ(editor.projection().leftLonDeg, 10.0 - 0.1);
    EXPECT_DOUBLE_EQ(editor.projection().topLatDeg, 51.5 + 0.15);
    // A known fix is not moved.
    EXPECT_DOUBLE_EQ(editor.location().latDeg, 50.0 - 0.1);
    // Hiding a track refits to the rest.
    editor.applyVisibility({false, true});
    EXPECT_FALSE(editor.store()->tracks[0].loaded);
    EXPECT_DOUBLE_EQ(editor.projection().scale, 0.008 / 0.5);
    // Loaded OSM or GPX data is listed too; hidden it keeps its points, so it
    // can be shown again although there is no file to read it from.
    TrackEntry way;
    way.description = "OSM:1:highway=primary";
    way.loaded = true;
    way.points = {{52.0, 12.0}, {52.5, 12.0}};
    editor.appendEntries({way});
    ASSERT_EQ(editor.listRows().size(), 3u);
    editor.applyVisibility({true, true, false});
    EXPECT_FALSE(editor.store()->tracks[2].loaded);
    EXPECT_DOUBLE_EQ(editor.projection().scale, 0.008 / 1.5);
    editor.applyVisibility({true, true, true});
    EXPECT_TRUE(editor.store()->tracks[2].loaded);
    EXPECT_DOUBLE_EQ(editor.projection().topLatDeg, 52.5 + 0.25);
}

TEST(EditorThrottle, ShowingTheLocationSkipsPaintsByTheRefreshValue)
{
    test::RecordingPrompt prompt;
    Editor editor(prompt);
    struct Case {
        bool show;
        long refresh;
        std::string pattern; // D drawn, s skipped
    };
    const Case cases[] = {
        {true, 19200, "DssDssDss"},
        {true, 4800, "DDDD"},
        {true, 9600, "DsDsDs"},
        {false, 19200, "DDDD"},
    };
    for (const Case& c : cases) {
        editor.showLocation = c.show;
        editor.refreshRate = c.refresh;
        editor.redraw();
        std::string got;
        for (std::size_t i = 0; i < c.pattern.size(); ++i)
            got += editor.paintDue() ? 'D' : 's';
        EXPECT_EQ(got, c.pattern) << c.refresh;
    }
    // A command's redraw draws at once.
    editor.showLocation = true;
    editor.refreshRate = 19200;
    editor.redraw();
    EXPECT_TRUE(editor.paintDue());
    editor.redraw();
    EXPECT_TRUE(editor.paintDue());
    // A skipped paint repeats the last drawing.
    views::Scene first, second;
    editor.redraw();
    editor.paint(first, W, H);
    editor.paint(second, W, H);
    EXPECT_EQ(first.items.size(), second.items.size());
}

TEST_F(EditorTest, TheSceneHasItsTextsBarsMarkersAndOnlyTheVisibleSegments)
{
    press(310, 120); // start 1
    // The fitted scale leaves the south end below the map in a window this low.
    editor.setOrigin(editor.projection().leftLonDeg, editor.projection().topLatDeg, 0.08);
    views::Scene scene;
    editor.buildScene(scene, W, H);
    ASSERT_TRUE(scene.textAt(10, 20));
    EXPECT_EQ(scene.textAt(10, 20)->text, "Tracks map desc. ");
    EXPECT_EQ(scene.textAt(10, 40)->text, "Track desc. Drive");
    EXPECT_EQ(scene.textAt(10, 60)->text, "Track path/name " + logPath);
    EXPECT_EQ(scene.textAt(10, 114)->text, fmt::format("Lat. {:9f}", editor.startMarker().latDeg));
    EXPECT_EQ(scene.textAt(10, 93)->text, "000001");
    EXPECT_EQ(scene.textAt(W - 70, 93)->text, "000049");
    // Three bars in the frame of the track bar: L = W - 200.
    const long L = W - 200;
    int bars = 0;
    for (const views::FillItem* f : scene.all<views::FillItem>())
        if (f->rect.top == 93) {
            ++bars;
            if (bars == 2) {
                EXPECT_EQ(f->rect.left, 99 + L * 1 / 50);
            }
        }
    EXPECT_EQ(bars, 3);
    // The white track and the two marker crosses.
    std::size_t trackPoints = 0;
    int crosses = 0;
    for (const views::PolylineItem* p : scene.all<views::PolylineItem>()) {
        if (p->colour == 0xFFFFFF && p->width == 0)
            trackPoints += p->points.size();
        if ((p->colour == 0x3296FF || p->colour == 0xE6C100) && p->points.size() == 2)
            ++crosses;
    }
    EXPECT_EQ(trackPoints, 50u);
    EXPECT_EQ(crosses, 4);
    // Zoomed far in on the middle, most segments are off screen and not drawn.
    const TrackPoint mid = *editor.pointAt(25);
    editor.setOrigin(mid.lonDeg - 0.0005, mid.latDeg + 0.0005, 2.0);
    views::Scene near;
    editor.buildScene(near, W, H);
    trackPoints = 0;
    for (const views::PolylineItem* p : near.all<views::PolylineItem>())
        if (p->colour == 0xFFFFFF && p->width == 0)
            trackPoints += p->points.size();
    EXPECT_GT(trackPoints, 0u);
    EXPECT_LT(trackPoints, 10u);
}

// Cancel in the Save As dialog that "save it ?" opened keeps the map file and
// stops what asked: Close, Open, New and shutting the window.
TEST_F(EditorTest, CancellingTheSaveAsOfSaveItKeepsTheMapFile)
{
    ASSERT_TRUE(editor.closeEditedTrackCommand());
    ASSERT_TRUE(editor.addTrack("", "/a.txt"));
    int asked = 0;
    editor.chooseMapPath = [&](const std::string&) -> std::optional<std::string> {
        ++asked;
        return std::nullopt;
    };
    const std::string other = dir.file("other.txt");
    test::writeBytes(other, ";VARNO Track Editor\r\nMapDesc:Other\r\nzoom:10\r\n");
    prompt.script({PromptAnswer::Yes});
    EXPECT_FALSE(editor.closeMap());
    prompt.script({PromptAnswer::Yes});
    EXPECT_FALSE(editor.openMap(other));
    prompt.script({PromptAnswer::Yes});
    EXPECT_FALSE(editor.closeOnShutdown());
    prompt.script({PromptAnswer::Yes, PromptAnswer::Yes});
    EXPECT_TRUE(editor.newMap()); // the kept map file is still open
    EXPECT_EQ(asked, 4);
    ASSERT_TRUE(editor.store());
    ASSERT_EQ(editor.store()->tracks.size(), 1u);
    EXPECT_TRUE(editor.store()->dirty);
    // Save As on its own: Cancel changes nothing and is no failure.
    EXPECT_EQ(editor.saveMapAs(), 0);
}

// Every edit of the map file asks for a save, and taking it back restores the flag.
TEST_F(EditorTest, EveryMapEditMarksTheMapUnsaved)
{
    ASSERT_TRUE(editor.addTrack("", "/a.txt"));
    ASSERT_EQ(editor.saveMapTo(dir.file("map.txt")), 0);
    ASSERT_FALSE(editor.store()->dirty);
    ASSERT_TRUE(editor.removeTrackRow(0));
    EXPECT_TRUE(editor.store()->dirty);
    ASSERT_TRUE(editor.undo());
    EXPECT_FALSE(editor.store()->dirty);
    editor.setDescription("Map");
    EXPECT_TRUE(editor.store()->dirty);
    ASSERT_TRUE(editor.undo());
    EXPECT_FALSE(editor.store()->dirty);
    editor.setDescription(""); // no change, no edit
    EXPECT_FALSE(editor.store()->dirty);
}

// A map file with nothing to read leaves no map file open.
TEST(EditorOpen, AnEmptyMapFileLeavesNoMapFileOpen)
{
    test::ScratchDir dir;
    test::RecordingPrompt prompt;
    Editor editor(prompt);
    ASSERT_TRUE(editor.newMap());
    test::writeBytes(dir.file("empty.txt"), "");
    EXPECT_FALSE(editor.openMap(dir.file("empty.txt")));
    EXPECT_FALSE(editor.store());
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{"Error can't read from file"});
    // A file read in part stays open with what was read.
    test::writeBytes(dir.file("header.txt"), ";VARNO Track Editor\r\n");
    EXPECT_FALSE(editor.openMap(dir.file("header.txt")));
    EXPECT_TRUE(editor.store());
}

// Shown off screen, the location comes to the middle of the map across and
// its cross is drawn at the next paint, at any latitude.
TEST(EditorLocation, AnOffScreenLocationIsCentredAtAnyLatitude)
{
    for (const double lat : {0.0, 10.0, 19.0, 45.0, 60.0, -33.0}) {
        SCOPED_TRACE(lat);
        test::RecordingPrompt prompt;
        Editor editor(prompt);
        editor.showLocation = true;
        gps::Fix fix;
        fix.position = geo::LatLon(lat, 100.0);
        editor.setFix(fix);
        views::Scene first, second;
        editor.buildScene(first, W, H); // finds it off screen and moves the view
        editor.buildScene(second, W, H);
        const std::vector<const views::EllipseItem*> circles = second.all<views::EllipseItem>();
        ASSERT_EQ(circles.size(), 1u);
        EXPECT_NEAR((circles[0]->rect.left + circles[0]->rect.right) / 2, (W - 20) / 2, 1);
    }
}

TEST(EditorCulling, EntriesOffScreenAddNothingAndOnesCrossingTheEdgeAreDrawn)
{
    const auto way = [](std::vector<TrackPoint> pts) {
        TrackEntry e;
        e.description = "OSM:1:highway=primary";
        e.points = std::move(pts);
        e.loaded = true;
        e.updateExtent();
        return e;
    };
    const TrackEntry inside = way({{50.01, 10.01}, {50.02, 10.02}});
    const TrackEntry east = way({{50.01, 11.5}, {50.02, 11.6}});
    const TrackEntry south = way({{48.0, 10.01}, {48.1, 10.02}});
    const TrackEntry crossing = way({{50.01, 9.9}, {50.02, 10.3}}); // from left of the screen into it
    const auto items = [&](std::vector<TrackEntry> entries) {
        test::RecordingPrompt prompt;
        Editor editor(prompt);
        editor.newMap();
        editor.appendEntries(std::move(entries));
        editor.setOrigin(10.0, 50.05, 0.01); // a degree of longitude is about 700 pixels
        views::Scene scene;
        editor.buildScene(scene, 1024, 768);
        return scene.items.size();
    };
    const std::size_t base = items({inside});
    EXPECT_EQ(items({inside, east, south}), base);
    EXPECT_EQ(items({east, inside, south}), base);
    EXPECT_GT(items({inside, crossing}), base);

    // The lookup follows the list: an entry that moves up when one before it
    // goes is still found, and so after the undo.
    test::RecordingPrompt prompt;
    Editor editor(prompt);
    editor.newMap();
    std::vector<TrackEntry> entries{way({{50.01, 13.51}, {50.02, 13.52}}), inside};
    for (int i = 0; i < 60; ++i) // more away east, so the grid has cells apart
        entries.push_back(way({{50.0 + i * 0.01, 13.5 + i * 0.02}, {50.01 + i * 0.01, 13.51 + i * 0.02}}));
    editor.appendEntries(entries);
    editor.setOrigin(10.0, 50.05, 0.01);
    const auto shown = [&] {
        views::Scene scene;
        editor.buildScene(scene, 1024, 768);
        return scene.items.size();
    };
    ASSERT_EQ(shown(), base);
    ASSERT_TRUE(editor.removeTrackRow(0));
    ASSERT_TRUE(editor.addTrack("", "/not/drawn.txt")); // the list is as long as before
    EXPECT_EQ(shown(), base);
    ASSERT_TRUE(editor.removeTrackRow(0));
    EXPECT_LT(shown(), base);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(editor.undo());
    EXPECT_EQ(shown(), base);
}

// Every entry whose extent meets the box comes back, once, in list order, and a
// small box in a wide field brings back few others.
TEST(EntryIndex, FindsEveryEntryMeetingTheBoxAndFewOthers)
{
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> lat(53.0, 54.0), lon(13.0, 14.5), size(0.0, 0.01);
    std::vector<TrackEntry> entries(3000);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        TrackEntry& e = entries[i];
        const double a = lat(rng), o = lon(rng);
        e.points = {{a, o}, {a + size(rng), o + size(rng)}};
        if (i % 500 == 1)
            e.points.push_back({a - 2.0, o + 3.0}); // tall and wide
        if (i % 700 == 2)
            e.path = "/log.txt"; // a log's points may change: always a candidate
        if (i % 900 != 3)        // and one without an extent yet
            e.updateExtent();
        e.loaded = true;
    }
    EntryIndex index;
    index.build(entries);
    struct Case {
        GeoBox box;
        std::size_t atMost; // candidates
    };
    const Case cases[] = {
        {{53.50, 53.52, 13.70, 13.73}, 60}, {{52.0, 55.0, 12.0, 15.0}, 3000}, // everything
        {{53.999, 54.2, 14.49, 15.0}, 40}, // a corner of the grid and beyond
        {{10.0, 11.0, 0.0, 1.0}, 30},      // far away: only those always tested
        {{53.5, 53.5, 13.7, 13.7}, 40},    // a point
    };
    std::vector<std::uint32_t> got;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box.minLatDeg);
        index.query(c.box, got);
        EXPECT_TRUE(std::is_sorted(got.begin(), got.end()));
        EXPECT_EQ(std::adjacent_find(got.begin(), got.end()), got.end());
        EXPECT_LE(got.size(), c.atMost);
        for (std::uint32_t i = 0; i < entries.size(); ++i) {
            const TrackExtent& x = entries[i].extent;
            const bool meets = x.empty || entries[i].path ||
                               (x.minLatDeg <= c.box.maxLatDeg && x.maxLatDeg >= c.box.minLatDeg &&
                                x.minLonDeg <= c.box.maxLonDeg && x.maxLonDeg >= c.box.minLonDeg);
            EXPECT_TRUE(!meets || std::binary_search(got.begin(), got.end(), i)) << i;
        }
    }
}

} // namespace
} // namespace varno::trackedit
