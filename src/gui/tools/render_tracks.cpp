// varno-render-tracks: the track editor's picture of a map file as a PNG, for
// `varno-cli tracks render` (which stays free of Qt and runs this).
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <string>

#include "ScenePainter.h"
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
                 "[--size WxH]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    varno::trackedit::EditorLoadOptions options;
    std::string png;
    int width = 1024, height = 768;
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
