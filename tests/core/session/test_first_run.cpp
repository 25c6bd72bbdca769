// The first start: the data folders the settings name, the welcome page due only on a fresh profile, the
// version warning only for a profile that has settings, and the profile recommended for driving.
#include <algorithm>
#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "base/Clock.h"
#include "core/base/ScratchFiles.h"
#include "gps/AbsentSerialPort.h"
#include "session/FirstRun.h"
#include "session/Session.h"
#include "settings/SettingsStore.h"
#include "settings/StartupChecks.h"
#include "support/RecordingPrompt.h"

using namespace varno;
namespace keys = settings::keys;
namespace fs = std::filesystem;

namespace {

struct Profile {
    test::ScratchDir dir;
    std::string root = dir.file("VARNO");
    settings::SettingsStore store{dir.file("settings.reg")};
    test::RecordingPrompt prompt;
    settings::Settings settings{store, prompt};
    FixedClock clock{LocalTime{}};
    gps::AbsentSerialPort port;

    // The start-up as far as the first-run question, answered with `answer`.
    session::Session& start(PromptAnswer answer)
    {
        prompt.script({answer});
        made.emplace(
            session::Session::Deps{settings, prompt, clock, port, root, [](std::chrono::milliseconds) {}});
        made->initialUpdate();
        return *made;
    }
    std::optional<session::Session> made;
};

} // namespace

