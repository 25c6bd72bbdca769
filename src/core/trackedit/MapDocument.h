// The track editor's map document: the open map file's description, tracks
// and unsaved state, with New, Open, Save, Save As and Close and the questions
// they ask about unsaved work.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Prompt.h"
#include "trackedit/TrackStore.h"

namespace varno::trackedit {

// The editor's overwrite question: true when path does not exist yet or the
// user says Yes.
bool mayOverwrite(const std::string& path, Prompt& prompt);

class MapDocument {
public:
    // Asked when Save needs a name (Save As): the chosen path, nullopt for Cancel.
    using PathChooser = std::function<std::optional<std::string>(const std::string& proposed)>;
    enum class Saved { Yes, Failed, Cancelled };

    explicit MapDocument(Prompt& prompt) : prompt_(prompt) {}

    const TrackStore* store() const { return store_ ? &*store_ : nullptr; }
    TrackStore* store() { return store_ ? &*store_ : nullptr; }

    // A new, empty map file in place of the open one, without asking.
    void create();
    // Drops the open map file without asking.
    void close();
    // Reads the map file at path in place of the open one. False after a
    // message (and, for a file read in part, the line read if the user asks).
    bool open(const std::string& path);

    Saved save(const PathChooser& choose);
    Saved saveAs(const PathChooser& choose);
    // Save As to a path already chosen (the overwrite question is asked here).
    Saved saveTo(const std::string& path);
    // Before an unsaved map file goes: "save it ?", and Yes saves. False when
    // it must stay: the save failed or the Save As it opened was cancelled.
    bool askSaveBeforeFree(const PathChooser& choose);

    // The entries the list dialogs show, in row order.
    std::vector<std::size_t> listRows() const;
    // The edits the undo steps make; the steps look after the unsaved flag.
    void insertTrack(std::size_t at, TrackEntry entry);
    TrackEntry takeTrack(std::size_t at);
    void setDescription(std::optional<std::string> text);
    bool dirty() const { return store_ && store_->dirty; }
    void setDirty(bool dirty);

    // Visible Tracks: a flag per list row; loads or unloads. The messages of
    // the logs that could not be read.
    std::vector<std::string> applyVisibility(const std::vector<bool>& visibleRows);
    // Loads every listed track not loaded yet; the messages as above.
    std::vector<std::string> loadAll();
    // Appends display entries (OSM or GPX data).
    void appendEntries(std::vector<TrackEntry> entries);

    // Counts every change of the list of entries, so the drawing knows when
    // to build its lookup grid again.
    std::uint64_t version() const { return version_; }

private:
    Prompt& prompt_;
    std::optional<TrackStore> store_;
    std::uint64_t version_ = 1;
};

} // namespace varno::trackedit
