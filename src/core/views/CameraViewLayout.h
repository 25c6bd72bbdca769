// The fixed pixel layout of the camera view: every box, its font and where its text starts.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace varno::views {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

enum class BoxId {
    CameraLine,
    AverageSpeedLine,
    Map,
    SpeedLimitLabel,
    SpeedLimitValue,
    VehicleSpeedLabel,
    VehicleSpeedValue,
    RoadLabel,
    RoadValue,
    TownLabel,
    TownValue,
    CameraLabel,
    CameraTypeValue,
    HazardLabel,
    HazardValue,
    Latitude,
    Longitude,
    Time,
    SentenceStrip,
};

// One box of the layout, in window pixels. The text origin is relative to the
// box's top left corner; boxes with several texts place them themselves.
struct BoxSpec {
    BoxId id;
    Rect rect;
    int fontHeight; // [px] "Times New Roman", weight 400
    int textDx;
    int textDy;
};

// Window pixel layout, at any window size: boxes never move or scale.
inline constexpr std::array<BoxSpec, 19> kCameraViewBoxes = {{
    {BoxId::CameraLine, {1, 1, 750, 66}, 48, 5, 5},
    {BoxId::AverageSpeedLine, {1, 67, 750, 122}, 48, 5, 5},
    {BoxId::Map, {1, 123, 379, 414}, 20, 0, 0},
    {BoxId::SpeedLimitLabel, {380, 123, 510, 178}, 24, 5, 17},
    {BoxId::SpeedLimitValue, {511, 123, 750, 178}, 48, 5, 5},
    {BoxId::VehicleSpeedLabel, {380, 179, 510, 234}, 24, 5, 17},
    {BoxId::VehicleSpeedValue, {511, 179, 750, 234}, 48, 5, 5},
    {BoxId::RoadLabel, {380, 235, 474, 293}, 24, 5, 17},
    {BoxId::RoadValue, {475, 235, 750, 293}, 34, 5, 12},
    {BoxId::TownLabel, {380, 294, 474, 324}, 24, 5, 3},
    {BoxId::TownValue, {475, 294, 750, 324}, 24, 5, 3},
    {BoxId::CameraLabel, {380, 325, 474, 354}, 24, 5, 3},
    {BoxId::CameraTypeValue, {475, 325, 750, 354}, 24, 5, 3},
    {BoxId::HazardLabel, {380, 355, 474, 420}, 24, 5, 3},
    {BoxId::HazardValue, {475, 355, 750, 445}, 24, 5, 5},
    {BoxId::Latitude, {1, 415, 145, 445}, 24, 4, 4},
    {BoxId::Longitude, {146, 415, 310, 445}, 24, 4, 4},
    {BoxId::Time, {315, 415, 470, 445}, 24, 5, 4},
    {BoxId::SentenceStrip, {1, 455, 770, 501}, 24, 3, 5},
}};

const BoxSpec& boxSpec(BoxId id);

// A box is drawn whole or not at all: it is skipped when its right edge is at
// or beyond the window width, or its bottom at or beyond the window height.
inline constexpr bool fitsWindow(const Rect& r, int windowWidth, int windowHeight)
{
    return r.right < windowWidth && r.bottom < windowHeight;
}

// The map point of a camera letter, a trail point and the cross-hair, relative
// to the map box's top left corner.
inline constexpr int kLetterOriginDx = 179, kLetterOriginDy = 130;
inline constexpr int kTrailCentreDx = 184, kTrailCentreDy = 139;
inline constexpr int kCrossHairDx = 183, kCrossHairDy = 138;
// Where the map radius label is drawn, in window pixels.
inline constexpr int kRadiusLabelX = 240, kRadiusLabelY = 390;

// Colours, 0x00BBGGRR like the colour scheme's.
inline constexpr std::uint32_t kFrameGrey = 0x00BEBEBE; // RGB 190, 190, 190
// The position boxes' text while the receiver has no fix.
inline constexpr std::uint32_t kStaleGrey = 0x00808080; // RGB 128, 128, 128
// The camera line while the receiver has no fix.
inline constexpr std::string_view kNoFixText = "NO FIX";
inline constexpr std::uint32_t kBlack = 0x00000000;
inline constexpr std::uint32_t kOverLimitRed =
    0x002020E0; // RGB 224, 32, 32: the speed box over a camera's limit
// The same by night: amber, bright against the dimmed colours without the glare of red.
inline constexpr std::uint32_t kOverLimitAmber = 0x0000A8FF; // RGB 255, 168, 0
inline constexpr std::uint32_t kWhite = 0x00FFFFFF;
inline constexpr std::uint32_t kCrossHairInner = 0x00E6C100; // RGB 0, 193, 230
inline constexpr std::uint32_t kTrailYellow = 0x0000FFFF;    // RGB 255, 255, 0

// Type icons sit in the average-speed line, filling it from the right.
inline constexpr int kIconRightInset = 46;
inline constexpr int kIconPitch = 44;
inline constexpr int kIconTopInset = 6;

} // namespace varno::views
