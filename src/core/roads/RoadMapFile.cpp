// Reading the road map through SQLite; nothing of SQLite shows outside this file.
#include "roads/RoadMapFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <sqlite3.h>
#include <string_view>

#include <fmt/format.h>

#include "base/InputFile.h"
#include "roads/RoadMapSchema.h"
#include "roads/WayGeometry.h"

namespace varno::roads {
namespace {

namespace fs = std::filesystem;

std::string failure(const std::string& path, const std::string& why)
{
    return "Error reading the road map\n" + path + ": " + why;
}

std::uint32_t bigEndian(const unsigned char* p, int bytes)
{
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = v << 8 | p[i];
    return v;
}

// What the first 100 bytes of the file (SQLite's header) say is wrong with
// it, empty when nothing: checked before SQLite opens it, so that a file of
// something else or one cut short is named as such instead of failing later
// in a query.
std::string headerProblem(const std::string& path, std::uintmax_t size)
{
    std::string refusal;
    FileHandle f = openForReading(path, &refusal, UINTMAX_MAX);
    if (!f)
        return refusal.empty() ? std::string(std::strerror(errno)) : refusal;
    unsigned char header[100] = {};
    const std::size_t got = std::fread(header, 1, sizeof header, f.get());
    if (got == 0)
        return "the file is empty, not a road map";
    static constexpr char kMagic[] = "SQLite format 3";
    if (got < sizeof header || std::memcmp(header, kMagic, sizeof kMagic) != 0)
        return "not a road map (not an SQLite file)";
    std::uintmax_t pageSize = bigEndian(header + 16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        return "the file is damaged (its header is not SQLite's)";
    // The page count in the header is to be trusted only when the write that
    // set it also set the "valid for" counter.
    const std::uint32_t pages = bigEndian(header + 28, 4);
    const bool countValid = pages != 0 && bigEndian(header + 92, 4) == bigEndian(header + 24, 4);
    if (size % pageSize != 0 || (countValid && size < pages * pageSize))
        return fmt::format("the file is cut short ({} bytes of {}): copy or build it again", size,
                           countValid ? pages * pageSize : (size / pageSize + 1) * pageSize);
    return {};
}

std::string columnText(sqlite3_stmt* s, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(s, column)))
                : std::string();
}

// Written by our builder with fmt, read back whatever the locale.
std::int64_t number(std::string_view text)
{
    std::int64_t v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

RoadBox boxOf(const std::string& text)
{
    RoadBox b;
    double sides[4] = {};
    std::size_t start = 0;
    for (double& side : sides) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        std::from_chars(text.data() + start, text.data() + comma, side);
        if (comma == text.size())
            break;
        start = comma + 1;
    }
    b.south = sides[0], b.west = sides[1], b.north = sides[2], b.east = sides[3];
    return b;
}

} // namespace

struct RoadMapFile::Impl {
    sqlite3* db = nullptr;
    sqlite3_stmt* select = nullptr;
    RoadMapInfo info;
    mutable std::mutex mutex;
    mutable std::string lastError;

    ~Impl()
    {
        sqlite3_finalize(select);
        sqlite3_close_v2(db);
    }
};

RoadMapFile::RoadMapFile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
RoadMapFile::~RoadMapFile() = default;

