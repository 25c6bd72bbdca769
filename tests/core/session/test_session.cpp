// Session: start-up, the start-up actions, intake and views; its command table, time windows, Com form.
#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include "base/Clock.h"
#include "core/base/ScratchFiles.h"
#include "core/gps/test_nmea_sentence.h"
#include "gps/AbsentSerialPort.h"
#include "session/ComSettingsForm.h"
#include "session/CommandTable.h"
#include "session/Session.h"
#include "session/TimeWindow.h"
#include "settings/StartupChecks.h"
#include "support/RecordingPrompt.h"

using namespace varno;
using views::MapView;
namespace keys = settings::keys;

namespace {

LocalTime at(int hour, int minute)
{
    return {.year = 2006, .month = 6, .day = 5, .weekday = 1, .hour = hour, .minute = minute};
}

// A Session over a scratch settings file, a fixed clock and a port that never opens; made on first use.
struct SessionStartup : ::testing::Test {
    SessionStartup() { std::filesystem::create_directories(dir.path() / "Log"); }

    session::Session& session()
    {
        if (!made)
            made.emplace(session::Session::Deps{settings, prompt, clock, port, dir.path().string(),
                                                [](std::chrono::milliseconds) {}});
        return *made;
    }

    test::ScratchDir dir;
    settings::SettingsStore store{dir.file("settings.reg")};
    test::RecordingPrompt prompt;
    settings::Settings settings{store, prompt};
    FixedClock clock{at(12, 0)};
    gps::AbsentSerialPort port;
    std::optional<session::Session> made;
};

// A profile with every default written, as after a first run answered with OK.
struct SessionConfigured : SessionStartup {
    void SetUp() override { settings.writeDefaults(); }
};

constexpr const char* kGoodRmc =
    "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B";
constexpr const char* kBadRmc = "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3C";

} // namespace

TEST_F(SessionStartup, CancelRunsWithoutSettingsAndTheNextStartAsksAgainAndOkWritesEverything)
{
    session();
    prompt.script({PromptAnswer::Cancel});
    session().initialUpdate();
    EXPECT_EQ(prompt.texts().back(), "The program will not operate without\nsettings in the registry.");
    EXPECT_FALSE(std::filesystem::exists(dir.file("settings.reg")));
    EXPECT_EQ(session().colours().boxBackground(), 0u);
    // Without settings the start-up actions must not start or load anything.
    session().autoStart();
    EXPECT_FALSE(session().gps().portOpen());
    EXPECT_FALSE(session().startupRoute());

    // The next start asks again; with no settings at all there is no version to warn about.
    made.reset();
    prompt.shown.clear();
    prompt.script({PromptAnswer::Ok});
    session().initialUpdate();
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text,
              "Setup registry values?\n\nSetup options for this program are\nstored in the "
              "registry.\n\nThe first time you run the program\nyou will be asked this question. ");
    EXPECT_EQ(prompt.shown[0].buttons, PromptButtons::OkCancel);
    // The defaults were read back into the view: day colours, not the black of no settings.
    EXPECT_EQ(session().colours().boxBackground(), 0x0098E500u);
    EXPECT_TRUE(session().logTrack());

    // The next start asks nothing; only a stored version below ours is warned about.
    prompt.shown.clear();
    EXPECT_FALSE(settings::runVersionCheck(settings));
    EXPECT_EQ(settings::runFirstRunCheck(settings), settings::FirstRunResult::KeyPresent);
    EXPECT_TRUE(prompt.shown.empty());
    store.setDword(settings::kVarnoKey, "Version", 7);
    EXPECT_TRUE(settings::runVersionCheck(settings));
    store.setDword(settings::kVarnoKey, "Version", 9);
    EXPECT_FALSE(settings::runVersionCheck(settings));
    EXPECT_EQ(prompt.shown.size(), 1u);
}

TEST_F(SessionConfigured, StartTimersLoadTheirRouteOnlyInsideTheirWindow)
{
    // The first timer crosses midnight; the second runs when the first does not fire.
    for (auto [n, start, end, file] : {std::tuple{0, "22.00", "02:30", "C:\\VARNO\\Route\\night.csv"},
                                       {1, "16-00", "18.30", "evening.csv"}}) {
        settings.write(keys::StartTimerEnable[n], true);
        settings.write(keys::StartTimerStartTime[n], start);
        settings.write(keys::StartTimerEndTime[n], end);
        settings.write(keys::StartTimerFilename[n], file);
    }
    clock.set(at(18, 30));
    EXPECT_EQ(session().startTimerRoute(), "evening.csv");
    settings.write(keys::StartTimerEnable[1], false);
    EXPECT_FALSE(session().startTimerRoute());

    clock.set(at(23, 15));
    session().autoStart();
    EXPECT_EQ(session().startupRoute(), "C:\\VARNO\\Route\\night.csv");
    EXPECT_EQ(settings.read(keys::RouteName), "C:\\VARNO\\Route\\night.csv");
    EXPECT_EQ(settings.read(keys::AutoStartRoute), 1);
}

