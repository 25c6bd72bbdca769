// The track editor's undo steps as command objects, and the history that
// does, undoes and redoes them.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "trackedit/MapDocument.h"
#include "trackedit/MarkedTrack.h"

namespace varno::trackedit {

// What an edit changes: the map document or the edited track's marks.
struct EditTarget {
    MapDocument& map;
    MarkedTrack& track;
};

class EditCommand {
public:
    virtual ~EditCommand() = default;
    virtual void apply(EditTarget& t) = 0;
    virtual void revert(EditTarget& t) = 0;
    // Mark moves belong to the track they moved on and go when it closes.
    virtual bool movesMarks() const { return false; }
};

std::unique_ptr<EditCommand> moveMarks(Marks from, Marks to);
// A listed track (not loaded) inserted at a place in the list.
std::unique_ptr<EditCommand> addTrack(std::size_t at, TrackEntry entry);
std::unique_ptr<EditCommand> removeTrack(std::size_t at);
std::unique_ptr<EditCommand> changeDescription(std::optional<std::string> from,
                                               std::optional<std::string> to);

class UndoHistory {
public:
    // The history keeps at least this many steps.
    static constexpr std::size_t kSteps = 200;

    // Applies the command and keeps it as the newest step; what was undone is dropped.
    void perform(std::unique_ptr<EditCommand> command, EditTarget& t);
    bool undo(EditTarget& t);
    bool redo(EditTarget& t);
    bool canUndo() const { return !done_.empty(); }
    bool canRedo() const { return !undone_.empty(); }
    void clear();
    void dropMarkMoves();

private:
    std::vector<std::unique_ptr<EditCommand>> done_, undone_;
};

} // namespace varno::trackedit
