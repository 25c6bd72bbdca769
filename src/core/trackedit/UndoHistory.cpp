// The editor's edits as commands and their history.
#include "trackedit/UndoHistory.h"

namespace varno::trackedit {
namespace {

class MoveMarks final : public EditCommand {
public:
    MoveMarks(Marks from, Marks to) : from_(from), to_(to) {}
    void apply(EditTarget& t) override { move(t, to_); }
    void revert(EditTarget& t) override { move(t, from_); }
    bool movesMarks() const override { return true; }

private:
    static void move(EditTarget& t, Marks m)
    {
        t.track.setMarks(m);
        t.track.setChanged(true);
    }
    Marks from_, to_;
};

// Every edit of the map file asks for a save; taking it back restores the flag.
class MapEdit : public EditCommand {
public:
    void apply(EditTarget& t) final
    {
        dirtyBefore_ = t.map.dirty();
        change(t.map, true);
        t.map.setDirty(true);
    }
    void revert(EditTarget& t) final
    {
        change(t.map, false);
        t.map.setDirty(dirtyBefore_);
    }

protected:
    virtual void change(MapDocument& map, bool forward) = 0;

private:
    bool dirtyBefore_ = false;
};

// Adding and removing are one step run either way.
class AddOrRemoveTrack final : public MapEdit {
public:
    AddOrRemoveTrack(std::size_t at, TrackEntry entry, bool add)
        : at_(at), entry_(std::move(entry)), add_(add)
    {
    }

private:
    void change(MapDocument& map, bool forward) override
    {
        if (add_ == forward)
            map.insertTrack(at_, std::move(entry_));
        else
            entry_ = map.takeTrack(at_);
    }
    std::size_t at_;
    TrackEntry entry_;
    bool add_;
};

class ChangeDescription final : public MapEdit {
public:
    ChangeDescription(std::optional<std::string> from, std::optional<std::string> to)
        : from_(std::move(from)), to_(std::move(to))
    {
    }

private:
    void change(MapDocument& map, bool forward) override { map.setDescription(forward ? to_ : from_); }
    std::optional<std::string> from_, to_;
};

} // namespace

std::unique_ptr<EditCommand> moveMarks(Marks from, Marks to)
{
    return std::make_unique<MoveMarks>(from, to);
}

std::unique_ptr<EditCommand> addTrack(std::size_t at, TrackEntry entry)
{
    return std::make_unique<AddOrRemoveTrack>(at, std::move(entry), true);
}

std::unique_ptr<EditCommand> removeTrack(std::size_t at)
{
    return std::make_unique<AddOrRemoveTrack>(at, TrackEntry{}, false);
}

std::unique_ptr<EditCommand> changeDescription(std::optional<std::string> from, std::optional<std::string> to)
{
    return std::make_unique<ChangeDescription>(std::move(from), std::move(to));
}

void UndoHistory::perform(std::unique_ptr<EditCommand> command, EditTarget& t)
{
    command->apply(t);
    done_.push_back(std::move(command));
    if (done_.size() > kSteps)
        done_.erase(done_.begin());
    undone_.clear();
}

bool UndoHistory::undo(EditTarget& t)
{
    if (done_.empty())
        return false;
    std::unique_ptr<EditCommand> c = std::move(done_.back());
    done_.pop_back();
    c->revert(t);
    undone_.push_back(std::move(c));
    return true;
}

bool UndoHistory::redo(EditTarget& t)
{
    if (undone_.empty())
        return false;
    std::unique_ptr<EditCommand> c = std::move(undone_.back());
    undone_.pop_back();
    c->apply(t);
    done_.push_back(std::move(c));
    return true;
}

void UndoHistory::clear()
{
    done_.clear();
    undone_.clear();
}

void UndoHistory::dropMarkMoves()
{
    std::erase_if(done_, [](const std::unique_ptr<EditCommand>& c) { return c->movesMarks(); });
    std::erase_if(undone_, [](const std::unique_ptr<EditCommand>& c) { return c->movesMarks(); });
}

} // namespace varno::trackedit