std::unique_ptr<RoadMapFile> RoadMapFile::open(const std::string& path, std::string& error)
{
    error.clear();
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) {
        error = failure(path, "no such file");
        return nullptr;
    }
    if (!fs::is_regular_file(status)) {
        error = failure(path, fs::is_directory(status) ? "a folder, not a road map" : "not a file");
        return nullptr;
    }
    const std::uintmax_t size = fs::file_size(path, ec);
    if (std::string why = headerProblem(path, ec ? 0 : size); !why.empty()) {
        error = failure(path, why);
        return nullptr;
    }

    auto impl = std::make_unique<Impl>();
    impl->info.path = path;
    impl->info.fileBytes = size;
    // Read-only: the map is never changed in place, and a read-only file or
    // medium reads as well as any other.
    if (sqlite3_open_v2(path.c_str(), &impl->db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        error = failure(path, impl->db ? sqlite3_errmsg(impl->db) : "SQLite could not open it");
        return nullptr;
    }
    sqlite3_extended_result_codes(impl->db, 1);
    // The ways of a screen lie all over the file (it is ordered by way id):
    // a cache that holds a region's pages spares a read per way when the view
    // moves on. Not memory-mapped: a file cut short under a mapping would end
    // the program.
    sqlite3_exec(impl->db, "PRAGMA cache_size=-16384", nullptr, nullptr, nullptr);

    sqlite3_stmt* meta = nullptr;
    if (sqlite3_prepare_v2(impl->db, schema::kSelectMetadata, -1, &meta, nullptr) != SQLITE_OK) {
        const int code = sqlite3_errcode(impl->db) & 0xff;
        error = failure(path, code == SQLITE_CORRUPT || code == SQLITE_NOTADB
                                  ? fmt::format("the file is damaged ({})", sqlite3_errmsg(impl->db))
                                  : std::string("an SQLite file, but not a road map (it has no metadata)"));
        sqlite3_finalize(meta);
        return nullptr;
    }
    RoadMapInfo& info = impl->info;
    bool formatSeen = false;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(meta)) == SQLITE_ROW) {
        const std::string key = columnText(meta, 0), value = columnText(meta, 1);
        if (key == schema::kKeyFormat) {
            formatSeen = true;
            info.format = static_cast<int>(number(value));
        } else if (key == schema::kKeySource)
            info.source = value;
        else if (key == schema::kKeySourceSize)
            info.sourceBytes = static_cast<std::uintmax_t>(number(value));
        else if (key == schema::kKeySourceTime)
            info.sourceTime = value;
        else if (key == schema::kKeyBuildVersion)
            info.buildVersion = value;
        else if (key == schema::kKeyBuilt)
            info.built = value;
        else if (key == schema::kKeyBounds)
            info.bounds = boxOf(value);
        else if (key == schema::kKeyWays)
            info.ways = number(value);
        else if (key == schema::kKeyPoints)
            info.points = number(value);
        else if (key == schema::kKeyNamed)
            info.namedWays = number(value);
        else if (key == schema::kKeyLimited)
            info.limitedWays = number(value);
        else if (key == schema::kKeySkipped)
            info.skippedWays = number(value);
    }
    sqlite3_finalize(meta);
    if (rc != SQLITE_DONE) {
        error = failure(path, fmt::format("the file is damaged ({})", sqlite3_errmsg(impl->db)));
        return nullptr;
    }
    if (!formatSeen) {
        error = failure(path, "an SQLite file, but not a road map (its metadata has no format)");
        return nullptr;
    }
    if (info.format != schema::kFormat) {
        error = failure(path, fmt::format("a road map of format {}; this version reads format {}: build it "
                                          "again from its extract",
                                          info.format, schema::kFormat));
        return nullptr;
    }
    if (sqlite3_prepare_v3(impl->db, schema::kSelectIn, -1, SQLITE_PREPARE_PERSISTENT, &impl->select,
                           nullptr) != SQLITE_OK) {
        error = failure(
            path, fmt::format("not a road map of format {} ({})", schema::kFormat, sqlite3_errmsg(impl->db)));
        return nullptr;
    }
    return std::unique_ptr<RoadMapFile>(new RoadMapFile(std::move(impl)));
}

void RoadMapFile::waysIn(const RoadBox& box, std::vector<RoadWay>& out) const
{
    std::lock_guard lock(impl_->mutex);
    impl_->lastError.clear();
    sqlite3_stmt* s = impl_->select;
    sqlite3_bind_double(s, 1, box.south);
    sqlite3_bind_double(s, 2, box.north);
    sqlite3_bind_double(s, 3, box.west);
    sqlite3_bind_double(s, 4, box.east);
    // The ways already in out are written over, so that their strings and
    // point lists keep what they have reserved.
    std::size_t n = 0;
    std::int64_t damaged = 0;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        if (n == out.size())
            out.emplace_back();
        RoadWay& way = out[n];
        const auto* blob = static_cast<const char*>(sqlite3_column_blob(s, 7));
        const std::string_view geometry(blob ? blob : "",
                                        static_cast<std::size_t>(sqlite3_column_bytes(s, 7)));
        if (!decodeWayGeometry(geometry, way.points)) {
            ++damaged;
            continue;
        }
        way.id = sqlite3_column_int64(s, 0);
        const int roadClass = sqlite3_column_int(s, 1);
        way.roadClass = roadClass >= 0 && roadClass <= static_cast<int>(RoadClass::Other)
                            ? static_cast<RoadClass>(roadClass)
                            : RoadClass::Other;
        const auto text = [s](int column, std::string& to) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
            to.assign(t ? t : "", t ? static_cast<std::size_t>(sqlite3_column_bytes(s, column)) : 0);
        };
        text(2, way.name);
        text(3, way.ref);
        way.limitKph = sqlite3_column_int(s, 4);
        if (way.limitKph < kLimitNone)
            way.limitKph = kLimitUnknown;
        text(5, way.limitText);
        way.oneway = sqlite3_column_int(s, 6) != 0;
        ++n;
    }
    if (rc != SQLITE_DONE)
        impl_->lastError =
            failure(impl_->info.path, fmt::format("the file is damaged ({})", sqlite3_errmsg(impl_->db)));
    else if (damaged > 0)
        impl_->lastError = failure(impl_->info.path, fmt::format("{} ways have damaged points", damaged));
    sqlite3_reset(s);
    out.resize(n);
}

const RoadMapInfo& RoadMapFile::info() const
{
    return impl_->info;
}

std::string RoadMapFile::lastError() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->lastError;
}

} // namespace varno::roads
