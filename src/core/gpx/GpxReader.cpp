#include "gpx/GpxReader.h"

#include <expat.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fmt/format.h>
#include <vector>

#include "base/InputFile.h"
#include "base/Numbers.h"

namespace varno::gpx {

std::string Error::text() const
{
    if (line == 0)
        return fmt::format("{}: {}", file, message);
    return fmt::format("{}:{}:{}: {}", file, line, column, message);
}

namespace {

constexpr std::size_t kBlockBytes = 64 * 1024;

enum class Kind : std::uint8_t {
    Other, // passed over, with everything inside it
    Gpx,
    Wpt,
    Rte,
    Rtept,
    Trk,
    Trkseg,
    Trkpt,
    Name,
    Desc,
    Ele,
    Time,
};

bool isGpxNamespace(std::string_view ns)
{
    // Both versions and the odd writer that leaves the namespace out.
    return ns.empty() || ns.starts_with("http://www.topografix.com/GPX/");
}

// Compares without measuring the whole name first: attribute names are many.
bool startsWith(const char* text, std::string_view prefix)
{
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (text[i] != prefix[i])
            return false; // also where the text ends, at its NUL
    return true;
}

std::optional<double> parseNumber(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\n' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n' || s.back() == '\r'))
        s.remove_suffix(1);
    double v = 0.0;
    if (!s.empty() && shortDecimal(s, v) == s.size())
        return v;
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

class Parser {
public:
    Parser(Visitor& visitor, const std::string& name, const Limits& limits)
        : visitor_(visitor), name_(name), limits_(limits)
    {
        xml_ = XML_ParserCreate(nullptr);
        if (!xml_)
            return;
        XML_SetUserData(xml_, this);
        XML_SetElementHandler(xml_, &Parser::onStart, &Parser::onEnd);
        details_ = visitor_.wantsPointDetails();
        XML_SetEntityDeclHandler(xml_, &Parser::onEntityDecl);
    }
    ~Parser()
    {
        if (xml_)
            XML_ParserFree(xml_);
    }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    // Feeds one block; false once the reading has ended with an error.
    bool feed(const char* data, std::size_t size, bool last)
    {
        if (!xml_) {
            fail("out of memory for the XML parser");
            return false;
        }
        countLines(data, size);
        while (true) {
            const int n = static_cast<int>(std::min<std::size_t>(size, 1 << 30));
            const bool final = last && static_cast<std::size_t>(n) == size;
            if (!parsed(XML_Parse(xml_, data, n, final ? 1 : 0)))
                return false;
            data += n;
            size -= static_cast<std::size_t>(n);
            if (size == 0)
                break;
        }
        return finish(last);
    }

    // Expat's own buffer for the next block, read straight into it to spare a
    // copy; nullptr (with the error set) when it cannot be had.
    char* buffer(std::size_t size)
    {
        void* b = xml_ ? XML_GetBuffer(xml_, static_cast<int>(size)) : nullptr;
        if (!b)
            fail("out of memory for the XML parser");
        block_ = static_cast<char*>(b);
        return block_;
    }
    // Parses what was read into buffer(); false once the reading has ended with an error.
    bool parseBuffer(std::size_t size, bool last)
    {
        countLines(block_, size);
        return parsed(XML_ParseBuffer(xml_, static_cast<int>(size), last ? 1 : 0)) && finish(last);
    }

    std::optional<Error> takeError() { return std::move(error_); }

    // The visitor asked to stop while no block was being parsed.
    void stopBetweenBlocks()
    {
        if (!error_) {
            error_ = here("stopped");
            error_->stopped = true;
        }
    }

private:
    bool parsed(XML_Status status)
    {
        if (status != XML_STATUS_OK && !error_)
            error_ = here(XML_ErrorString(XML_GetErrorCode(xml_)));
        return !error_;
    }
    bool finish(bool last)
    {
        if (last && !error_ && !sawRoot_)
            error_ = here("no <gpx> element");
        if (last && !error_)
            visitor_.documentEnd(newlines_ + (lastByte_ != '\n' && lastByte_ != '\0' ? 1 : 0));
        return !error_;
    }
    // Lines of the document, for converters that report how many they read.
    void countLines(const char* data, std::size_t size)
    {
        if (size == 0)
            return;
        newlines_ += static_cast<std::uint64_t>(std::count(data, data + size, '\n'));
        lastByte_ = data[size - 1] == '\0' ? ' ' : data[size - 1];
    }

