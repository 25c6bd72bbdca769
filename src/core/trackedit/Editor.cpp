// The track editor's commands, put together from its document, edited track,
// pointer tools and undo history, and the view they share.
#include "trackedit/Editor.h"

#include <algorithm>

#include <fmt/printf.h>

#include "base/LineReader.h"

namespace varno::trackedit {
namespace {

const char* const kCloseEdit = "Close previous track edit ?";
const char* const kEditedUnsaved =
    "The marks of the track you are editing have changed since it was saved.\n\nClose it anyway ?";
const char* const kNoMapForEdit =
    "You must open or create a new track editor map file\nand have a track open for edit\nbefore "
    "you can ";

int saveResult(MapDocument::Saved s)
{
    return s == MapDocument::Saved::Failed ? -1 : 0;
}

} // namespace

Editor::Editor(Prompt& prompt) : prompt_(prompt), map_(prompt)
{
    // Until the first fit: central Europe at a scale that shows a town.
    proj_.leftLonDeg = 13.0;
    proj_.topLatDeg = 53.7;
    proj_.scale = 0.05;
}

// ---------------------------------------------------------------- map file

bool Editor::newMap()
{
    const TrackStore* store = map_.store();
    if (store && !store->tracks.empty()) {
        if (prompt_.show("You already have a tracks map file open.\n\nClick Yes if you want to close the "
                         "current tracks\nmap file and create a new map file.\n",
                         PromptButtons::YesNo) == PromptAnswer::No)
            return true;
        if (store->dirty &&
            prompt_.show(
                "The current tracks map file has not been saved.\n\nClick Yes to if you want to save "
                "the current tracks\nmap file before closing it.\n",
                PromptButtons::YesNo) == PromptAnswer::Yes &&
            map_.save(chooseMapPath) != MapDocument::Saved::Yes)
            return true;
    }
    if (!askDiscardEdited())
        return map_.store() != nullptr;
    closeEdited();
    marked_.reset();
    map_.create();
    history_.clear();
    redraw();
    return true;
}

bool Editor::openMap(const std::string& path)
{
    if (!map_.askSaveBeforeFree(chooseMapPath) || !askDiscardEdited())
        return false;
    map_.close();
    closeEdited();
    history_.clear();
    const bool read = map_.open(path);
    if (!map_.store())
        return false;
    marked_.reset();
    redraw();
    if (!read)
        return false;
    if (prompt_.show("Load and display all tracks ?", PromptButtons::YesNo) == PromptAnswer::Yes)
        loadAll();
    return true;
}

int Editor::saveMap()
{
    return saveResult(map_.save(chooseMapPath));
}

int Editor::saveMapAs()
{
    return saveResult(map_.saveAs(chooseMapPath));
}

int Editor::saveMapTo(const std::string& path)
{
    return saveResult(map_.saveTo(path));
}

bool Editor::closeMap()
{
    // Nothing goes unasked: unsaved marks, then tracks added since the last save.
    if (!askDiscardEdited() || !map_.askSaveBeforeFree(chooseMapPath))
        return false;
    map_.close();
    closeEdited();
    history_.clear();
    marked_.reset();
    redraw();
    return true;
}

bool Editor::closeOnShutdown()
{
    return askDiscardEdited() && map_.askSaveBeforeFree(chooseMapPath);
}

void Editor::setDescription(const std::string& text)
{
    const TrackStore* store = map_.store();
    if (!store)
        return;
    std::optional<std::string> next;
    if (!text.empty())
        next = std::string(stripLineEnd(std::string_view(text)));
    if (next == store->description)
        return;
    perform(changeDescription(store->description, std::move(next)));
}

bool Editor::addTrack(const std::string& description, const std::string& path)
{
    const TrackStore* store = map_.store();
    if (!store || path.empty())
        return false;
    TrackEntry e;
    e.path = path;
    if (!description.empty())
        e.description = description;
    perform(trackedit::addTrack(store->tracks.size(), std::move(e)));
    return true;
}

std::vector<std::size_t> Editor::listRows() const
{
    return map_.listRows();
}

bool Editor::removeTrackRow(std::size_t row)
{
    const std::vector<std::size_t> rows = map_.listRows();
    if (row >= rows.size())
        return false;
    perform(removeTrack(rows[row]));
    return true;
}

void Editor::applyVisibility(const std::vector<bool>& visibleRows)
{
    if (!map_.store())
        return;
    for (const std::string& p : map_.applyVisibility(visibleRows))
        prompt_.show(p, PromptButtons::Ok, PromptIcon::Warning);
    fitAllTracks();
}

void Editor::loadAll()
{
    if (!map_.store())
        return;
    if (marked_.track()) {
        if (prompt_.show(kCloseEdit, PromptButtons::YesNo) == PromptAnswer::No || !askDiscardEdited())
            return;
        closeEdited();
        marked_.reset();
    }
    const std::vector<std::string> problems = map_.loadAll();
    if (!problems.empty()) {
        std::string text = "These tracks could not be loaded:";
        for (const std::string& p : problems)
            text += "\n\n" + p;
        prompt_.show(text, PromptButtons::Ok, PromptIcon::Warning);
    }
    fitAllTracks();
}

void Editor::appendEntries(std::vector<TrackEntry> entries)
{
    if (!map_.store())
        return;
    map_.appendEntries(std::move(entries));
    fitAllTracks();
}

// ---------------------------------------------------------------- edited track

void Editor::closeEdited()
{
    marked_.close();
    // The mark moves belong to the track they moved on.
    history_.dropMarkMoves();
}

bool Editor::askDiscardEdited()
{
    return !marked_.track() || !marked_.changed() ||
           prompt_.show(kEditedUnsaved, PromptButtons::YesNo) == PromptAnswer::Yes;
}

bool Editor::beginEditTrack()
{
    if (!map_.store()) {
        prompt_.show(
            "You must open or create a new track editor map file\nbefore you can choose a track to edit.");
        return false;
    }
    if (marked_.track()) {
        if (prompt_.show(kCloseEdit, PromptButtons::YesNo) == PromptAnswer::No || !askDiscardEdited())
            return false;
        // The marks go with the track, also when the chooser is cancelled.
        closeEdited();
        marked_.reset();
    }
    return true;
}

bool Editor::openEditedTrack(const std::string& description, const std::string& path)
{
    closeEdited();
    if (path.empty()) {
        marked_.reset();
        redraw();
        return false;
    }
    if (!marked_.open(description, path, prompt_))
        return false;
    // A log without positions has no extent to fit: the view stays where it is
    // instead of turning to the far side of the world.
    if (!marked_.track()->entry.points.empty())
        fitTo({&marked_.track()->entry.points});
    redraw();
    return true;
}

bool Editor::canSaveEditedTrack()
{
    if (!map_.store()) {
        prompt_.show(std::string(kNoMapForEdit) + "save the track.");
        return false;
    }
    const EditedTrack* t = marked_.track();
    if (!t) {
        prompt_.show("Error: You must have an NMEA track open\nbefore you can save it.");
        return false;
    }
    if (!t->entry.path) {
        prompt_.show("Error: Unknown source NMEA track path/name\nor you do not have a NMEA track open.");
        return false;
    }
    return true;
}

bool Editor::saveEditedTrackTo(const std::string& outPath)
{
    return canSaveEditedTrack() && marked_.saveStretchTo(outPath, prompt_);
}

bool Editor::closeEditedTrackCommand()
{
    if (!map_.store()) {
        prompt_.show(std::string(kNoMapForEdit) + "close the track.");
        return false;
    }
    if (!askDiscardEdited())
        return false;
    closeEdited();
    marked_.reset();
    fitAllTracks();
    redraw();
    return true;
}

// ---------------------------------------------------------------- undo

void Editor::perform(std::unique_ptr<EditCommand> command)
{
    EditTarget target{map_, marked_};
    history_.perform(std::move(command), target);
    redraw();
}

bool Editor::undo()
{
    EditTarget target{map_, marked_};
    if (!map_.store() || !history_.undo(target))
        return false;
    redraw();
    return true;
}

bool Editor::redo()
{
    EditTarget target{map_, marked_};
    if (!map_.store() || !history_.redo(target))
        return false;
    redraw();
    return true;
}

// ---------------------------------------------------------------- the view

void Editor::setOrigin(double leftLonDeg, double topLatDeg, double scale)
{
    proj_.leftLonDeg = leftLonDeg;
    proj_.topLatDeg = topLatDeg;
    proj_.scale = scale;
    redraw();
}

void Editor::fitTo(const std::vector<const std::vector<TrackPoint>*>& tracks)
{
    double maxLon = -179.9, minLon = 179.9, maxLat = -89.9, minLat = 89.9;
    for (const std::vector<TrackPoint>* t : tracks)
        for (const TrackPoint& p : *t) {
            maxLon = std::max(maxLon, p.lonDeg);
            minLon = std::min(minLon, p.lonDeg);
            maxLat = std::max(maxLat, p.latDeg);
            minLat = std::min(minLat, p.latDeg);
        }
    proj_.leftLonDeg = minLon - (maxLon - minLon) / 10.0;
    proj_.topLatDeg = maxLat + (maxLat - minLat) / 10.0;
    double span = maxLat - minLat;
    if (maxLon - minLon > span)
        span = maxLon - minLon;
    double scale = span > 0.0 ? 0.008 / span : 0.005;
    proj_.scale = std::max(scale, 0.0001);
}

void Editor::fitAllTracks()
{
    const TrackStore* store = map_.store();
    if (!store)
        return;
    std::vector<const std::vector<TrackPoint>*> tracks;
    for (const TrackEntry& e : store->tracks)
        if (e.loaded && !e.points.empty())
            tracks.push_back(&e.points);
    // Nothing loaded: the view stays where it is rather than jumping off the map.
    if (!tracks.empty())
        fitTo(tracks);
    if (location_.latDeg == 0.0 && location_.lonDeg == 0.0)
        location_ = {proj_.topLatDeg - 0.1, proj_.leftLonDeg + 0.1};
    redraw();
}

void Editor::setFix(const gps::Fix& fix)
{
    if (fix.position)
        location_ = {fix.position.latDeg(), fix.position.lonDeg()};
}

bool Editor::onPointer(const views::PointerEvent& e)
{
    const bool leftPress =
        e.kind == views::PointerEvent::Kind::Press && e.button == views::PointerEvent::Button::Left;
    const EditorButton hit = leftPress ? hitButton(e.x, e.y, proj_.width, proj_.height) : EditorButton::None;
    if (hit == EditorButton::TopBarGap || hit == EditorButton::BottomBarGap) {
        prompt_.show(fmt::sprintf("%s button bar x %d, y %d",
                                  hit == EditorButton::TopBarGap ? "Top" : "Bottom", e.x, e.y));
        return false;
    }
    ToolContext context{proj_, srtm_, marked_, [this](Marks m) { perform(moveMarks(marked_.marks(), m)); }};
    for (PointerTool* tool : std::initializer_list<PointerTool*>{&zoomTool_, &panTool_, &markTool_}) {
        if (!tool->onPointer(e, hit, context))
            continue;
        // The last button pressed is drawn pressed until the next press.
        if (leftPress)
            pressed_ = hit;
        redraw();
        return true;
    }
    return false;
}

bool Editor::paintDue()
{
    if (!showLocation)
        return true;
    if (paintSkip_ < 1) {
        paintSkip_ = static_cast<int>(std::clamp(refreshRate / 9600, 0L, 1000000L));
        return true;
    }
    --paintSkip_;
    return false;
}

void Editor::paint(views::Scene& scene, int width, int height)
{
    if (paintDue() || last_.items.empty() || width != proj_.width || height != proj_.height) {
        const std::size_t from = scene.items.size();
        buildScene(scene, width, height);
        if (showLocation)
            last_.items.assign(scene.items.begin() + static_cast<std::ptrdiff_t>(from), scene.items.end());
        else
            last_.items.clear();
        return;
    }
    scene.items.insert(scene.items.end(), last_.items.begin(), last_.items.end());
}

} // namespace varno::trackedit
