// varno-render-tracks: the track editor's picture of a map file as a PNG, for
// `varno-cli tracks render` (which stays free of Qt and runs this).
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <tuple>
#include <utility>

#include "gui/paint/ScenePainter.h"
#include "trackedit/EditorLoad.h"

namespace {

class StderrPrompt final : public varno::Prompt {
public:
    varno::PromptAnswer show(const std::string& text, varno::PromptButtons, varno::PromptIcon,
                             const std::string&) override
    {
        std::fprintf(stderr, "%s\n", text.c_str());
        return varno::PromptAnswer::Ok;
    }
};

int usage()
{
    std::fprintf(stderr,
                 "usage: varno-cli tracks render MAPFILE [--osm FILE] [--josm FILE] [--srtm FILE] --png OUT "
                 "[--size WxH] [--zoom N] [--centre LAT,LON] [--show names,ref,icons,nodes]\n");
    return 2;
}

// The display toggles named in a comma-separated list; false for an unknown name.
bool parseShow(const std::string& list, varno::trackedit::TrackDisplayFlags& flags)
{
    std::size_t from = 0;
    while (from <= list.size()) {
        const std::size_t comma = std::min(list.find(',', from), list.size());
        const std::string name = list.substr(from, comma - from);
        if (name == "names")
            flags.roadNames = true;
        else if (name == "ref")
            flags.roadRef = true;
        else if (name == "icons")
            flags.icons = true;
        else if (name == "nodes")
            flags.nodeNames = true;
        else
            return false;
        from = comma + 1;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    varno::trackedit::EditorLoadOptions options;
    std::string png;
    int width = 1024, height = 768;
    int zoom = 0; // zoom-in steps about the middle of the fitted view, or about centre
    std::optional<std::pair<double, double>> centre;
    varno::trackedit::TrackDisplayFlags flags;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--osm" && hasValue)
            options.osm = argv[++i];
        else if (a == "--josm" && hasValue)
            options.josm = argv[++i];
        else if (a == "--srtm" && hasValue)
            options.srtm = argv[++i];
        else if (a == "--png" && hasValue)
            png = argv[++i];
        else if (a == "--size" && hasValue) {
            if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2 || width < 1 || height < 1 ||
                width > 16384 || height > 16384)
                return usage();
        } else if (a == "--zoom" && hasValue) {
            char end = 0;
            if (std::sscanf(argv[++i], "%d%c", &zoom, &end) != 1 || zoom < -20 || zoom > 40)
                return usage();
        } else if (a == "--centre" && hasValue) {
            // Read as C numbers whatever the locale: the window system's start
            // set the user's, where "50.3" stops at the point.
            const std::string_view text = argv[++i];
            const std::size_t comma = text.find(',');
            double lat = 0, lon = 0;
            const auto number = [](std::string_view t, double& v) {
                const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
                return ec == std::errc() && end == t.data() + t.size();
            };
            if (comma == std::string_view::npos || !number(text.substr(0, comma), lat) ||
                !number(text.substr(comma + 1), lon) || !(std::fabs(lat) < 90) || !(std::fabs(lon) <= 180))
                return usage();
            centre = std::pair{lat, lon};
        } else if (a == "--show" && hasValue) {
            if (!parseShow(argv[++i], flags))
                return usage();
        } else if (options.mapFile.empty() && !a.starts_with("-"))
            options.mapFile = a;
        else
            return usage();
    }
    if (options.mapFile.empty() || png.empty())
        return usage();

    StderrPrompt messages;
    varno::trackedit::YesPrompt yes(messages);
    varno::trackedit::Editor editor(yes);
    if (const auto error = varno::trackedit::loadIntoEditor(editor, options)) {
        std::fprintf(stderr, "%s\n", error->c_str());
        return 2;
    }
    editor.displayFlags = flags;
    if (zoom != 0 || centre) {
        // Each step is the zoom-in button's; the middle of the map stays put,
        // or the centre asked for comes to the middle.
        const varno::trackedit::EditorProjection& p = editor.projection();
        const double k = 0.017453292519943295;
        double midLat = p.topLatDeg - (height - 134) / 2.0 / (111248.4 * p.scale);
        double midLon = p.leftLonDeg + width / 2.0 / (std::cos(midLat * k) * 111319.2 * p.scale);
        if (centre)
            std::tie(midLat, midLon) = *centre;
        const double scale = p.scale * std::pow(1.4, zoom);
        editor.setOrigin(midLon - width / 2.0 / (std::cos(midLat * k) * 111319.2 * scale),
                         midLat + (height - 134) / 2.0 / (111248.4 * scale), scale);
    }
    varno::views::Scene scene;
    editor.buildScene(scene, width, height);
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        paintScene(painter, scene);
    }
    if (!image.save(QString::fromLocal8Bit(png.c_str()), "PNG")) {
        std::fprintf(stderr, "varno-cli tracks render: cannot write %s\n", png.c_str());
        return 1;
    }
    std::fprintf(stderr, "tracks render: %dx%d, %zu scene items\n", width, height, scene.items.size());
    return 0;
}
