// The edited track's marks and the saving of its marked stretch.
#include "trackedit/MarkedTrack.h"

#include "base/AsciiCase.h"
#include "base/AtomicFile.h"
#include "base/InputFile.h"
#include "base/LineReader.h"
#include "trackedit/MapDocument.h"
#include "trackedit/TrackStore.h"

namespace varno::trackedit {

bool MarkedTrack::open(const std::string& description, const std::string& path, Prompt& prompt)
{
    close();
    EditedTrack t;
    t.entry.path = path;
    if (!description.empty())
        t.entry.description = description;
    std::string why;
    if (!readLogPoints(path, t.entry.points, why, &t.ggaLine)) {
        prompt.show("Error: Unable to open the NMEA data file.\n" + why, PromptButtons::Ok,
                    PromptIcon::Error);
        reset();
        return false;
    }
    t.entry.loaded = true;
    t.entry.updateExtent();
    track_ = std::move(t);
    count_ = static_cast<long>(track_->entry.points.size());
    start_ = 0;
    end_ = count_ - 1;
    startPos_ = pointAt(start_) ? *pointAt(start_) : TrackPoint{};
    endPos_ = pointAt(end_) ? *pointAt(end_) : TrackPoint{};
    return true;
}

void MarkedTrack::close()
{
    track_.reset();
    changed_ = false;
}

void MarkedTrack::reset()
{
    start_ = kNoStart;
    end_ = kNoEnd;
    count_ = kNoCount;
    startPos_ = {};
    endPos_ = {};
}

void MarkedTrack::setMarks(Marks m)
{
    start_ = m.start;
    end_ = m.end;
    if (const TrackPoint* p = pointAt(start_))
        startPos_ = *p;
    if (const TrackPoint* p = pointAt(end_))
        endPos_ = *p;
}

const TrackPoint* MarkedTrack::pointAt(long index) const
{
    if (!track_ || index < 0 || index >= static_cast<long>(track_->entry.points.size()))
        return nullptr;
    return &track_->entry.points[static_cast<std::size_t>(index)];
}

bool MarkedTrack::saveStretchTo(const std::string& outPath, Prompt& prompt)
{
    if (!mayOverwrite(outPath, prompt))
        return false;
    const std::string& source = *track_->entry.path;
    std::string refusal;
    FileHandle in = openForReading(source, &refusal);
    if (!in) {
        prompt.show("Error can't save the track file.\nCan't open the intput file:\n" +
                        nameWithRefusal(source, refusal),
                    PromptButtons::Ok, PromptIcon::Error);
        return false;
    }
    // The marks count points; the stretch is cut by the $GPGGA lines they came from.
    const auto ggaOf = [&](long index) -> long {
        if (index < 0)
            return 0;
        if (index >= static_cast<long>(track_->ggaLine.size()))
            return track_->ggaLine.empty() ? index : static_cast<long>(track_->ggaLine.back()) + 1;
        return static_cast<long>(track_->ggaLine[static_cast<std::size_t>(index)]);
    };
    const long first = ggaOf(start_);
    const long last = ggaOf(end_);
    AtomicFileWriter out;
    if (WriteOutcome w = out.open(outPath); !w) {
        prompt.show("Error can't save the track file.\nCan't open the output file:\n" + outPath,
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
        prompt.show("Error writing to the output file.", PromptButtons::Ok, PromptIcon::Error);
        return false;
    }
    changed_ = false;
    prompt.show("Save complete.");
    return true;
}

} // namespace varno::trackedit
