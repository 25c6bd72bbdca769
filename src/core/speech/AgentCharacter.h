// The agent character file: a few small pixel frames and an optional greeting sound, in a plain text format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varno::speech {

// The file, line by line (blank lines and lines starting with '#' skipped):
//   VARNO agent 1                   first line, exactly
//   name <text>
//   colour <letter> <rrggbb>         a palette entry; '.' is always transparent
//   frame <name>                     then the rows of the frame, one letter per pixel
//   sound <file>                     a greeting sound beside the character file
// Frames "idle" and "talk" (any number of frames whose names start "talk")
// are used; every frame has the size of the first one.
inline constexpr std::size_t kMaxAgentFrameSide = 64;
inline constexpr std::size_t kMaxAgentFrames = 16;

struct AgentFrame {
    std::string name;
    // 0xAARRGGBB per pixel, row after row; alpha 0 where transparent.
    std::vector<std::uint32_t> pixels;
};

struct AgentCharacter {
    std::string name;
    int width = 0;
    int height = 0;
    std::vector<AgentFrame> frames;
    std::string sound; // as written, relative to the character file
    // The frame to show: idle, or the talking frames in turn.
    const AgentFrame& frame(bool talking, unsigned tick) const;
};

// The character, or nullopt with *error saying why (line number and reason).
std::optional<AgentCharacter> parseAgentCharacter(std::string_view text, std::string* error = nullptr);

} // namespace varno::speech
