// The map radius shared by every view: read from MapScale, zoomed along the ladder, set by the dialog.
#include "geo/MapScale.h"

#include <algorithm>

namespace varno::geo {

double MapScale::readStoredRadius() const
{
    return static_cast<double>(settings_.read(settings::keys::MapScale));
}

bool MapScale::zoomOut()
{
    double stored = readStoredRadius();
    if (stored == kMaxZoomRadius)
        return false;
    // A radius off the ladder (only an edited setting or the dialog's 5000 gets
    // there) stops at the top of the ladder instead of running on to overflow.
    auto base = static_cast<std::uint64_t>(stored);
    std::uint64_t doubled = std::min<std::uint64_t>(base * 2, kMaxZoomRadius);
    return zoomTo(static_cast<std::uint32_t>(doubled));
}

bool MapScale::zoomIn()
{
    double stored = readStoredRadius();
    if (stored == kMinZoomRadius)
        return false;
    auto halved = static_cast<std::uint32_t>(stored) / 2;
    // Off the ladder the halving would fall below the smallest map and on to
    // zero; 0 itself (a missing value) stays 0, as halving it always gave.
    if (halved != 0 && halved < kMinZoomRadius)
        halved = kMinZoomRadius;
    return zoomTo(halved);
}

bool MapScale::zoomTo(std::uint32_t radius)
{
    MapRadius = radius;
    write(radius);
    return true;
}

void MapScale::write(std::uint32_t radius)
{
    // A failure is shown by the writer; a missing key is left alone.
    settings_.write(settings::keys::MapScale, radius);
}

std::optional<std::size_t> MapScale::dialogChoice() const
{
    double stored = readStoredRadius();
    for (std::size_t i = 0; i < kMapScaleChoices.size(); ++i)
        if (stored == kMapScaleChoices[i])
            return i;
    return std::nullopt;
}

void MapScale::storeDialogChoice(std::optional<std::size_t> checked)
{
    std::uint32_t value =
        checked && *checked < kMapScaleChoices.size() ? kMapScaleChoices[*checked] : kUncheckedMapScale;
    write(value);
}

} // namespace varno::geo
