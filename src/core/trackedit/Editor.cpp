// The track editor's commands, mouse editing and undo history.
#include "trackedit/Editor.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include <fmt/printf.h>

#include "base/AsciiCase.h"
#include "base/AtomicFile.h"
#include "base/InputFile.h"
#include "base/LineReader.h"

namespace varno::trackedit {
namespace {

constexpr double kDegToRad = 0.017453292519943295;

const char* const kUnsavedMap = "You have an unsaved track editor map file.\n\nDo you want to save it ?";
const char* const kNoMapToSave =
    "No file.\n\nYou must open or create a track editor map file before you can save it.";
const char* const kCloseEdit = "Close previous track edit ?";
const char* const kEditedUnsaved =
    "The marks of the track you are editing have changed since it was saved.\n\nClose it anyway ?";
const char* const kOverwrite = "The file already exists.\n\nDo you want to overwrite it ?";

bool fileExists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

bool inRange(int v, int lo, int hi)
{
    return lo <= v && v <= hi;
}

} // namespace

EditorButton hitButton(int x, int y, int width, int height)
{
    const int H = height;
    (void)width;
    if (86 <= y && y < 106)
        return EditorButton::TrackBar;
    if (112 <= y && y < 129) {
        struct Span {
            int lo, hi;
            EditorButton b;
        };
        static constexpr Span kTop[] = {
            {250, 272, EditorButton::StartMinus10}, {277, 300, EditorButton::StartMinus1},
            {309, 331, EditorButton::StartPlus1},   {337, 359, EditorButton::StartPlus10},
            {400, 421, EditorButton::EndMinus10},   {427, 450, EditorButton::EndMinus1},
            {458, 481, EditorButton::EndPlus1},     {486, 507, EditorButton::EndPlus10},
        };
        for (const Span& s : kTop)
            if (inRange(x, s.lo, s.hi))
                return s.b;
        return EditorButton::TopBarGap;
    }
    if (H - 25 < y && y < H - 3) {
        if (inRange(x, 5, 27))
            return EditorButton::ZoomOut;
        if (inRange(x, 33, 57))
            return EditorButton::ZoomIn;
        return EditorButton::BottomBarGap;
    }
    if (H - 106 < y && y < H - 36) {
        if (inRange(x, 7, 33) && y < H - 90)
            return EditorButton::North;
        if (inRange(x, 7, 33) && H - 90 < y && y < H - 76)
            return EditorButton::South;
        if (inRange(x, 5, 18) && H - 64 < y && y < H - 28)
            return EditorButton::West;
        if (inRange(x, 22, 34) && H - 64 < y && y < H - 28)
            return EditorButton::East;
    }
    return EditorButton::None;
}

Editor::Editor(Prompt& prompt) : prompt_(prompt)
{
    // Until the first fit: central Europe at a scale that shows a town.
    proj_.leftLonDeg = 13.0;
    proj_.topLatDeg = 53.7;
    proj_.scale = 0.05;
}

// ---------------------------------------------------------------- map file

bool Editor::askSaveBeforeFree()
{
    if (!store_ || !store_->dirty)
        return true;
    if (prompt_.show(kUnsavedMap, PromptButtons::YesNo) == PromptAnswer::Yes)
        return saveMap() == 0;
    return true;
}

bool Editor::newMap()
{
    if (store_ && !store_->tracks.empty()) {
        if (prompt_.show("You already have a tracks map file open.\n\nClick Yes if you want to close the "
                         "current tracks\nmap file and create a new map file.\n",
                         PromptButtons::YesNo) == PromptAnswer::No)
            return true;
        if (store_->dirty &&
            prompt_.show(
                "The current tracks map file has not been saved.\n\nClick Yes to if you want to save "
                "the current tracks\nmap file before closing it.\n",
                PromptButtons::YesNo) == PromptAnswer::Yes &&
            saveMap() != 0)
            return true;
    }
    if (!askDiscardEdited())
        return store_.has_value();
    closeEdited();
    resetMarkers();
    store_.emplace();
    tracksChanged();
    clearHistory();
    redraw();
    return true;
}

bool Editor::openMap(const std::string& path)
{
    if (!askSaveBeforeFree() || !askDiscardEdited())
        return false;
    store_.reset();
    closeEdited();
    clearHistory();
    TrackStore fresh;
    fresh.mapFile = path;
    std::optional<MapFileError> error = readMapFile(path, fresh);
    if (error && error->notOpened) {
        prompt_.show(error->message, PromptButtons::Ok, PromptIcon::Error);
        return false;
    }
    store_ = std::move(fresh);
    tracksChanged();
    resetMarkers();
    redraw();
    if (error) {
        const PromptAnswer a = prompt_.show(
            error->message, error->showLine ? PromptButtons::OkCancel : PromptButtons::Ok, PromptIcon::Error);
        if (error->showLine && a == PromptAnswer::Ok)
            prompt_.show(error->lineRead);
        return false;
    }
    if (prompt_.show("Load and display all tracks ?", PromptButtons::YesNo) == PromptAnswer::Yes)
        loadAll();
    return true;
}

int Editor::saveMap()
{
    if (!store_) {
        prompt_.show(kNoMapToSave, PromptButtons::Ok, PromptIcon::Error);
        return -1;
    }
    if (!store_->mapFile)
        return saveMapAs();
    if (std::optional<std::string> e = writeMapFile(*store_->mapFile, *store_)) {
        prompt_.show(*e, PromptButtons::Ok, PromptIcon::Error);
        return -1;
    }
    store_->dirty = false;
    return 0;
}

int Editor::saveMapAs()
{
    if (!store_) {
        prompt_.show(kNoMapToSave, PromptButtons::Ok, PromptIcon::Error);
        return -1;
    }
    if (!chooseMapPath)
        return -1;
    const std::optional<std::string> path = chooseMapPath(store_->mapFile.value_or(std::string()));
    if (!path)
        return 0;
    return saveMapTo(*path);
}

int Editor::saveMapTo(const std::string& path)
{
    if (!store_) {
        prompt_.show(kNoMapToSave, PromptButtons::Ok, PromptIcon::Error);
        return -1;
    }
    if (fileExists(path) && prompt_.show(kOverwrite, PromptButtons::YesNo) == PromptAnswer::No)
        return -1;
    if (std::optional<std::string> e = writeMapFile(path, *store_)) {
        prompt_.show(*e, PromptButtons::Ok, PromptIcon::Error);
        return -1;
    }
    store_->mapFile = path;
    store_->dirty = false;
    return 0;
}

bool Editor::closeMap()
{
    // Nothing goes unasked: unsaved marks, then tracks added since the last save.
    if (!askDiscardEdited() || !askSaveBeforeFree())
        return false;
    store_.reset();
    tracksChanged();
    closeEdited();
    clearHistory();
    resetMarkers();
    redraw();
    return true;
}

bool Editor::closeOnShutdown()
{
    if (!askDiscardEdited())
        return false;
    if (store_ && store_->dirty && prompt_.show(kUnsavedMap, PromptButtons::YesNo) == PromptAnswer::Yes &&
        saveMap() != 0)
        return false;
    return true;
}

void Editor::setDescription(const std::string& text)
{
    if (!store_)
        return;
    std::optional<std::string> next;
    if (!text.empty())
        next = std::string(stripLineEnd(std::string_view(text)));
    if (next == store_->description)
        return;
    Step s;
    s.kind = Step::Kind::Description;
    s.oldText = store_->description;
    s.newText = next;
    record(std::move(s));
}

bool Editor::addTrack(const std::string& description, const std::string& path)
{
    if (!store_ || path.empty())
        return false;
    Step s;
    s.kind = Step::Kind::AddTrack;
    s.index = store_->tracks.size();
    s.entry.path = path;
    if (!description.empty())
        s.entry.description = description;
    record(std::move(s));
    return true;
}

std::vector<std::size_t> Editor::listRows() const
{
    std::vector<std::size_t> rows;
    if (!store_)
        return rows;
    for (std::size_t i = 0; i < store_->tracks.size(); ++i)
        if (store_->tracks[i].path || store_->tracks[i].description)
            rows.push_back(i);
    return rows;
}

bool Editor::removeTrackRow(std::size_t row)
{
    const std::vector<std::size_t> rows = listRows();
    if (row >= rows.size())
        return false;
    Step s;
    s.kind = Step::Kind::RemoveTrack;
    s.index = rows[row];
    record(std::move(s));
    return true;
}

void Editor::applyVisibility(const std::vector<bool>& visibleRows)
{
    if (!store_)
        return;
    const std::vector<std::size_t> rows = listRows();
    std::vector<std::string> problems;
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
    for (const std::string& p : problems)
        prompt_.show(p, PromptButtons::Ok, PromptIcon::Warning);
    tracksChanged();
    fitAllTracks();
}

void Editor::loadAll()
{
    if (!store_)
        return;
    if (edited_) {
        if (prompt_.show(kCloseEdit, PromptButtons::YesNo) == PromptAnswer::No || !askDiscardEdited())
            return;
        closeEdited();
        resetMarkers();
    }
    std::vector<std::string> problems = loadAllTracks(*store_);
    tracksChanged();
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
    if (!store_)
        return;
    for (TrackEntry& e : entries) {
        if (e.extent.empty)
            e.updateExtent();
        store_->tracks.push_back(std::move(e));
    }
    tracksChanged();
    fitAllTracks();
}

// ---------------------------------------------------------------- edited track

const TrackPoint* Editor::pointAt(long index) const
{
    if (!edited_ || index < 0 || index >= static_cast<long>(edited_->entry.points.size()))
        return nullptr;
    return &edited_->entry.points[static_cast<std::size_t>(index)];
}

void Editor::resetMarkers()
{
    start_ = kNoStart;
    end_ = kNoEnd;
    count_ = kNoCount;
    startPos_ = {};
    endPos_ = {};
}

void Editor::closeEdited()
{
    edited_.reset();
    editedChanged_ = false;
    // The marker steps belong to the track they moved on.
    std::erase_if(done_, [](const Step& s) { return s.kind == Step::Kind::Markers; });
    std::erase_if(undone_, [](const Step& s) { return s.kind == Step::Kind::Markers; });
}

bool Editor::askDiscardEdited()
{
    return !edited_ || !editedChanged_ ||
           prompt_.show(kEditedUnsaved, PromptButtons::YesNo) == PromptAnswer::Yes;
}

bool Editor::beginEditTrack()
{
    if (!store_) {
        prompt_.show(
            "You must open or create a new track editor map file\nbefore you can choose a track to edit.");
        return false;
    }
    if (edited_) {
        if (prompt_.show(kCloseEdit, PromptButtons::YesNo) == PromptAnswer::No || !askDiscardEdited())
            return false;
        // The marks go with the track, also when the chooser is cancelled.
        closeEdited();
        resetMarkers();
    }
    return true;
}

bool Editor::openEditedTrack(const std::string& description, const std::string& path)
{
    closeEdited();
    if (path.empty()) {
        resetMarkers();
        redraw();
        return false;
    }
    EditedTrack t;
    t.entry.path = path;
    if (!description.empty())
        t.entry.description = description;
    std::string why;
    if (!readLogPoints(path, t.entry.points, why, &t.ggaLine)) {
        prompt_.show("Error: Unable to open the NMEA data file.\n" + why, PromptButtons::Ok,
                     PromptIcon::Error);
        resetMarkers();
        return false;
    }
    t.entry.loaded = true;
    t.entry.updateExtent();
    edited_ = std::move(t);
    count_ = static_cast<long>(edited_->entry.points.size());
    start_ = 0;
    end_ = count_ - 1;
    startPos_ = pointAt(start_) ? *pointAt(start_) : TrackPoint{};
    endPos_ = pointAt(end_) ? *pointAt(end_) : TrackPoint{};
    // A log without positions has no extent to fit: the view stays where it is
    // instead of turning to the far side of the world.
    if (!edited_->entry.points.empty())
        fitTo({&edited_->entry.points});
    redraw();
    return true;
}

bool Editor::canSaveEditedTrack()
{
    if (!store_) {
        prompt_.show(
            "You must open or create a new track editor map file\nand have a track open for edit\nbefore "
            "you can save the track.");
        return false;
    }
    if (!edited_) {
        prompt_.show("Error: You must have an NMEA track open\nbefore you can save it.");
        return false;
    }
    if (!edited_->entry.path) {
        prompt_.show("Error: Unknown source NMEA track path/name\nor you do not have a NMEA track open.");
        return false;
    }
    return true;
}

bool Editor::saveEditedTrackTo(const std::string& outPath)
{
    if (!canSaveEditedTrack())
        return false;
    if (fileExists(outPath) && prompt_.show(kOverwrite, PromptButtons::YesNo) == PromptAnswer::No)
        return false;
    const std::string& source = *edited_->entry.path;
    std::string refusal;
    FileHandle in = openForReading(source, &refusal);
    if (!in) {
        prompt_.show("Error can't save the track file.\nCan't open the intput file:\n" +
                         nameWithRefusal(source, refusal),
                     PromptButtons::Ok, PromptIcon::Error);
        return false;
    }
    // The marks count points; the stretch is cut by the $GPGGA lines they came from.
    const auto ggaOf = [&](long index) -> long {
        if (index < 0)
            return 0;
        if (index >= static_cast<long>(edited_->ggaLine.size()))
            return edited_->ggaLine.empty() ? index : static_cast<long>(edited_->ggaLine.back()) + 1;
        return static_cast<long>(edited_->ggaLine[static_cast<std::size_t>(index)]);
    };
    const long first = ggaOf(start_);
    const long last = ggaOf(end_);
    AtomicFileWriter out;
    if (WriteOutcome w = out.open(outPath); !w) {
        prompt_.show("Error can't save the track file.\nCan't open the output file:\n" + outPath,
                     PromptButtons::Ok, PromptIcon::Error);
        return false;
    }
    LineReader reader(in.get());
    std::string line;
    long c = 0;
    while (reader.next(line, kMapLineBuffer)) {
        if (c >= first && !out.write(line))
            break;
        if (c > last)
            break;
        if (startsWithNoCase(line, "$GPGGA"))
            ++c;
    }
    if (!out.commit()) {
        prompt_.show("Error writing to the output file.", PromptButtons::Ok, PromptIcon::Error);
        return false;
    }
    editedChanged_ = false;
    prompt_.show("Save complete.");
    return true;
}

bool Editor::closeEditedTrackCommand()
{
    if (!store_) {
        prompt_.show(
            "You must open or create a new track editor map file\nand have a track open for edit\nbefore "
            "you can close the track.");
        return false;
    }
    if (!askDiscardEdited())
        return false;
    closeEdited();
    resetMarkers();
    fitAllTracks();
    redraw();
    return true;
}

// ---------------------------------------------------------------- markers and undo

void Editor::setMarkers(long start, long end)
{
    start_ = start;
    end_ = end;
    if (const TrackPoint* p = pointAt(start_))
        startPos_ = *p;
    if (const TrackPoint* p = pointAt(end_))
        endPos_ = *p;
}

void Editor::record(Step step)
{
    apply(step, true);
    done_.push_back(std::move(step));
    if (done_.size() > kUndoSteps)
        done_.erase(done_.begin());
    undone_.clear();
}

void Editor::apply(Step& s, bool forward)
{
    switch (s.kind) {
    case Step::Kind::Markers:
        setMarkers(forward ? s.newStart : s.oldStart, forward ? s.newEnd : s.oldEnd);
        editedChanged_ = true;
        break;
    case Step::Kind::Description:
        store_->description = forward ? s.newText : s.oldText;
        break;
    case Step::Kind::AddTrack:
    case Step::Kind::RemoveTrack: {
        const bool insert = (s.kind == Step::Kind::AddTrack) == forward;
        if (insert) {
            const std::size_t at = std::min(s.index, store_->tracks.size());
            store_->tracks.insert(store_->tracks.begin() + static_cast<std::ptrdiff_t>(at),
                                  std::move(s.entry));
            s.entry = {};
        } else if (s.index < store_->tracks.size()) {
            s.entry = std::move(store_->tracks[s.index]);
            store_->tracks.erase(store_->tracks.begin() + static_cast<std::ptrdiff_t>(s.index));
        }
        tracksChanged();
        // Adding a track asks for a save; taking the add back restores the flag.
        if (s.kind == Step::Kind::AddTrack) {
            if (forward) {
                s.dirtyBefore = store_->dirty;
                store_->dirty = true;
            } else {
                store_->dirty = s.dirtyBefore;
            }
        }
        break;
    }
    }
    redraw();
}

bool Editor::undo()
{
    if (done_.empty() || !store_)
        return false;
    Step s = std::move(done_.back());
    done_.pop_back();
    apply(s, false);
    undone_.push_back(std::move(s));
    return true;
}

bool Editor::redo()
{
    if (undone_.empty() || !store_)
        return false;
    Step s = std::move(undone_.back());
    undone_.pop_back();
    apply(s, true);
    done_.push_back(std::move(s));
    return true;
}

void Editor::clearHistory()
{
    done_.clear();
    undone_.clear();
}

void Editor::stepMarker(EditorButton b)
{
    const bool isStart = b <= EditorButton::StartPlus10;
    long v = isStart ? start_ : end_;
    switch (b) {
    case EditorButton::StartMinus10:
    case EditorButton::EndMinus10:
        v = v > 9 ? v - 10 : 0;
        break;
    case EditorButton::StartMinus1:
    case EditorButton::EndMinus1:
        v = v > 0 ? v - 1 : v;
        break;
    case EditorButton::StartPlus1:
    case EditorButton::EndPlus1:
        v = v < count_ ? v + 1 : v;
        break;
    default:
        v = v >= count_ - 9 ? count_ : v + 10;
        break;
    }
    Step s;
    s.oldStart = start_;
    s.oldEnd = end_;
    s.newStart = isStart ? v : start_;
    s.newEnd = isStart ? end_ : v;
    if (s.newStart != s.oldStart || s.newEnd != s.oldEnd)
        record(std::move(s));
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
    if (!store_)
        return;
    std::vector<const std::vector<TrackPoint>*> tracks;
    for (const TrackEntry& e : store_->tracks)
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

bool Editor::onLeftDown(int x, int y)
{
    const EditorButton b = hitButton(x, y, proj_.width, proj_.height);
    const double step = 1.0 / proj_.scale / 1000.0;
    switch (b) {
    case EditorButton::None:
    case EditorButton::TrackBar:
        return false;
    case EditorButton::TopBarGap:
        prompt_.show(fmt::sprintf("Top button bar x %d, y %d", x, y));
        return false;
    case EditorButton::BottomBarGap:
        prompt_.show(fmt::sprintf("Bottom button bar x %d, y %d", x, y));
        return false;
    case EditorButton::ZoomOut:
        proj_.scale *= 0.6;
        if (srtm_)
            srtm_->divisor += 0.5;
        break;
    case EditorButton::ZoomIn:
        proj_.scale *= 1.4;
        if (srtm_ && srtm_->divisor > 1.0)
            srtm_->divisor -= 0.5;
        break;
    case EditorButton::North:
        proj_.topLatDeg += step;
        if (srtm_ && srtm_->firstRow > 299)
            srtm_->firstRow -= 300;
        break;
    case EditorButton::South:
        proj_.topLatDeg -= step;
        if (srtm_)
            srtm_->firstRow += 300;
        break;
    case EditorButton::West:
        proj_.leftLonDeg -= step;
        if (srtm_ && srtm_->firstColumn > 299)
            srtm_->firstColumn -= 300;
        break;
    case EditorButton::East:
        proj_.leftLonDeg += step;
        if (srtm_)
            srtm_->firstColumn += 300;
        break;
    default:
        // The marker buttons move the marks of an edited track only.
        if (!edited_)
            return false;
        stepMarker(b);
        break;
    }
    pressed_ = b;
    redraw();
    return true;
}

bool Editor::onDoubleClick(const views::PointerEvent& e)
{
    const int x = e.x, y = e.y, W = proj_.width, H = proj_.height;
    const bool left = e.button == views::PointerEvent::Button::Left;
    if (e.button != views::PointerEvent::Button::Left && e.button != views::PointerEvent::Button::Right)
        return false;
    long start = start_, end = end_;
    if (86 <= y && y < 106) {
        if (!(93 < x && x < W - 103) || count_ <= 3 || !edited_)
            return false;
        // The end is placed over a bar 3 pixels narrower than the one the start
        // is placed over, so near the right end it lands past the last point:
        // it is held to the count, and a window too narrow for the bar leaves it.
        const int span = left ? W - 197 : W - 200;
        if (span <= 0)
            return false;
        const long at =
            std::min<long>(count_, static_cast<long>(static_cast<long long>(x - 93) * count_ / span));
        (left ? start : end) = at;
    } else {
        if ((112 <= y && y < 129) || (H - 25 < y && y < H - 3) || (x < 38 && H - 106 < y && y < H - 36))
            return false;
        if (!edited_)
            return false;
        double best = 10000.0;
        long found = -1;
        const std::vector<TrackPoint>& pts = edited_->entry.points;
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const double dx = proj_.x(pts[i].latDeg, pts[i].lonDeg) - x;
            const double dy = proj_.y(pts[i].latDeg) - (y - 129);
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d < best) {
                best = d;
                found = static_cast<long>(i);
            }
        }
        if (found < 0)
            return false;
        (left ? start : end) = found;
    }
    if (start == start_ && end == end_)
        return false;
    Step s;
    s.oldStart = start_;
    s.oldEnd = end_;
    s.newStart = start;
    s.newEnd = end;
    record(std::move(s));
    return true;
}

