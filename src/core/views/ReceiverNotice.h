// The receiver's state in big words over a view, in place of an empty view or numbers that look valid.
#pragma once

#include <string>

#include "views/Scene.h"
#include "views/SceneInput.h"

namespace varno::views {

// Where the notice stands in the layout, across the middle of every view that follows the fix.
inline constexpr Rect kNoticeRect{30, 170, 750, 280};
inline constexpr int kNoticeFont = 44; // [px] cell height
inline constexpr std::uint32_t kNoticeFill = 0x00202020;
// Amber for a receiver that talks but has no fix, white for the link's own state.
inline constexpr std::uint32_t kNoticeAmber = 0x0020A0F0; // RGB 240, 160, 32
inline constexpr std::uint32_t kNoticeText = 0x00FFFFFF;

// The words, or empty when there is nothing to say (the notice is off, the
// receiver has a fix, or the GPS is off and nothing came): the link's words
// first ("Waiting for GPS on /dev/ttyUSB0", "Receiver stopped responding"),
// else "NO FIX — 3 satellites" ("NO FIX" when no GGA told the count).
std::string receiverNoticeText(const SceneInput& in);

// Adds the notice box with its words centred, when there are words.
void addReceiverNotice(Scene& scene, const SceneInput& in);

} // namespace varno::views
