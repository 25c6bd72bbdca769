// GPX 1.0 output.
#include "convert/GpxWriter.h"

#include <fmt/format.h>

#include "base/Utf8.h"

namespace varno::convert {

std::string gpxHeader()
{
    return fmt::format("<?xml version=\"1.0\"?>\n"
                       "<gpx\n"
                       "version=\"1.0\"\n"
                       "creator=\"{}\"\n"
                       "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
                       "xmlns=\"http://www.topografix.com/GPX/1/0\"\n"
                       "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/0\n"
                       "http://www.topografix.com/GPX/1/0/gpx.xsd\">\n",
                       kGpxCreator);
}

std::string xmlEscaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            ++i; // not allowed in XML 1.0 at all
            continue;
        }
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            if (b < 0x80) {
                out += c;
            } else if (const std::size_t n = utf8SequenceLength(text, i)) {
                out.append(text.substr(i, n));
                i += n;
                continue;
            } else {
                out += utf8OrLatin1(text.substr(i, 1));
            }
        }
        ++i;
    }
    return out;
}

bool GpxTrackWriter::begin(std::string_view name)
{
    return out_.write(fmt::format("<trk>\n  <name>{}</name>\n<trkseg>\n", xmlEscaped(name)));
}

bool GpxTrackWriter::point(std::string_view lat, std::string_view lon, std::string_view ele,
                           std::string_view time)
{
    return out_.write(fmt::format(
        "<trkpt lat=\"{}\" lon=\"{}\">\n  <ele>{}</ele>\n<time>{}</time>\n</trkpt>\n", lat, lon, ele, time));
}

bool GpxTrackWriter::end()
{
    return out_.write("</trkseg>\n</trk>\n");
}

} // namespace varno::convert
