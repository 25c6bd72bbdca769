// Running outside tools for the round-trip checks, and OV2 records built byte by byte.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace varno::test {

inline bool haveTool(const std::string& name)
{
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Standard output of a shell command, run in the C locale so the tools write
// their numbers with a decimal point; status set to its exit status.
inline std::string commandOutput(const std::string& command, int* status = nullptr)
{
    std::string out;
    if (std::FILE* p = popen(("export LC_ALL=C; " + command).c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0)
            out.append(buffer, n);
        const int rc = pclose(p);
        if (status)
            *status = rc;
    }
    return out;
}

inline void putInt32(std::string& s, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// An OV2 record: type, length (the whole record's unless given), then body.
inline std::string ov2Record(unsigned type, const std::string& body, std::int64_t length = -1)
{
    std::string s(1, static_cast<char>(type));
    putInt32(s, static_cast<std::uint32_t>(length < 0 ? std::int64_t(5 + body.size()) : length));
    return s + body;
}

// A type 2 (or 3, with extra strings) point at lon/lat in 1e-5 degrees.
inline std::string ov2Point(std::int32_t lon, std::int32_t lat, const std::string& name,
                            const std::vector<std::string>& extra = {}, std::int64_t length = -1)
{
    std::string body;
    putInt32(body, static_cast<std::uint32_t>(lon));
    putInt32(body, static_cast<std::uint32_t>(lat));
    body += name;
    body += '\0';
    for (const auto& e : extra) {
        body += e;
        body += '\0';
    }
    return ov2Record(extra.empty() ? 2 : 3, body, length);
}

} // namespace varno::test
