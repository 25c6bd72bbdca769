// The map radius shared by every view: read from MapScale, zoomed along the ladder, set by the dialog.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "settings/Settings.h"

namespace varno::geo {

// The zoom ladder runs 125 * 2^k metres from kMinZoomRadius to kMaxZoomRadius.
inline constexpr std::uint32_t kMinZoomRadius = 125;
inline constexpr std::uint32_t kMaxZoomRadius = 256000;
// Radius before the stored one is read (the stored one when the settings key cannot be opened).
inline constexpr double kDefaultMapRadius = 4000.0;
// What the "Set Map Scale" dialog stores when no button is checked.
inline constexpr std::uint32_t kUncheckedMapScale = 5000;
// The dialog's buttons, in order: "500 metres", "1 km" ... "64 km".
inline constexpr std::array<std::uint32_t, 8> kMapScaleChoices = {500,  1000,  2000,  4000,
                                                                  8000, 16000, 32000, 64000};

class MapScale {
public:
    explicit MapScale(settings::Settings& settings) : settings_(settings) {}

    // [m] from the vehicle to the map edge, east-west and north-south alike.
    double MapRadius = kDefaultMapRadius;

    // The stored radius: 4000 when the key cannot be opened, 0 when the value
    // cannot be read, else the stored number.
    double readStoredRadius() const;
    // MapRadius = readStoredRadius(); done at start-up, after Check Registry
    // and when the "Set Map Scale" dialog closes.
    void reload() { MapRadius = readStoredRadius(); }

    // Double / halve the stored radius and store it. False when the stored
    // radius is already at the limit (exactly 256000 / 125): then nothing
    // changed and the caller rebuilds nothing. True: MapRadius changed (it is
    // set even when the write fails, which is reported), so the caller rebuilds
    // the camera or POI list and redraws.
    bool zoomOut();
    bool zoomIn();

    // "Set Map Scale": the button to check on opening (index into
    // kMapScaleChoices), nullopt when the stored value is none of them.
    std::optional<std::size_t> dialogChoice() const;
    // OK with the checked button (nullopt: none checked, stores 5000). Reports a
    // failed write. Whether OK or Cancel, the caller then calls reload() and
    // rebuilds the object list.
    void storeDialogChoice(std::optional<std::size_t> checked);

private:
    bool zoomTo(std::uint32_t radius);
    void write(std::uint32_t radius);

    settings::Settings& settings_;
};

} // namespace varno::geo
