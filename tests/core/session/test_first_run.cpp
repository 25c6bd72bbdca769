// The first start: the data folders the settings name, and the welcome page due only on a fresh profile.
#include <filesystem>

#include <gtest/gtest.h>

#include "base/Clock.h"
#include "core/base/ScratchFiles.h"
#include "gps/AbsentSerialPort.h"
#include "session/FirstRun.h"
#include "session/Session.h"
#include "settings/SettingsStore.h"
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
        prompt.script({PromptAnswer::Ok, answer});
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
