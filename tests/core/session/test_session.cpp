// Session: start-up questions, Check Registry, the start-up actions, the intake and view steps.
#include <filesystem>

#include <gtest/gtest.h>

#include "SessionFixture.h"
#include "settings/StartupChecks.h"

using namespace varno;
using session::MapView;
using test::at;

namespace {
class SessionStartup : public test::SessionTest {};
// A profile with every default written.
class SessionConfigured : public test::SessionTest {
protected:
    void SetUp() override { writeDefaults(); }
};

constexpr const char* kGoodRmc =
    "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B";
constexpr const char* kBadRmc = "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3C";
} // namespace

TEST_F(SessionStartup, FreshProfileWarnsThenAsksAndOkWritesEverything)
{
    prompt.script({PromptAnswer::Ok});
    session();
    ASSERT_EQ(prompt.texts().size(), 1u);
    EXPECT_EQ(prompt.texts()[0], settings::kLaterVersionMessage);

    session().initialUpdate();
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[1].text, settings::kSetupQuestion);
    EXPECT_EQ(prompt.shown[1].buttons, PromptButtons::OkCancel);
    EXPECT_TRUE(settings().store().keyExists("Software\\VARNO\\POIFiles"));
    // The defaults were read back into the view: day colours, not the black of no settings.
    EXPECT_EQ(session().colours().boxBackground(), 0x0098E500u);
    EXPECT_TRUE(session().logTrack());
}

TEST_F(SessionStartup, CancelLeavesTheProgramRunningWithoutSettings)
{
    session();
    prompt.script({PromptAnswer::Cancel});
    session().initialUpdate();
    EXPECT_EQ(prompt.texts().back(), settings::kNoSettingsMessage);
    EXPECT_FALSE(settings().keyExists());
    EXPECT_EQ(session().colours().boxBackground(), 0u);
    // Without settings the start-up actions must not start or load anything.
    session().autoStart();
    EXPECT_FALSE(session().gps().portOpen());
    EXPECT_FALSE(session().startupRoute());
}

TEST_F(SessionStartup, CheckRegistryResetsValuesAndReloadsTheDayScheme)
{
    writeDefaults();
    settings().write(settings::keys::DayTimeBackGround, 0x0000FFu);
    settings().write(settings::keys::StartTimerFilename[0], "C:\\VARNO\\Route\\a.csv");
    settings().write(settings::keys::SpeedUnits, 2);
    session().loadNightColours();

    session().checkRegistry();
    EXPECT_EQ(prompt.texts().back(), "Registry check finished.");
    EXPECT_EQ(session().colours().boxBackground(), 0x0098E500u);
    EXPECT_FALSE(session().colours().isNight());
    EXPECT_EQ(session().speedUnits(), 0);
    EXPECT_EQ(settings().read(settings::keys::StartTimerFilename[0]), "");
}

TEST_F(SessionStartup, NightColoursAfterCheckRegistry)
{
    session().checkRegistry();
    session().viewState().clearBackgroundChanged();
    session().loadNightColours();
    const auto& c = session().colours();
    EXPECT_EQ(c.boxText(), 0x009DE800u);
    EXPECT_EQ(c.boxBackground(), 0x007A1300u);
    EXPECT_EQ(c.windowFill(), 0u);
    EXPECT_TRUE(session().viewState().backgroundChanged());
}

TEST_F(SessionConfigured, StartTimersLoadTheirRouteOnlyInsideTheirWindow)
{
    // The first timer crosses midnight; the second runs when the first does not fire.
    namespace keys = settings::keys;
    for (auto [n, start, end, file] : {std::tuple{0, "22.00", "02:30", "C:\\VARNO\\Route\\night.csv"},
                                       {1, "16-00", "18.30", "evening.csv"}}) {
        settings().write(keys::StartTimerEnable[n], true);
        settings().write(keys::StartTimerStartTime[n], start);
        settings().write(keys::StartTimerEndTime[n], end);
        settings().write(keys::StartTimerFilename[n], file);
    }
    for (auto [h, m, route] :
         {std::tuple{1, 0, "C:\\VARNO\\Route\\night.csv"}, {18, 30, "evening.csv"}, {12, 0, ""}}) {
        clock.set(at(h, m));
        EXPECT_EQ(session().startTimerRoute().value_or(""), route) << h << ":" << m;
    }
    settings().write(settings::keys::StartTimerEnable[1], false);
    clock.set(at(17, 0));
    EXPECT_FALSE(session().startTimerRoute());

    clock.set(at(23, 15));
    session().autoStart();
    EXPECT_EQ(session().startupRoute(), "C:\\VARNO\\Route\\night.csv");
    EXPECT_EQ(settings().read(settings::keys::RouteName), "C:\\VARNO\\Route\\night.csv");
    EXPECT_EQ(settings().read(settings::keys::AutoStartRoute), 1);
}

