// What a first start sets up beyond the settings: the data folders the settings name, and the
// profile recommended for driving.
#include "session/FirstRun.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/DataPath.h"
#include "base/TimeZone.h"

namespace varno::session {

std::vector<std::string> dataFolders(settings::Settings& s, std::string_view dataRoot)
{
    namespace keys = settings::keys;
    std::vector<std::string> folders{std::string(dataRoot)};
    const auto add = [&](const std::optional<std::string>& stored) {
        if (!stored || stored->empty())
            return;
        std::string used = mapDataPath(*stored, dataRoot);
        while (used.size() > 1 && used.back() == '/')
            used.pop_back();
        if (std::find(folders.begin(), folders.end(), used) == folders.end())
            folders.push_back(std::move(used));
    };
    add(s.read(keys::LogFolder));
    add(s.read(keys::RouteFolder));
    add(s.read(keys::VoiceFolder));
    add(s.read(keys::POIFolder));
    add(s.read(keys::ImagesFolder));
    return folders;
}

std::vector<std::string> makeFolders(const std::vector<std::string>& folders)
{
    std::vector<std::string> failed;
    for (const std::string& folder : folders) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        if (ec) {
            failed.push_back(folder + ": " + ec.message());
            continue;
        }
        // create_directories is content with a file of that name in the way.
        if (!std::filesystem::is_directory(folder, ec))
            failed.push_back(folder + ": " + std::make_error_code(std::errc::not_a_directory).message());
    }
    return failed;
}

std::string measurementLocale(EnvironmentReader read)
{
    for (const char* name : {"LC_ALL", "LC_MEASUREMENT", "LANG"})
        if (const char* value = read(name); value && *value)
            return value;
    return {};
}

std::string measurementLocale()
{
    return measurementLocale([](const char* name) -> const char* { return std::getenv(name); });
}

int speedUnitsForLocale(std::string_view locale)
{
    // The language and territory end where the codeset or the modifier starts.
    const std::string_view territory = locale.substr(0, locale.find_first_of(".@"));
    return territory == "en_US" || territory == "en_GB" ? 0 : 1;
}

bool writeRecommendedProfile(settings::Settings& s, std::string_view locale)
{
    namespace keys = settings::keys;
    return s.write(keys::AidDirection, true) && s.write(keys::AidChime, true) &&
           s.write(keys::AidCoach, true) && s.write(keys::ScaleWithWindow, true) &&
           s.write(keys::SpeedUnits, static_cast<std::uint32_t>(speedUnitsForLocale(locale))) &&
           s.write(keys::TimeZone, kSystemTimeZone) && s.write(keys::NightPalette, true);
}

bool isNewProfile(settings::Settings& s)
{
    return !s.keyExists() || s.read(settings::keys::FirstRunPending) == 1;
}

} // namespace varno::session
