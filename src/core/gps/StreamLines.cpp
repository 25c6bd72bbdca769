// Lines out of a gpsd or TCP byte stream, as the reader thread expects them.
#include "gps/StreamLines.h"

namespace varno::gps {

void StreamLines::reset(Mode mode)
{
    mode_ = mode;
    line_.clear();
    skipping_ = false;
}

void StreamLines::endLine(std::string& out)
{
    if (skipping_) {
        skipping_ = false;
        line_.clear();
        return;
    }
    if (line_.empty())
        return;
    const bool keep = mode_ == Mode::Raw || line_.front() == '$' || line_.front() == '!';
    if (keep) {
        out += line_;
        out += "\r\n";
        ++stats_.kept;
    } else {
        ++stats_.dropped;
    }
    line_.clear();
}

void StreamLines::feed(std::string_view bytes, std::string& out)
{
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            endLine(out);
        } else if (!skipping_) {
            if (line_.size() == kMaxLine) {
                ++stats_.overlong;
                skipping_ = true;
                line_.clear();
            } else {
                line_.push_back(c);
            }
        }
    }
}

} // namespace varno::gps