TEST_F(SessionConfigured, AutoStartRunsOnlyTheActionsTheSettingsTurnOn)
{
    settings.write(keys::RouteName, "C:\\VARNO\\Route\\home.csv");
    settings.write(keys::NightTimerEnable, 1);
    settings.write(keys::NightTimerStartTime, "21.30");
    settings.write(keys::NightTimerEndTime, "6.00");
    session().initialUpdate();
    session().autoStart(); // at noon, with the stored route, the log and the GPS off
    EXPECT_FALSE(session().startupRoute());
    EXPECT_FALSE(session().colours().isNight());
    EXPECT_FALSE(session().nmeaLog().isOpen());
    EXPECT_TRUE(prompt.shown.empty());

    settings.write(keys::AutoStartRoute, 1);
    settings.write(keys::AutoStartLog, 1);
    settings.write(keys::AutoStartGPS, 1);
    settings.write(keys::Port, "Com3");
    clock.set(at(5, 59));
    session().autoStart();
    EXPECT_EQ(session().startupRoute(), "C:\\VARNO\\Route\\home.csv");
    EXPECT_TRUE(session().colours().isNight());
    EXPECT_TRUE(session().nmeaLog().isOpen());
    EXPECT_EQ(std::filesystem::path(session().nmeaLog().path()).parent_path(), dir.path() / "Log");
    EXPECT_EQ(prompt.texts().at(0), "Can't open com port Com3");
}

TEST_F(SessionConfigured, IntakeDecodesGoodSentencesMarksBadOnesAndAlwaysConsumes)
{
    session().road().mailbox().offer(kGoodRmc);
    auto in = session().road().intake();
    EXPECT_TRUE(in.taken && in.checksumOk);
    EXPECT_EQ(in.stripText(), kGoodRmc);
    EXPECT_NEAR(session().decoder().Course, 226.6, 1e-9);
    // Until the repaint has drawn it the sentence stays pending: the reader must not overwrite it.
    EXPECT_FALSE(session().road().mailbox().offer(kBadRmc));
    session().road().finishIntake(in);
    EXPECT_FALSE(session().road().intake().taken);

    // A bad checksum, or a NUL (a serial BREAK) under a matching one, changes no field.
    using namespace std::string_literals;
    for (const std::string& bad :
         {std::string(kBadRmc), test::nmea("GPRMC,122517.0,A,51\0 23.03664,N,00119.11388,W,000.0,226.6,"
                                           "170606,05.7,W,A"s)}) {
        EXPECT_TRUE(session().road().mailbox().offer(bad));
        in = session().road().intake();
        EXPECT_TRUE(in.taken && !in.checksumOk);
        EXPECT_EQ(in.stripText(), bad + " Bad");
        EXPECT_EQ(session().decoder().RmcCount, 1u);
        session().road().finishIntake(in);
    }

    session().toggleView(MapView::TrackEditor); // no decoding there, but still consumed
    session().road().mailbox().offer(kGoodRmc);
    in = session().road().intake();
    EXPECT_EQ(session().decoder().RmcCount, 1u);
    session().road().finishIntake(in);
    EXPECT_TRUE(session().road().mailbox().offer(kGoodRmc))
        << "the reader would stall in the track editor view";
}

TEST_F(SessionConfigured, RoadDecodesAtTheRepaintSoANotifyWorksOnThePreviousFix)
{
    session::SentenceRoad& road = session().road();
    road.mailbox().offer(kGoodRmc);
    road.notify();
    EXPECT_EQ(session().decoder().RmcCount, 0u)
        << "the warner of this notify saw the fix before the sentence";
    const auto painted = road.repaint({});
    ASSERT_TRUE(painted);
    EXPECT_TRUE(painted->intake.taken && painted->intake.checksumOk);
    EXPECT_EQ(session().decoder().RmcCount, 1u);
    EXPECT_FALSE(painted->scene.items.empty());
    EXPECT_TRUE(road.mailbox().offer(kGoodRmc)) << "consumed once drawn";

    // A sentence no repaint comes for still reaches the fix; with none pending, take() does nothing.
    EXPECT_TRUE(road.take().checksumOk);
    EXPECT_EQ(session().decoder().RmcCount, 2u);
    EXPECT_FALSE(road.take().taken);
}

