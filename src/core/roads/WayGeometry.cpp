// The compact point blob of the road map.
#include "roads/WayGeometry.h"

namespace varno::roads {
namespace {

constexpr std::int64_t kMaxLatE7 = 900000000;
constexpr std::int64_t kMaxLonE7 = 1800000000;

void putVarint(std::string& out, std::uint64_t v)
{
    while (v >= 0x80) {
        out.push_back(static_cast<char>((v & 0x7f) | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<char>(v));
}

std::uint64_t zigzag(std::int64_t v)
{
    return (static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63);
}

std::int64_t unzigzag(std::uint64_t v)
{
    return static_cast<std::int64_t>(v >> 1) ^ -static_cast<std::int64_t>(v & 1);
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : p_(bytes.data()), end_(bytes.data() + bytes.size()) {}

    // False at the end of the bytes or for a varint longer than 64 bits.
    bool varint(std::uint64_t& v)
    {
        // Most steps along a road fit in one byte or two.
        if (end_ - p_ >= 2) {
            const auto b0 = static_cast<unsigned char>(p_[0]);
            if (b0 < 0x80) {
                v = b0;
                ++p_;
                return true;
            }
            const auto b1 = static_cast<unsigned char>(p_[1]);
            if (b1 < 0x80) {
                v = (b0 & 0x7fu) | static_cast<std::uint64_t>(b1) << 7;
                p_ += 2;
                return true;
            }
        }
        v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (p_ == end_)
                return false;
            const auto byte = static_cast<unsigned char>(*p_++);
            if (shift == 63 && byte > 1)
                return false;
            v |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
            if (!(byte & 0x80))
                return true;
        }
        return false;
    }
    bool signedVarint(std::int64_t& v)
    {
        std::uint64_t u = 0;
        if (!varint(u))
            return false;
        v = unzigzag(u);
        return true;
    }
    std::size_t left() const { return static_cast<std::size_t>(end_ - p_); }

private:
    const char* p_;
    const char* end_;
};

// Reads the blob into out through make(lat, lon), one element a point.
template <typename T, typename Make> bool decode(std::string_view blob, std::vector<T>& out, Make make)
{
    out.clear();
    Reader in(blob);
    std::uint64_t count = 0;
    // Every point takes at least two bytes: a count the blob cannot hold is
    // refused before anything is reserved for it.
    if (!in.varint(count) || count == 0 || count > kMaxWayPoints || count > in.left() / 2)
        return false;
    out.reserve(count);
    std::int64_t lat = 0, lon = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        std::int64_t dLat = 0, dLon = 0;
        // A difference beyond twice the globe is damage; checked before adding so
        // that the sum cannot overflow.
        if (!in.signedVarint(dLat) || !in.signedVarint(dLon) || dLat > 2 * kMaxLatE7 ||
            dLat < -2 * kMaxLatE7 || dLon > 2 * kMaxLonE7 || dLon < -2 * kMaxLonE7) {
            out.clear();
            return false;
        }
        lat += dLat;
        lon += dLon;
        if (lat > kMaxLatE7 || lat < -kMaxLatE7 || lon > kMaxLonE7 || lon < -kMaxLonE7) {
            out.clear();
            return false;
        }
        out.push_back(make(lat, lon));
    }
    if (in.left() != 0) {
        out.clear();
        return false;
    }
    return true;
}

} // namespace

std::string encodeWayGeometry(std::span<const PointE7> points)
{
    std::string out;
    out.reserve(2 + points.size() * 4);
    putVarint(out, points.size());
    std::int64_t lat = 0, lon = 0;
    for (const PointE7& p : points) {
        putVarint(out, zigzag(p.lat - lat));
        putVarint(out, zigzag(p.lon - lon));
        lat = p.lat;
        lon = p.lon;
    }
    return out;
}

bool decodeWayGeometry(std::string_view blob, std::vector<PointE7>& out)
{
    return decode(blob, out, [](std::int64_t lat, std::int64_t lon) {
        return PointE7{static_cast<std::int32_t>(lat), static_cast<std::int32_t>(lon)};
    });
}

bool decodeWayGeometry(std::string_view blob, std::vector<geo::LatLon>& out)
{
    return decode(blob, out, [](std::int64_t lat, std::int64_t lon) {
        // Divided, not multiplied by 1e-7: the very degrees OSM readers give.
        return geo::LatLon(static_cast<double>(lat) / 1e7, static_cast<double>(lon) / 1e7);
    });
}

} // namespace varno::roads
