// varno-cli tracks: what a track editor map file holds, and the editor's picture of it.
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

#include "Cli.h"
#include "Printable.h"
#include "trackedit/EditorLoad.h"

#ifndef VARNO_RENDER_HELPER
#define VARNO_RENDER_HELPER ""
#endif

namespace varno::cli {
namespace {

constexpr const char* kUsage =
    "usage: varno-cli tracks info MAPFILE\n"
    "       varno-cli tracks render MAPFILE [--osm FILE] [--josm FILE] [--srtm FILE] "
    "--png OUT [--size WxH] [--zoom N] [--centre LAT,LON] [--show names,ref,icons,nodes]\n";

int info(Context& ctx, const std::string& mapFile)
{
    trackedit::YesPrompt yes(*ctx.prompt);
    trackedit::Editor editor(yes);
    trackedit::EditorLoadOptions options;
    options.mapFile = mapFile;
    if (const auto error = trackedit::loadIntoEditor(editor, options)) {
        std::fprintf(ctx.err, "%s\n", printable(*error).c_str());
        return kExitUsage;
    }
    for (const std::string& line : trackedit::describeTracks(*editor.store()))
        std::fprintf(ctx.out, "%s\n", printable(line).c_str());
    return kExitOk;
}

// The picture is painted by the window's painter, which lives in a Qt program
// of its own beside this one, so varno-cli itself stays free of Qt.
std::string renderHelper()
{
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        std::string dir(self, static_cast<std::size_t>(n));
        dir.erase(dir.rfind('/') + 1);
        const std::string beside = dir + "varno-render-tracks";
        if (::access(beside.c_str(), X_OK) == 0)
            return beside;
    }
    const std::string built = VARNO_RENDER_HELPER;
    if (!built.empty() && ::access(built.c_str(), X_OK) == 0)
        return built;
    return {};
}

int render(Context& ctx, const Args& args)
{
    const std::string helper = renderHelper();
    if (helper.empty()) {
        std::fprintf(ctx.err,
                     "varno-cli tracks render: varno-render-tracks was not found (it is built with the "
                     "window)\n");
        return kExitFailure;
    }
    std::fflush(ctx.out);
    std::fflush(ctx.err);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(helper.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(helper.c_str(), argv.data());
    std::fprintf(ctx.err, "varno-cli tracks render: cannot run %s\n", helper.c_str());
    return kExitFailure;
}

} // namespace

int cmdTracks(Context& ctx, const Args& args)
{
    if (args.size() == 2 && args[0] == "info" && !args[1].starts_with("-"))
        return info(ctx, args[1]);
    if (args.size() >= 2 && args[0] == "render")
        return render(ctx, Args(args.begin() + 1, args.end()));
    std::fputs(kUsage, ctx.err);
    return kExitUsage;
}

} // namespace varno::cli
