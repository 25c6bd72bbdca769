// The GPX 1.0 document every GPX file of the program is written as.
#pragma once

#include <string>
#include <string_view>

#include "convert/Convert.h"

namespace varno::convert {

inline constexpr char kGpxCreator[] = "VARNO - https://github.com/varno-project/varno";

// The start of the document: the XML declaration and the <gpx> start tag.
std::string gpxHeader();
inline constexpr char kGpxFooter[] = "</gpx>\n";
// What a GPX writer says when its file cannot take the text.
inline constexpr char kGpxWriteFailed[] =
    "Error: Unable to write to the file.\nAn error occurrd while writing to the GPX output file.";

// Text for a GPX element or attribute value: & < > " ' escaped, and bytes
// that are not valid UTF-8 (a Latin-1 name, say) read as Latin-1.
std::string xmlEscaped(std::string_view text);

// A track with one segment, point by point, to a sink; each write reports
// whether the sink took it.
class GpxTrackWriter {
public:
    explicit GpxTrackWriter(Sink& out) : out_(out) {}
    bool begin(std::string_view name);
    bool point(std::string_view lat, std::string_view lon, std::string_view ele, std::string_view time);
    bool end();

private:
    Sink& out_;
};

} // namespace varno::convert