TEST_F(SessionConfigured, ViewCommandsSwitchOrReturnToTheCameraMap)
{
    auto& view = session().viewState();
    for (MapView target : {MapView::Poi, MapView::Route, MapView::Compass, MapView::Pointer, MapView::Trail,
                           MapView::TrackEditor}) {
        session().toggleView(target);
        EXPECT_TRUE(view.isOn(target));
        view.clearBackgroundChanged();
        session().toggleView(target);
        EXPECT_EQ(view.title(), "VARNO Camera View");
        EXPECT_TRUE(view.backgroundChanged()) << "switching back must rebuild the background too";
    }
    // From another view a toggle switches rather than returning; "always" never returns.
    session().toggleView(MapView::Compass);
    session().toggleView(MapView::Poi);
    EXPECT_EQ(view.title(), "VARNO POI View");
    session().showPoiAlways();
    EXPECT_TRUE(view.isOn(MapView::Poi));
    session().nextView();
    EXPECT_TRUE(view.isOn(MapView::Route));
    EXPECT_EQ(session().cameraReloadCounter(), 71);
    session().showCameraMap();
    EXPECT_EQ(view.title(), "VARNO Camera View");

    // The next-view cycle runs through six views back to the camera map; the track editor is outside it.
    std::vector<MapView> cycle;
    for (int i = 0; i < 6; ++i)
        cycle.push_back(view.next());
    EXPECT_EQ(cycle, (std::vector<MapView>{MapView::Poi, MapView::Route, MapView::Compass, MapView::Pointer,
                                           MapView::Trail, MapView::Camera}));
    session().toggleView(MapView::TrackEditor);
    EXPECT_EQ(view.title(), "VARNO Track Editor View");
    EXPECT_EQ(view.next(), MapView::Poi);
}

TEST(CommandTable, NumbersAndKeysAreUniqueAndEveryListedShortcutIsBound)
{
    std::set<int> numbers;
    std::map<std::string, int> keys;
    for (const session::Command& c : session::CommandTable::all()) {
        EXPECT_TRUE(numbers.insert(c.number).second) << "number " << c.number << " twice";
        // Two commands on one key would make the key do nothing at all.
        auto [it, fresh] = keys.emplace(std::string(c.key), c.number);
        EXPECT_TRUE(c.key.empty() || fresh) << "key " << c.key << " on " << it->second << " and " << c.number;
    }
    // The shortcut list tells the user about keys; each must really do something.
    auto bound = [&](std::string_view k) {
        std::string s(k.substr(0, k.find(" (")));
        s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
        return keys.count(s.empty() ? std::string("Space") : s) > 0;
    };
    for (const session::ShortcutRow& r : session::CommandTable::shortcutRows()) {
        EXPECT_TRUE(r.functionKey.empty() || bound(r.functionKey)) << r.function;
        EXPECT_TRUE(r.key.empty() || bound(r.key)) << r.function << " " << r.key;
    }
}

TEST(TimeWindow, BothEndsAreInsideAndAWindowMayCrossMidnight)
{
    // Only one zero is added: an empty or very short text stays short and never matches "hh:mm".
    for (auto [stored, normal] : {std::pair{"", "0"}, {"7", "07"}, {"7.30", "07:30"}, {" 06-45 ", "06:45"}})
        EXPECT_EQ(session::normaliseTime(stored), normal) << stored;
    const struct {
        const char *start, *end;
        std::vector<const char*> inside, outside;
    } windows[] = {
        {"22.00", "02:30", {"23:15", "01:00", "22:00", "00:00", "02:30"}, {"12:00", "02:31", "21:59"}},
        // The defaults are empty texts; they must not switch anything on.
        {"", "", {}, {"00:00", "12:00", "23:59"}}};
    for (const auto& w : windows) {
        const std::string start = session::normaliseTime(w.start), end = session::normaliseTime(w.end);
        for (const char* t : w.inside)
            EXPECT_TRUE(session::inTimeWindow(t, start, end)) << t << " in " << w.start << ".." << w.end;
        for (const char* t : w.outside)
            EXPECT_FALSE(session::inTimeWindow(t, start, end)) << t << " in " << w.start << ".." << w.end;
    }
}

TEST(ComSettingsForm, ShowsWhatItKnowsListsAPortOnceAndNeverBlanksTheSpeed)
{
    using session::ComSettingsForm;
    auto f = ComSettingsForm::shown("Com3", "4800", "even", "16", "1.5");
    EXPECT_EQ(std::tuple(f.port, f.speed, f.parity, f.dataBits, f.stopBits),
              std::tuple("Com3", "4800", "Even", "16", "1.5"));
    // Rates the dialog knows although its list does not offer them, and ones it does not recognise.
    for (auto [stored, shown] : {std::pair{"1800", "1800"}, {"7200", "7200"}, {"4801", ""}, {"256000", ""}})
        EXPECT_EQ(ComSettingsForm::shown({}, stored, {}, {}, {}).speed, shown) << stored;
    EXPECT_EQ(ComSettingsForm::shown({}, {}, "Bogus", "4", {}).parity, "");
    EXPECT_EQ(ComSettingsForm::shown({}, {}, {}, "4", {}).dataBits, "");
    // A stored port that is present is not listed twice.
    EXPECT_EQ(ComSettingsForm::portChoices({"/dev/ttyUSB0"}, "/dev/ttyUSB0"),
              std::vector<std::string>{"/dev/ttyUSB0"});
    // An unrecognised stored speed shows empty; OK must not turn it into "" (0 baud).
    for (const auto& [key, text] : ComSettingsForm::toStore({"/dev/ttyUSB0", "", "ODD", "7", "2"}))
        EXPECT_NE(key.def, keys::Speed.def) << text;
}