    Error here(std::string message) const
    {
        Error e;
        e.file = name_;
        e.line = XML_GetCurrentLineNumber(xml_);
        e.column = XML_GetCurrentColumnNumber(xml_) + 1;
        e.message = std::move(message);
        return e;
    }
    void fail(std::string message)
    {
        if (error_)
            return;
        if (xml_) {
            error_ = here(std::move(message));
            XML_StopParser(xml_, XML_FALSE);
        } else {
            error_ = Error{name_, 0, 0, std::move(message), false};
        }
    }
    void checkStop()
    {
        if (!error_ && visitor_.wantsStop()) {
            fail("stopped");
            error_->stopped = true;
        }
    }

    static void onStart(void* self, const XML_Char* name, const XML_Char** attrs)
    {
        static_cast<Parser*>(self)->start(name, attrs);
    }
    static void onEnd(void* self, const XML_Char* /*name*/) { static_cast<Parser*>(self)->end(); }
    static void onText(void* self, const XML_Char* s, int len)
    {
        auto* p = static_cast<Parser*>(self);
        if (p->collecting_ && p->text_.size() < p->limits_.maxTextBytes)
            p->text_.append(s, std::min<std::size_t>(static_cast<std::size_t>(len),
                                                     p->limits_.maxTextBytes - p->text_.size()));
    }
    static void onEntityDecl(void* self, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                             const XML_Char*, const XML_Char*, const XML_Char*)
    {
        // Entities could blow a few bytes up into gigabytes; GPX never needs them.
        static_cast<Parser*>(self)->fail("entity declarations are not accepted in GPX");
    }

    void start(const XML_Char* qname, const XML_Char** attrs)
    {
        if (error_)
            return;
        if (stack_.size() >= limits_.maxDepth) {
            fail(fmt::format("elements nested deeper than {}", limits_.maxDepth));
            return;
        }
        const Kind parent = stack_.empty() ? Kind::Other : stack_.back();
        // Inside an element passed over, and inside points whose details are
        // not wanted, every element is passed over: its name need not be read.
        if (!stack_.empty() &&
            (parent == Kind::Other ||
             (!details_ && (parent == Kind::Wpt || parent == Kind::Rtept || parent == Kind::Trkpt)))) {
            stack_.push_back(Kind::Other);
            return;
        }
        bindNamespaces(attrs);
        std::string_view local(qname), prefix;
        if (auto colon = local.find(':'); colon != std::string_view::npos) {
            prefix = local.substr(0, colon);
            local.remove_prefix(colon + 1);
        }
        const std::optional<std::string_view> ns = namespaceOf(prefix);
        if (!ns) {
            fail("unbound prefix");
            return;
        }
        Kind kind = Kind::Other;
        if (stack_.empty()) {
            if (local != "gpx") {
                fail(fmt::format("not a GPX file: the document element is <{}>", local));
                return;
            }
            sawRoot_ = true;
            kind = Kind::Gpx;
        } else if (parent != Kind::Other && isGpxNamespace(*ns)) {
            kind = childKind(parent, local);
            const bool inPoint = parent == Kind::Wpt || parent == Kind::Rtept || parent == Kind::Trkpt;
            if (inPoint && !details_)
                kind = Kind::Other;
        }
        stack_.push_back(kind);

        switch (kind) {
        case Kind::Wpt:
        case Kind::Rtept:
        case Kind::Trkpt:
            if (kind == Kind::Rtept)
                startRoute();
            point_ = Point{};
            skipPoint_ = false;
            readPosition(attrs);
            break;
        case Kind::Rte:
        case Kind::Trk:
            owner_ = Owner{};
            break;
        case Kind::Trkseg:
            startTrack();
            if (!error_) {
                visitor_.segmentStart();
                checkStop();
            }
            break;
        case Kind::Name:
        case Kind::Desc:
        case Kind::Ele:
        case Kind::Time:
            // Text is taken only inside these; elsewhere expat need not hand it over.
            collecting_ = true;
            text_.clear();
            XML_SetCharacterDataHandler(xml_, &Parser::onText);
            break;
        default:
            break;
        }
    }

