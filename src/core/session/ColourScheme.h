// The five colours every view draws with, loaded as the day or the night scheme.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

#include "settings/MasterTable.h"

namespace varno::session {

// Colours are 0x00BBGGRR.
class ColourScheme {
public:
    // Reads one stored colour; black when it cannot be read.
    using ColourReader = std::function<std::uint32_t(const settings::ColourKey& key)>;

    static constexpr std::uint32_t kWhite = 0x00FFFFFF;
    static constexpr std::uint32_t kBlack = 0x00000000;

    // DayTimeBackGround / DayTimeForeGround, window fill white.
    void loadDay(const ColourReader& read);
    // The dimmed night colours (NightPalette): a dark grey view, darker grey
    // boxes and muted amber text, for eyes used to the dark road; the stored
    // night scheme stays as the user set it.
    static constexpr std::uint32_t kDimFill = 0x00121212;       // RGB 18, 18, 18
    static constexpr std::uint32_t kDimBackground = 0x00262626; // RGB 38, 38, 38
    static constexpr std::uint32_t kDimText = 0x002096E0;       // RGB 224, 150, 32

    // NightTimeBackGround / NightTimeForeGround, window fill black; or, dimmed,
    // the colours above.
    void loadNight(const ColourReader& read, bool dimmed = false);

    // Slots 1..5: box background, box text, their second copies, window fill.
    std::uint32_t slot(int n) const { return slots_.at(static_cast<std::size_t>(n - 1)); }
    std::uint32_t boxBackground() const { return slots_[0]; }
    std::uint32_t boxText() const { return slots_[1]; }
    std::uint32_t windowFill() const { return slots_[4]; }
    bool isNight() const { return night_; }

private:
    void load(const ColourReader& read, const settings::ColourKey& back, const settings::ColourKey& fore,
              std::uint32_t fill);

    // Before any load the slots are black, which is what an unreadable scheme gives.
    std::array<std::uint32_t, 5> slots_{};
    bool night_ = false;
};

// Red, green and blue of a 0x00BBGGRR colour.
inline constexpr int redOf(std::uint32_t c)
{
    return static_cast<int>(c & 0xFF);
}
inline constexpr int greenOf(std::uint32_t c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
inline constexpr int blueOf(std::uint32_t c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}

} // namespace varno::session
