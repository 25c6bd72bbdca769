// Fuzz target: NMEA text through the checksum, the field reader and the intake.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "gps/CNmeaDecoder.h"
#include "gps/HandOffFilter.h"
#include "gps/Intake.h"
#include "gps/NmeaChecksum.h"
#include "gps/NmeaField.h"
#include "gps/Presentation.h"
#include "base/Numbers.h"

using namespace varno::gps;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

// The fix must stay a real position and a real speed whatever arrives.
void checkFix(const CNmeaDecoder& d)
{
    check(std::isfinite(d.Latitude) && std::fabs(d.Latitude) <= 90.0);
    check(std::isfinite(d.Longitude) && std::fabs(d.Longitude) <= 180.0);
    check(std::isfinite(d.RmcLatitude) && std::isfinite(d.RmcLongitude));
    check(std::isfinite(d.Altitude) && std::isfinite(d.VerticalSpeed));
    check(std::isfinite(d.SpeedKnots) && std::isfinite(d.Course));
    check(d.OriginId.size() <= 24 && d.DestinationId.size() <= 24);
    // Whatever date and time arrived, the system's zone gives a time of day.
    const varno::TimeOfDay t = localTimeOf(d.fix(), varno::TimeZone::system());
    check(t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 99 && t.second >= 0 && t.second <= 99);
}

void oneLine(CNmeaDecoder& d, std::string_view line)
{
    const std::uint32_t before = d.SentenceCount;
    const bool decoded = intakeSentence(d, line);
    // A sentence with a good checksum is counted even when its position is refused.
    const bool checksumOk = NmeaChecksumOk(line);
    check(d.SentenceCount == before + (checksumOk ? 1u : 0u));
    check(!decoded || checksumOk);
    // A control byte (a NUL from a serial BREAK among them) or a byte above 0x7E never decodes.
    for (const char c : line)
        check(!decoded || (c >= 0x20 && c <= 0x7E));
    (void)passesHandOffFilter(line);
    // The view and the buffer copy must agree field by field.
    char buffer[kNmeaFieldBufferSize];
    for (int n = 0; n < 24; ++n) {
        const bool got = NmeaField(line, n, buffer, sizeof buffer);
        const std::string_view view = nmeaFieldView(line, n);
        check(got == !view.empty());
        // A field may hold NUL bytes, so compare by the view's length.
        check(buffer[view.size()] == '\0' &&
              (view.empty() || std::memcmp(buffer, view.data(), view.size()) == 0));
        // The quick number path must read exactly what atof would.
        const double quick = nmeaNumber(view), general = varno::leadingDouble(view);
        check((std::isnan(quick) && std::isnan(general)) || std::memcmp(&quick, &general, sizeof quick) == 0);
    }
    checkFix(d);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CNmeaDecoder d;
    oneLine(d, text); // the whole input as one sentence
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
            if (i > start)
                oneLine(d, text.substr(start, i - start));
            start = i + 1;
        }
    }
    return 0;
}
