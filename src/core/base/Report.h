// What a long job (a conversion, a list of passed cameras) has to say at the end.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace varno {

struct Report {
    enum class Status { Done, Failed, Cancelled };
    Status status = Status::Done;
    // The message the user sees at the end: the summary, or why it failed.
    std::string message;
    // Notes that do not stop the conversion (lines skipped and why).
    std::string notes;
    std::uint64_t linesIn = 0;
    std::uint64_t linesOut = 0;

    bool ok() const { return status == Status::Done; }
    static Report failed(std::string why)
    {
        Report r;
        r.status = Status::Failed;
        r.message = std::move(why);
        return r;
    }
};

inline constexpr char kWriteFailed[] = "Error writing to output file.\nAborting save.";
inline constexpr char kCancelled[] = "Conversion cancelled.";

} // namespace varno
