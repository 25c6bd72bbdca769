// Filling an editor without a window, and the per-track summary lines.
#include "trackedit/EditorLoad.h"

#include <fmt/format.h>

namespace varno::trackedit {
namespace {

std::string extentText(const TrackExtent& x)
{
    if (x.empty)
        return "no extent";
    return fmt::format("lat {:.6f}..{:.6f} lon {:.6f}..{:.6f}", x.minLatDeg, x.maxLatDeg, x.minLonDeg,
                       x.maxLonDeg);
}

} // namespace

PromptAnswer YesPrompt::show(const std::string& text, PromptButtons buttons, PromptIcon icon,
                             const std::string& title)
{
    if (buttons == PromptButtons::YesNo)
        return PromptAnswer::Yes;
    next_.show(text, PromptButtons::Ok, icon, title);
    return PromptAnswer::Ok;
}

std::optional<std::string> loadIntoEditor(Editor& editor, const EditorLoadOptions& options)
{
    if (!editor.openMap(options.mapFile) || !editor.store())
        return "The tracks map file was not opened:\n" + options.mapFile;
    std::vector<TrackEntry> extra;
    for (const auto& [file, loader] :
         {std::pair{options.osm, &loadOsm}, std::pair{options.josm, &loadJosmGpx}}) {
        if (!file)
            continue;
        const LoadReport r = loader(*file, extra, {});
        if (r.error)
            return *r.error;
    }
    if (!extra.empty())
        editor.appendEntries(std::move(extra));
    if (options.srtm) {
        std::string message;
        std::optional<SrtmLayer> layer = loadSrtmLayer(*options.srtm, message);
        if (!layer)
            return message.empty() ? "Error: can't load the SRTM file.\n" + *options.srtm : message;
        editor.setSrtm(std::move(layer));
    }
    return std::nullopt;
}

std::vector<std::string> describeTracks(const TrackStore& store)
{
    std::vector<std::string> lines;
    std::size_t listed = 0, loaded = 0, points = 0;
    for (const TrackEntry& e : store.tracks) {
        if (!e.path)
            continue; // display data has no log to describe
        ++listed;
        std::string line = fmt::format("{}\t{}\t{}\t", listed, e.description.value_or("None"), *e.path);
        if (e.loaded) {
            ++loaded;
            points += e.points.size();
            line += fmt::format("{} points\t{}", e.points.size(), extentText(e.extent));
        } else {
            line += "not loaded";
        }
        lines.push_back(std::move(line));
    }
    lines.push_back(fmt::format("total\t{} tracks\t{} loaded\t{} points\t{}", listed, loaded, points,
                                extentText(loadedExtent(store))));
    return lines;
}

} // namespace varno::trackedit
