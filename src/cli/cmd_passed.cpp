// varno-cli passed: the cameras a logged drive passed, as the Passed Cameras list shows them.
#include <cstdio>
#include <optional>
#include <string>

#include <fmt/format.h>

#include "Cli.h"
#include "Paths.h"
#include "base/DataPath.h"
#include "base/InputFile.h"
#include "cameras/CameraFile.h"
#include "cameras/PassedCameras.h"
#include "convert/Convert.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"

namespace varno::cli {
namespace {

void usage(std::FILE* f)
{
    std::fprintf(
        f, "usage: varno-cli passed [--cameras FILE] [--nearest M] [--farthest M] [--copy [--distances]] "
           "LOG|-\n");
}

} // namespace

int cmdPassed(Context& ctx, const Args& args)
{
    std::string cameraPath, logPath;
    cameras::PassedOptions options;
    bool copy = false, distances = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--cameras" && hasValue)
            cameraPath = args[++i];
        else if (a == "--nearest" && hasValue && readNumber(args[i + 1], options.nearestM))
            ++i;
        else if (a == "--farthest" && hasValue && readNumber(args[i + 1], options.farthestM))
            ++i;
        else if (a == "--copy")
            copy = true;
        else if (a == "--distances")
            distances = true;
        else if (logPath.empty() && (a == "-" || a.empty() || a[0] != '-'))
            logPath = a;
        else {
            usage(ctx.err);
            return kExitUsage;
        }
    }
    if (logPath.empty()) {
        usage(ctx.err);
        return kExitUsage;
    }
    if (options.farthestM < options.nearestM) {
        ctx.prompt->message(cameras::kNearestAboveFarthest);
        return kExitUsage;
    }
    if (options.farthestM >= cameras::kLargeFarthestM &&
        ctx.prompt->show(cameras::kLargeFarthestQuestion, PromptButtons::YesNo) != PromptAnswer::Yes)
        return kExitFailure;

    settings::SettingsStore store(ctx.settingsPath);
    settings::Settings settings(store, *ctx.prompt);
    options.speedUnits = static_cast<int>(settings.read(settings::keys::SpeedUnits));
    // Without --cameras, the camera file the warner uses.
    std::optional<std::string> cameraFilePath = cameraPath;
    if (cameraPath.empty()) {
        cameraFilePath = settings.read(settings::keys::CameraFile);
        if (cameraFilePath)
            cameraFilePath = mapDataPath(*cameraFilePath, platform::dataRoot());
    }
    std::string message;
    std::optional<cameras::CameraFile> cameraFile = cameras::passedCameraFile(cameraFilePath, message);
    if (!cameraFile) {
        ctx.prompt->message(message);
        return kExitFailure;
    }

    FileHandle owned;
    std::FILE* log = stdin;
    if (logPath != "-") {
        std::string refusal;
        owned = openTextForReading(logPath, &refusal);
        if (!owned) {
            ctx.prompt->message("Error: Unable to open the file.\n" + nameWithRefusal(logPath, refusal));
            return kExitFailure;
        }
        log = owned.get();
    }
    varno::LineInput input(log, 0);
    varno::Progress progress;
    cameras::PassedList list;
    const varno::Report report = cameras::passedCameras(input, *cameraFile, options, list, progress);
    if (!report.ok()) {
        ctx.prompt->message(report.message);
        return kExitFailure;
    }
    if (copy) {
        std::fputs(list.clipboardText(distances).c_str(), ctx.out);
    } else {
        for (const auto& row : list.rows())
            std::fprintf(ctx.out, "%s\t%s\t%s\t%s\n", row[0].c_str(), row[1].c_str(), row[2].c_str(),
                         row[3].c_str());
    }
    return kExitOk;
}

} // namespace varno::cli