TEST(FirstRun, FoldersAndTheWelcomePageOnlyForAFreshProfile)
{
    const std::vector<std::string> named = {"Log", "Route", "Voice", "POI", "Images"};
    struct Case {
        const char* name;
        std::function<void(Profile&)> before;
        PromptAnswer answer;
        bool fresh; // folders made and the page due
    };
    const Case cases[] = {
        {"fresh, OK", [](Profile&) {}, PromptAnswer::Ok, true},
        {"fresh, Cancel", [](Profile&) {}, PromptAnswer::Cancel, false},
        {"configured", [](Profile& p) { p.settings.writeDefaults(); }, PromptAnswer::Ok, false},
        // A profile from before the page: the value is missing, and must not bring the page up.
        {"older profile",
         [](Profile& p) {
             p.settings.writeDefaults();
             p.store.deleteValue(settings::kVarnoKey, keys::FirstRunPending.name());
         },
         PromptAnswer::Ok, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Profile p;
        c.before(p);
        session::Session& s = p.start(c.answer);
        EXPECT_EQ(p.settings.read(keys::FirstRunPending) == 1, c.fresh);
        for (const std::string& f : named)
            EXPECT_EQ(fs::is_directory(p.root + "/" + f), c.fresh) << f;
        EXPECT_TRUE(s.folderFailures().empty());
    }
}

TEST(FirstRun, FoldersFromTheSettingsAndWhatCouldNotBeMade)
{
    Profile p;
    p.settings.writeDefaults();
    p.settings.write(keys::LogFolder, "C:\\VARNO\\Logs\\");     // a trailing separator, as typed
    p.settings.write(keys::POIFolder, p.dir.file("elsewhere")); // outside the data root
    p.settings.write(keys::ImagesFolder, "C:\\VARNO\\Logs");    // the same again
    const auto folders = session::dataFolders(p.settings, p.root);
    EXPECT_EQ(folders, (std::vector<std::string>{p.root, p.root + "/Logs", p.root + "/Route",
                                                 p.root + "/Voice", p.dir.file("elsewhere")}));
    // A file where a folder belongs, and a folder below it: both reported, the rest made.
    test::writeBytes(p.dir.file("file"), "x");
    const auto failed =
        session::makeFolders({p.dir.file("file"), p.dir.file("file/sub"), p.dir.file("ok/deep")});
    ASSERT_EQ(failed.size(), 2u);
    EXPECT_EQ(failed[0].rfind(p.dir.file("file") + ": ", 0), 0u);
    EXPECT_EQ(failed[1].rfind(p.dir.file("file/sub") + ": ", 0), 0u);
    EXPECT_TRUE(fs::is_directory(p.dir.file("ok/deep")));
}

TEST(FirstRun, TheVersionWarningOnlyForAProfileWithSettings)
{
    const auto warned = [](const std::function<void(Profile&)>& before) {
        Profile p;
        before(p);
        p.start(PromptAnswer::Ok);
        const auto texts = p.prompt.texts();
        return std::count(texts.begin(), texts.end(), std::string(settings::kLaterVersionMessage));
    };
    EXPECT_EQ(warned([](Profile&) {}), 0);
    EXPECT_EQ(warned([](Profile& p) {
                  p.settings.writeDefaults();
                  p.store.setDword(settings::kVarnoKey, "Version", 7);
              }),
              1);
    EXPECT_EQ(warned([](Profile& p) { p.settings.writeDefaults(); }), 0);
}

TEST(FirstRun, SpeedUnitsFollowTheLocaleOfMeasurement)
{
    static std::map<std::string, std::string> env;
    const auto read = [](const char* name) -> const char* {
        const auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    };
    env = {{"LANG", "en_GB.UTF-8"}, {"LC_MEASUREMENT", "de_DE.UTF-8"}};
    EXPECT_EQ(session::measurementLocale(read), "de_DE.UTF-8");
    env["LC_ALL"] = "en_US";
    EXPECT_EQ(session::measurementLocale(read), "en_US");
    env = {{"LC_ALL", ""}, {"LC_MEASUREMENT", ""}, {"LANG", "en_GB"}};
    EXPECT_EQ(session::measurementLocale(read), "en_GB");
    env.clear();
    EXPECT_EQ(session::measurementLocale(read), "");

    for (const char* mph : {"en_US", "en_GB.UTF-8", "en_GB@euro", "en_US.ISO-8859-1"})
        EXPECT_EQ(session::speedUnitsForLocale(mph), 0) << mph;
    for (const char* kph :
         {"", "C", "POSIX", "C.UTF-8", "de_DE.UTF-8", "en_AU.UTF-8", "en_IE", "en", "en_GBX"})
        EXPECT_EQ(session::speedUnitsForLocale(kph), 1) << kph;
}

TEST(FirstRun, TheRecommendedProfileSetsTheDrivingValuesAndNothingElse)
{
    Profile p;
    p.settings.writeDefaults();
    p.settings.write(keys::MapScale, 8000u);
    ASSERT_TRUE(session::writeRecommendedProfile(p.settings, "en_GB.UTF-8"));
    EXPECT_EQ(p.settings.read(keys::AidDirection), 1);
    EXPECT_EQ(p.settings.read(keys::AidChime), 1);
    EXPECT_EQ(p.settings.read(keys::AidCoach), 1);
    EXPECT_EQ(p.settings.read(keys::ScaleWithWindow), 1);
    EXPECT_EQ(p.settings.read(keys::ReceiverNotice), 0);
    EXPECT_EQ(p.settings.read(keys::NightPalette), 1);
    EXPECT_EQ(p.settings.read(keys::SpeedUnits), 0);
    EXPECT_EQ(p.store.get(settings::kVarnoKey, "TimeZone"), settings::Value::sz("System"));
    EXPECT_EQ(p.settings.read(keys::MapScale), 8000);
    ASSERT_TRUE(session::writeRecommendedProfile(p.settings, "fr_FR.UTF-8"));
    EXPECT_EQ(p.settings.read(keys::SpeedUnits), 1);

    // New: no settings, or the welcome page still due.
    Profile fresh;
    EXPECT_TRUE(session::isNewProfile(fresh.settings));
    session::Session& s = fresh.start(PromptAnswer::Ok);
    EXPECT_TRUE(session::isNewProfile(fresh.settings));
    EXPECT_FALSE(s.cameraDialogs().aids.on.direction);
    // Applied through the view, the warner follows at once.
    ASSERT_TRUE(s.applyRecommendedProfile("en_US.UTF-8"));
    EXPECT_EQ(s.cameraDialogs().aids.on, (cameras::AidSwitches{true, true, true}));
    fresh.settings.write(keys::FirstRunPending, false);
    EXPECT_FALSE(session::isNewProfile(fresh.settings));
}
