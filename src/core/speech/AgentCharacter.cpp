// The agent character file reader.
#include "speech/AgentCharacter.h"

#include <array>

#include "base/LineReader.h"
#include "base/Text.h"

namespace varno::speech {
namespace {

std::optional<std::uint32_t> parseRgb(std::string_view hex)
{
    if (hex.size() != 6)
        return std::nullopt;
    std::uint32_t v = 0;
    for (char c : hex) {
        v <<= 4;
        if (c >= '0' && c <= '9')
            v |= static_cast<std::uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            v |= static_cast<std::uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            v |= static_cast<std::uint32_t>(c - 'A' + 10);
        else
            return std::nullopt;
    }
    return 0xFF000000u | v;
}

} // namespace

const AgentFrame& AgentCharacter::frame(bool talking, unsigned tick) const
{
    std::array<const AgentFrame*, kMaxAgentFrames> talk{};
    std::size_t n = 0;
    const AgentFrame* idle = &frames.front();
    for (const AgentFrame& f : frames) {
        if (f.name == "idle")
            idle = &f;
        else if (f.name.starts_with("talk") && n < talk.size())
            talk[n++] = &f;
    }
    if (!talking || n == 0)
        return *idle;
    return *talk[tick % n];
}

std::optional<AgentCharacter> parseAgentCharacter(std::string_view text, std::string* error)
{
    auto fail = [error](std::size_t line, const std::string& why) -> std::optional<AgentCharacter> {
        if (error)
            *error = "line " + std::to_string(line) + ": " + why;
        return std::nullopt;
    };
    AgentCharacter c;
    std::array<std::optional<std::uint32_t>, 256> palette{};
    std::vector<std::string> rows;
    std::size_t lineNo = 0;
    bool header = false;
    AgentFrame* frame = nullptr;

    auto closeFrame = [&]() -> bool {
        if (!frame)
            return true;
        const int h = static_cast<int>(rows.size());
        const int w = rows.empty() ? 0 : static_cast<int>(rows.front().size());
        if (c.frames.size() == 1) {
            c.width = w;
            c.height = h;
        }
        if (w == 0 || w != c.width || h != c.height)
            return false;
        for (const std::string& r : rows) {
            if (static_cast<int>(r.size()) != w)
                return false;
            for (char ch : r) {
                if (ch == '.') {
                    frame->pixels.push_back(0);
                    continue;
                }
                const auto colour = palette[static_cast<unsigned char>(ch)];
                if (!colour)
                    return false;
                frame->pixels.push_back(*colour);
            }
        }
        rows.clear();
        return true;
    };

    LineReader reader(text);
    std::string piece;
    while (reader.next(piece, 4096)) {
        ++lineNo;
        const std::string_view line = trimBlanks(stripLineEnd(std::string_view(piece)));
        if (line.empty() || line[0] == '#')
            continue;
        if (!header) {
            if (line != "VARNO agent 1")
                return fail(lineNo, "not a VARNO agent character");
            header = true;
            continue;
        }
        if (line.starts_with("name ")) {
            c.name = std::string(trimBlanks(line.substr(5)));
        } else if (line.starts_with("colour ")) {
            const std::string_view rest = trimBlanks(line.substr(7));
            const auto rgb = rest.size() >= 3 ? parseRgb(trimBlanks(rest.substr(1))) : std::nullopt;
            if (!rgb || rest[0] == '.' || (rest[1] != ' ' && rest[1] != '\t'))
                return fail(lineNo, "bad colour");
            palette[static_cast<unsigned char>(rest[0])] = rgb;
        } else if (line.starts_with("frame ")) {
            if (!closeFrame())
                return fail(lineNo, "frame before this one is not a full rectangle of known colours");
            if (c.frames.size() == kMaxAgentFrames)
                return fail(lineNo, "too many frames");
            c.frames.push_back({std::string(trimBlanks(line.substr(6))), {}});
            frame = &c.frames.back();
        } else if (line.starts_with("sound ")) {
            c.sound = std::string(trimBlanks(line.substr(6)));
        } else if (frame) {
            if (line.size() > kMaxAgentFrameSide || rows.size() == kMaxAgentFrameSide)
                return fail(lineNo, "frame larger than 64 x 64");
            rows.emplace_back(line);
        } else
            return fail(lineNo, "unknown line");
    }
    if (!header)
        return fail(lineNo, "empty file");
    if (!closeFrame())
        return fail(lineNo, "last frame is not a full rectangle of known colours");
    if (c.frames.empty())
        return fail(lineNo, "no frame");
    return c;
}

} // namespace varno::speech