TEST_F(SessionConfigured, ConfiguredProfileAsksNothing)
{
    session().initialUpdate();
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(SessionConfigured, StoredRouteLoadsWhenAutoStartRouteIsOn)
{
    settings().write(settings::keys::RouteName, "C:\\VARNO\\Route\\home.csv");
    session().autoStart();
    EXPECT_FALSE(session().startupRoute());
    settings().write(settings::keys::AutoStartRoute, 1);
    session().autoStart();
    EXPECT_EQ(session().startupRoute(), "C:\\VARNO\\Route\\home.csv");
}

TEST_F(SessionConfigured, NightTimerSwitchesToNightColours)
{
    settings().write(settings::keys::NightTimerEnable, 1);
    settings().write(settings::keys::NightTimerStartTime, "21.30");
    settings().write(settings::keys::NightTimerEndTime, "6.00");
    clock.set(at(12, 0));
    session().autoStart();
    EXPECT_FALSE(session().colours().isNight());
    clock.set(at(5, 59));
    session().autoStart();
    EXPECT_TRUE(session().colours().isNight());
}

TEST_F(SessionConfigured, AutoStartLogOpensALogInTheLogFolder)
{
    settings().write(settings::keys::AutoStartLog, 1);
    clock.set(at(14, 23));
    session().autoStart();
    EXPECT_TRUE(session().nmeaLog().isOpen());
    EXPECT_EQ(std::filesystem::path(session().nmeaLog().path()).parent_path(), dir() / "Log");
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(SessionConfigured, AutoStartGpsReportsTheMissingPort)
{
    settings().write(settings::keys::AutoStartGPS, 1);
    settings().write(settings::keys::Port, "Com3");
    session().autoStart();
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_EQ(prompt.shown[0].text, "Can't open com port Com3");
    EXPECT_FALSE(session().gps().portOpen());
}

TEST_F(SessionConfigured, GoodSentenceIsDecodedAndConsumed)
{
    session().mailbox().offer(kGoodRmc);
    auto in = session().intake();
    EXPECT_TRUE(in.taken && in.checksumOk);
    EXPECT_EQ(in.stripText(), kGoodRmc);
    EXPECT_NEAR(session().decoder().Course, 226.6, 1e-9);
    // Until the repaint has drawn it the sentence stays pending: the reader must not overwrite it.
    EXPECT_FALSE(session().mailbox().offer(kBadRmc));
    session().finishIntake(in);
    EXPECT_FALSE(session().intake().taken);
    EXPECT_TRUE(session().mailbox().offer(kBadRmc));
}

TEST_F(SessionConfigured, BadChecksumChangesNoFieldAndIsMarkedBad)
{
    session().mailbox().offer(kBadRmc);
    auto in = session().intake();
    EXPECT_TRUE(in.taken && !in.checksumOk);
    EXPECT_EQ(in.stripText(), std::string(kBadRmc) + " Bad");
    EXPECT_EQ(session().decoder().RmcCount, 0u);
}

TEST_F(SessionConfigured, TrackEditorViewDoesNotDecodeButStillConsumes)
{
    session().toggleView(MapView::TrackEditor);
    session().mailbox().offer(kGoodRmc);
    auto in = session().intake();
    EXPECT_EQ(session().decoder().RmcCount, 0u);
    session().finishIntake(in);
    EXPECT_TRUE(session().mailbox().offer(kGoodRmc)) << "the reader would stall in the track editor view";
}

TEST_F(SessionConfigured, ToggledViewsSwitchOrReturnToTheCameraMap)
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
    // From another view a toggle switches rather than returning.
    session().toggleView(MapView::Compass);
    session().toggleView(MapView::Poi);
    EXPECT_EQ(view.title(), "VARNO POI View");
    session().toggleView(MapView::Camera);
    EXPECT_TRUE(view.isOn(MapView::Camera));
}

TEST_F(SessionConfigured, ViewCommandsThroughTheSession)
{
    session().showPoiAlways();
    session().showPoiAlways();
    EXPECT_TRUE(session().viewState().isOn(MapView::Poi));
    session().nextView();
    EXPECT_TRUE(session().viewState().isOn(MapView::Route));
    EXPECT_EQ(session().cameraReloadCounter(), 71);
    session().showCameraMap();
    EXPECT_EQ(session().viewState().title(), "VARNO Camera View");
}