bool Editor::onPointer(const views::PointerEvent& e)
{
    using K = views::PointerEvent::Kind;
    using B = views::PointerEvent::Button;
    switch (e.kind) {
    case K::Press:
        if (e.button == B::Left)
            return onLeftDown(e.x, e.y);
        if (e.button == B::Right) {
            rightDownX_ = e.x;
            rightDownY_ = e.y;
        }
        return false;
    case K::Release:
        if (e.button == B::Right) {
            if (e.x == rightDownX_ && e.y == rightDownY_)
                return false;
            proj_.leftLonDeg -= std::fabs(std::sin(proj_.topLatDeg * kDegToRad)) * 1.835e-5 *
                                (e.x - rightDownX_) / proj_.scale;
            proj_.topLatDeg += (e.y - rightDownY_) * 9e-06 / proj_.scale;
            redraw();
            return true;
        }
        return false;
    case K::DoubleClick:
        return onDoubleClick(e);
    case K::Wheel:
        if (e.wheelDelta == 0)
            return false;
        if (e.wheelDelta > 0) {
            proj_.scale *= 0.6;
            if (srtm_)
                srtm_->divisor += 0.5;
        } else {
            proj_.scale *= 1.4;
            if (srtm_ && srtm_->divisor > 1.0)
                srtm_->divisor -= 0.5;
        }
        redraw();
        return true;
    case K::Move:
        return false;
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