    // Namespaces are followed here rather than by expat, which would build the
    // full name of every element, wanted or not. Only elements that are read
    // declare them: everything inside an element passed over is passed over.
    void bindNamespaces(const XML_Char** attrs)
    {
        for (; attrs && attrs[0]; attrs += 2) {
            const XML_Char* key = attrs[0];
            if (!startsWith(key, "xmlns"))
                continue;
            if (key[5] == '\0')
                bindings_.push_back({std::string(), attrs[1], stack_.size()});
            else if (key[5] == ':')
                bindings_.push_back({std::string(key + 6), attrs[1], stack_.size()});
        }
    }
    // The innermost declaration of a prefix, with no namespace for an element
    // without one and none declared; nullopt for a prefix never declared.
    std::optional<std::string_view> namespaceOf(std::string_view prefix) const
    {
        for (auto b = bindings_.rbegin(); b != bindings_.rend(); ++b)
            if (b->prefix == prefix)
                return b->uri;
        if (prefix == "xml")
            return "http://www.w3.org/XML/1998/namespace";
        if (prefix.empty())
            return std::string_view();
        return std::nullopt;
    }

    static Kind childKind(Kind parent, std::string_view local)
    {
        switch (parent) {
        case Kind::Gpx:
            if (local == "wpt")
                return Kind::Wpt;
            if (local == "rte")
                return Kind::Rte;
            if (local == "trk")
                return Kind::Trk;
            return Kind::Other;
        case Kind::Rte:
            if (local == "rtept")
                return Kind::Rtept;
            return local == "name" ? Kind::Name : Kind::Other;
        case Kind::Trk:
            if (local == "trkseg")
                return Kind::Trkseg;
            return local == "name" ? Kind::Name : Kind::Other;
        case Kind::Trkseg:
            return local == "trkpt" ? Kind::Trkpt : Kind::Other;
        case Kind::Wpt:
        case Kind::Rtept:
        case Kind::Trkpt:
            if (local == "name")
                return Kind::Name;
            if (local == "desc")
                return Kind::Desc;
            if (local == "ele")
                return Kind::Ele;
            if (local == "time")
                return Kind::Time;
            return Kind::Other;
        default:
            return Kind::Other;
        }
    }

    void readPosition(const XML_Char** attrs)
    {
        std::optional<double> lat, lon;
        bool seenLat = false, seenLon = false;
        for (; attrs && attrs[0]; attrs += 2) {
            const XML_Char* key = attrs[0];
            if (startsWith(key, "lat") && key[3] == '\0') {
                seenLat = true;
                lat = parseNumber(attrs[1]);
                point_.latText = attrs[1];
            } else if (startsWith(key, "lon") && key[3] == '\0') {
                seenLon = true;
                lon = parseNumber(attrs[1]);
                point_.lonText = attrs[1];
            }
        }
        if (!seenLat || !seenLon)
            badPoint(seenLat ? "point without a lon attribute" : "point without a lat attribute");
        else if (!lat || !lon)
            badPoint(!lat ? "point with a lat that is not a number" : "point with a lon that is not a number");
        else if (std::fabs(*lat) > 90.0 || std::fabs(*lon) > 180.0)
            badPoint(std::fabs(*lat) > 90.0 ? "point with a lat beyond 90 degrees"
                                            : "point with a lon beyond 180 degrees");
        else {
            point_.latDeg = *lat;
            point_.lonDeg = *lon;
        }
    }

    void badPoint(std::string message)
    {
        if (!error_ && visitor_.passOverPoint(here(message)))
            skipPoint_ = true;
        else
            fail(std::move(message));
    }

    void startRoute()
    {
        if (!owner_.started && !error_) {
            owner_.started = true;
            visitor_.routeStart(owner_.name);
            checkStop();
        }
    }
    void startTrack()
    {
        if (!owner_.started && !error_) {
            owner_.started = true;
            visitor_.trackStart(owner_.name);
            checkStop();
        }
    }

