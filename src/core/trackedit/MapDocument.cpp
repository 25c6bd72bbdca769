// The map document's file commands and the changes of its list of tracks.
#include "trackedit/MapDocument.h"

#include <algorithm>
#include <filesystem>

namespace varno::trackedit {
namespace {

const char* const kUnsavedMap = "You have an unsaved track editor map file.\n\nDo you want to save it ?";
const char* const kNoMapToSave =
    "No file.\n\nYou must open or create a track editor map file before you can save it.";
const char* const kOverwrite = "The file already exists.\n\nDo you want to overwrite it ?";

} // namespace

bool mayOverwrite(const std::string& path, Prompt& prompt)
{
    std::error_code ec;
    return !std::filesystem::exists(path, ec) ||
           prompt.show(kOverwrite, PromptButtons::YesNo) == PromptAnswer::Yes;
}

void MapDocument::create()
{
    store_.emplace();
    ++version_;
}

void MapDocument::close()
{
    store_.reset();
    ++version_;
}

bool MapDocument::open(const std::string& path)
{
    close();
    TrackStore fresh;
    fresh.mapFile = path;
    std::optional<MapFileError> error = readMapFile(path, fresh);
    if (error && error->noMap) {
        prompt_.show(error->message, PromptButtons::Ok, PromptIcon::Error);
        return false;
    }
    // What was read before a fault stays open.
    store_ = std::move(fresh);
    ++version_;
    if (error) {
        const PromptAnswer a = prompt_.show(
            error->message, error->showLine ? PromptButtons::OkCancel : PromptButtons::Ok, PromptIcon::Error);
        if (error->showLine && a == PromptAnswer::Ok)
            prompt_.show(error->lineRead);
        return false;
    }
    return true;
}

MapDocument::Saved MapDocument::save(const PathChooser& choose)
{
    if (!store_) {
        prompt_.show(kNoMapToSave, PromptButtons::Ok, PromptIcon::Error);
        return Saved::Failed;
    }
    if (!store_->mapFile)
        return saveAs(choose);
    if (std::optional<std::string> e = writeMapFile(*store_->mapFile, *store_)) {
        prompt_.show(*e, PromptButtons::Ok, PromptIcon::Error);
        return Saved::Failed;
    }
    store_->dirty = false;
    return Saved::Yes;
}

MapDocument::Saved MapDocument::saveAs(const PathChooser& choose)
{
    if (!store_) {
        prompt_.show(kNoMapToSave, PromptButtons::Ok, PromptIcon::Error);
        return Saved::Failed;
    }
    if (!choose)
        return Saved::Failed;
    const std::optional<std::string> path = choose(store_->mapFile.value_or(std::string()));
    if (!path)
        return Saved::Cancelled;
    return saveTo(*path);
}

MapDocument::Saved MapDocument::saveTo(const std::string& path)
{
    if (!store_) {
        prompt_.show(kNoMapToSave, PromptButtons::Ok, PromptIcon::Error);
        return Saved::Failed;
    }
    if (!mayOverwrite(path, prompt_))
        return Saved::Failed;
    if (std::optional<std::string> e = writeMapFile(path, *store_)) {
        prompt_.show(*e, PromptButtons::Ok, PromptIcon::Error);
        return Saved::Failed;
    }
    store_->mapFile = path;
    store_->dirty = false;
    return Saved::Yes;
}

bool MapDocument::askSaveBeforeFree(const PathChooser& choose)
{
    if (!store_ || !store_->dirty)
        return true;
    // Cancel in the Save As this opens keeps the map file, as a failed save does.
    if (prompt_.show(kUnsavedMap, PromptButtons::YesNo) == PromptAnswer::Yes)
        return save(choose) == Saved::Yes;
    return true;
}

std::vector<std::size_t> MapDocument::listRows() const
{
    std::vector<std::size_t> rows;
    if (!store_)
        return rows;
    for (std::size_t i = 0; i < store_->tracks.size(); ++i)
        if (store_->tracks[i].path || store_->tracks[i].description)
            rows.push_back(i);
    return rows;
}

void MapDocument::insertTrack(std::size_t at, TrackEntry entry)
{
    at = std::min(at, store_->tracks.size());
    store_->tracks.insert(store_->tracks.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
    ++version_;
}

TrackEntry MapDocument::takeTrack(std::size_t at)
{
    if (at >= store_->tracks.size())
        return {};
    TrackEntry e = std::move(store_->tracks[at]);
    store_->tracks.erase(store_->tracks.begin() + static_cast<std::ptrdiff_t>(at));
    ++version_;
    return e;
}

void MapDocument::setDescription(std::optional<std::string> text)
{
    store_->description = std::move(text);
}

void MapDocument::setDirty(bool dirty)
{
    if (store_)
        store_->dirty = dirty;
}

std::vector<std::string> MapDocument::applyVisibility(const std::vector<bool>& visibleRows)
{
    std::vector<std::string> problems;
    if (!store_)
        return problems;
    const std::vector<std::size_t> rows = listRows();
    std::string why;
    for (std::size_t r = 0; r < rows.size() && r < visibleRows.size(); ++r) {
        TrackEntry& e = store_->tracks[rows[r]];
        if (!visibleRows[r]) {
            e.loaded = false;
            // A log is read again when it is shown again; OSM and GPX data have
            // nothing to be read again from, so they keep their points hidden.
            if (e.path) {
                e.points.clear();
                e.points.shrink_to_fit();
                e.updateExtent();
            }
        } else if (!e.path) {
            e.loaded = !e.points.empty();
        } else if (!e.loaded && !loadTrack(*store_, e, why)) {
            problems.push_back(why);
        }
    }
    ++version_;
    return problems;
}

std::vector<std::string> MapDocument::loadAll()
{
    if (!store_)
        return {};
    std::vector<std::string> problems = loadAllTracks(*store_);
    ++version_;
    return problems;
}

void MapDocument::appendEntries(std::vector<TrackEntry> entries)
{
    if (!store_)
        return;
    for (TrackEntry& e : entries) {
        if (e.extent.empty)
            e.updateExtent();
        store_->tracks.push_back(std::move(e));
    }
    ++version_;
}

} // namespace varno::trackedit
