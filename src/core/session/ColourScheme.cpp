// The five colours every view draws with, loaded as the day or the night scheme.
#include "session/ColourScheme.h"

namespace varno::session {

void ColourScheme::load(const ColourReader& read, const settings::ColourKey& back,
                        const settings::ColourKey& fore, std::uint32_t fill)
{
    // Each colour is read anew: the Display colours dialog may just have changed it.
    const std::uint32_t background = read ? read(back) : kBlack;
    const std::uint32_t text = read ? read(fore) : kBlack;
    slots_ = {background, text, background, text, fill};
}

void ColourScheme::loadDay(const ColourReader& read)
{
    load(read, settings::keys::DayTimeBackGround, settings::keys::DayTimeForeGround, kWhite);
    night_ = false;
}

void ColourScheme::loadNight(const ColourReader& read, bool dimmed)
{
    if (dimmed)
        slots_ = {kDimBackground, kDimText, kDimBackground, kDimText, kDimFill};
    else
        load(read, settings::keys::NightTimeBackGround, settings::keys::NightTimeForeGround, kBlack);
    night_ = true;
}

} // namespace varno::session