    void end()
    {
        if (error_ || stack_.empty())
            return;
        const Kind kind = stack_.back();
        stack_.pop_back();
        while (!bindings_.empty() && bindings_.back().depth >= stack_.size())
            bindings_.pop_back();
        const Kind parent = stack_.empty() ? Kind::Other : stack_.back();
        switch (kind) {
        case Kind::Wpt:
            if (!skipPoint_)
                visitor_.waypoint(point_);
            break;
        case Kind::Rtept:
            if (!skipPoint_)
                visitor_.routePoint(point_);
            break;
        case Kind::Trkpt:
            if (!skipPoint_)
                visitor_.trackPoint(point_);
            break;
        case Kind::Rte:
            startRoute();
            if (!error_)
                visitor_.routeEnd();
            break;
        case Kind::Trkseg:
            visitor_.segmentEnd();
            break;
        case Kind::Trk:
            startTrack();
            if (!error_)
                visitor_.trackEnd();
            break;
        case Kind::Name:
            stopCollecting();
            if (parent == Kind::Rte || parent == Kind::Trk) {
                if (!owner_.started)
                    owner_.name = text_;
            } else {
                point_.name = text_;
            }
            break;
        case Kind::Desc:
            stopCollecting();
            point_.desc = text_;
            break;
        case Kind::Ele:
            stopCollecting();
            point_.eleMetres = parseNumber(text_);
            break;
        case Kind::Time:
            stopCollecting();
            point_.time = text_;
            break;
        default:
            return;
        }
        checkStop();
    }

    void stopCollecting()
    {
        collecting_ = false;
        XML_SetCharacterDataHandler(xml_, nullptr);
    }

    struct Binding {
        std::string prefix;
        std::string uri;
        std::size_t depth;
    };

    struct Owner {
        std::string name;
        bool started = false;
    };

    Visitor& visitor_;
    const std::string& name_;
    Limits limits_;
    XML_Parser xml_ = nullptr;
    char* block_ = nullptr;
    std::uint64_t newlines_ = 0;
    char lastByte_ = '\0';
    std::vector<Kind> stack_;
    std::vector<Binding> bindings_;
    Point point_;
    bool skipPoint_ = false; // the point had no usable position and is passed over
    Owner owner_;
    std::string text_;
    bool collecting_ = false;
    bool details_ = true;
    bool sawRoot_ = false;
    std::optional<Error> error_;
};

} // namespace

std::optional<Error> readBytes(std::string_view bytes, Visitor& visitor, const std::string& name,
                               const Limits& limits)
{
    Parser parser(visitor, name, limits);
    parser.feed(bytes.data(), bytes.size(), true);
    return parser.takeError();
}

std::optional<Error> read(std::istream& in, Visitor& visitor, const std::string& name, const Limits& limits)
{
    Parser parser(visitor, name, limits);
    std::vector<char> block(kBlockBytes);
    while (true) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (in.bad())
            return Error{name, 0, 0, "read error", false};
        const bool last = !in;
        if (!parser.feed(block.data(), got, last) || last)
            break;
    }
    return parser.takeError();
}

std::optional<Error> readFile(const std::string& path, Visitor& visitor, const Limits& limits)
{
    std::string refusal;
    FileHandle f = openForReading(path, &refusal);
    if (!f) {
        const int err = errno;
        return Error{path, 0, 0, refusal.empty() ? std::string(std::strerror(err)) : refusal, false};
    }
    Parser parser(visitor, path, limits);
    std::error_code sizeError;
    const std::uintmax_t size = std::filesystem::file_size(path, sizeError);
    const std::uint64_t total = sizeError ? 0 : static_cast<std::uint64_t>(size);
    std::uint64_t done = 0;
    while (true) {
        char* block = parser.buffer(kBlockBytes);
        if (!block)
            break;
        const std::size_t got = std::fread(block, 1, kBlockBytes, f.get());
        if (std::ferror(f.get()))
            return Error{path, 0, 0, std::string("read error: ") + std::strerror(errno), false};
        const bool last = got < kBlockBytes;
        if (!parser.parseBuffer(got, last) || last)
            break;
        done += got;
        visitor.bytesRead(done, total);
        if (visitor.wantsStop()) {
            parser.stopBetweenBlocks();
            break;
        }
    }
    return parser.takeError();
}

} // namespace varno::gpx
