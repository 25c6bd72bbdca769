// Mark Location: appends the current position to the mark file as a camera line.
#include "cameras/MarkLocation.h"

#include <cstdio>
#include <memory>

#include <fmt/printf.h>

#include "base/DataPath.h"

namespace varno::cameras {

std::string asctimeText(const LocalTime& t)
{
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const char* day = t.weekday >= 0 && t.weekday < 7 ? kDays[t.weekday] : "???";
    const char* month = t.month >= 1 && t.month <= 12 ? kMonths[t.month - 1] : "???";
    return fmt::sprintf("%.3s %.3s%3d %.2d:%.2d:%.2d %d", day, month, t.day, t.hour, t.minute, t.second,
                        t.year);
}

bool markLocation(settings::Settings& settings, Prompt& prompt, const std::string& dataRoot,
                  const Clock& clock, geo::LatLon fix)
{
    if (!fix)
        return false;
    std::optional<std::string> stored = settings.read(settings::keys::MarkFile);
    if (!stored) {
        prompt.message(
            "Error can't get the marked spot filename from the registry.\nPlease check the setup/registry.");
        return false;
    }
    const std::string path = mapDataPath(*stored, dataRoot);
    std::FILE* f = std::fopen(path.c_str(), "ab");
    if (!f) {
        prompt.message("Error can't open the marked spot file\n" + path +
                       "\nPlease check the setup/registry.");
        return false;
    }
    const std::string line =
        fmt::sprintf("%f,%f,%s,,,,, \r\n", fix.latDeg(), fix.lonDeg(), asctimeText(clock.now()));
    bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
    ok = std::fflush(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok)
        prompt.message("Error can't write to the marked spot file");
    return ok;
}

} // namespace varno::cameras
