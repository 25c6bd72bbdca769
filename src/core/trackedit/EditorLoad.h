// Filling an editor without a window: a map file with its tracks, and the OSM,
// GPX and SRTM backgrounds, as the render and info commands need them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "trackedit/Editor.h"

namespace varno::trackedit {

// Passes the messages on and answers every question Yes: load all tracks,
// close what is open.
class YesPrompt final : public Prompt {
public:
    explicit YesPrompt(Prompt& next) : next_(next) {}
    PromptAnswer show(const std::string& text, PromptButtons buttons, PromptIcon icon,
                      const std::string& title) override;

private:
    Prompt& next_;
};

struct EditorLoadOptions {
    std::string mapFile;
    std::optional<std::string> osm;
    std::optional<std::string> josm;
    std::optional<std::string> srtm;
};

// Opens the map file with every track loaded, adds the backgrounds and fits the
// view to it all. The error naming the file that stopped it, or nullopt; the
// editor's prompt has shown what could not be loaded along the way.
std::optional<std::string> loadIntoEditor(Editor& editor, const EditorLoadOptions& options);

// One line per listed track of a loaded store (points and extent, or why it
// is not loaded), then a total line.
std::vector<std::string> describeTracks(const TrackStore& store);

} // namespace varno::trackedit
