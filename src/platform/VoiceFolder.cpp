// The default voice files, copied into an empty voice folder on the program's first start.
#include "VoiceFolder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "Paths.h"
#include "base/AsciiCase.h"

#ifndef VARNO_BUILD_VOICE_DIR
#define VARNO_BUILD_VOICE_DIR ""
#endif

namespace varno::platform {
namespace {

namespace fs = std::filesystem;

bool isWav(const fs::directory_entry& e)
{
    std::error_code ec;
    if (!e.is_regular_file(ec))
        return false;
    return equalsNoCase(e.path().extension().string(), ".wav");
}

// The WAV files directly in folder (none when it cannot be listed).
std::vector<fs::path> wavFiles(const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec))
        if (isWav(*it))
            files.push_back(it->path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string programFolder()
{
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.parent_path().string();
}

} // namespace

std::string defaultVoiceSource()
{
    if (std::string bin = programFolder(); !bin.empty()) {
        fs::path installed = fs::path(bin) / ".." / "share" / "varno" / "voice";
        std::error_code ec;
        if (fs::is_directory(installed, ec))
            return installed.lexically_normal().string();
    }
    return VARNO_BUILD_VOICE_DIR;
}

std::string voiceFolderPath(settings::Settings& settings)
{
    const auto& key = settings::keys::VoiceFolder;
    return usePath(settings.peek(key).value_or(std::string(key.row().defaultText)));
}

bool installDefaultVoices(const std::string& voiceFolder, const std::string& sourceFolder)
{
    if (voiceFolder.empty())
        return false;
    const fs::path target(voiceFolder);
    if (!wavFiles(target).empty())
        return true;
    const std::vector<fs::path> sources =
        sourceFolder.empty() ? std::vector<fs::path>{} : wavFiles(sourceFolder);
    if (sources.empty())
        return false;

    std::error_code ec;
    fs::create_directories(target, ec);
    if (ec)
        return false;
    const std::string partSuffix = ".part" + std::to_string(getpid());
    for (const fs::path& from : sources) {
        const fs::path to = target / from.filename();
        const fs::path part = target / (from.filename().string() + partSuffix);
        // Whatever already goes by that name (a folder, a broken link) stays.
        if (fs::exists(fs::symlink_status(to, ec)))
            continue;
        if (!fs::copy_file(from, part, fs::copy_options::overwrite_existing, ec)) {
            fs::remove(part, ec);
            return false;
        }
        fs::rename(part, to, ec);
        if (ec) {
            fs::remove(part, ec);
            return false;
        }
    }
    return true;
}

bool installDefaultVoices(settings::Settings& settings)
{
    return installDefaultVoices(voiceFolderPath(settings), defaultVoiceSource());
}

} // namespace varno::platform
