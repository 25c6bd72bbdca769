// Draws any view's scene, as the core built it, with QPainter.
#include "gui/paint/ScenePainter.h"

#include <QFontMetrics>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QStaticText>
#include <cstdlib>
#include <map>
#include <tuple>
#include <vector>

#include "gui/paint/CameraTypeIcons.h"
#include "gui/paint/ColourConvert.h"
#include "gui/paint/EditorIcons.h"

using namespace varno::views;

namespace {

// Rectangles of the scene include their left and top edges and stop short of
// their right and bottom ones.
QRect toQRect(const Rect& r)
{
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

struct LayoutFont {
    QFont font;
    int ascent = 0;
};

const LayoutFont& fontFor(const std::string& family, int cellHeight)
{
    static std::map<std::pair<std::string, int>, LayoutFont> fonts;
    auto key = std::make_pair(family, cellHeight);
    auto it = fonts.find(key);
    if (it == fonts.end()) {
        // The scene gives heights of the whole character cell (ascent +
        // descent); Qt sizes fonts by the em, which is a little smaller.
        QFont f(QString::fromStdString(family));
        f.setPixelSize(cellHeight);
        f.setWeight(QFont::Normal);
        const int h = QFontMetrics(f).height();
        if (h > 0 && h != cellHeight)
            f.setPixelSize(std::max(1, cellHeight * cellHeight / h));
        const int ascent = QFontMetrics(f).ascent();
        it = fonts.emplace(std::move(key), LayoutFont{f, ascent}).first;
    }
    return it->second;
}

// Laid-out texts, so a text drawn again (a map label on every repaint) is not
// shaped again. Kept per font; emptied when it grows large.
const QStaticText& staticText(const LayoutFont& font, const std::string& bytes)
{
    static std::map<std::pair<const LayoutFont*, std::string>, QStaticText> cache;
    if (cache.size() > 8192)
        cache.clear();
    auto key = std::make_pair(&font, bytes);
    auto it = cache.find(key);
    if (it == cache.end()) {
        QStaticText t(textFromBytes(bytes));
        t.setTextFormat(Qt::PlainText);
        t.setPerformanceHint(QStaticText::AggressiveCaching);
        t.prepare(QTransform(), font.font);
        it = cache.emplace(std::move(key), std::move(t)).first;
    }
    return it->second;
}

// Texts drawn once into a picture of their own and copied from it on every
// repaint after: a view's hundreds of labels then cost one copy each instead
// of one blend per letter (the same pixels, as the letters are blended the
// same way, only earlier). Emptied when it holds much.
struct TextPicture {
    QImage image;
    QPoint offset; // of the picture's corner from the text's origin, in logical pixels
};

const TextPicture& textPicture(const LayoutFont& font, const QStaticText& text, const std::string& bytes,
                               QRgb colour, qreal dpr)
{
    using Key = std::tuple<const LayoutFont*, std::string, QRgb, qreal>;
    static std::map<Key, TextPicture> cache;
    static std::size_t bytesHeld = 0;
    if (bytesHeld > (16u << 20)) {
        cache.clear();
        bytesHeld = 0;
    }
    Key key{&font, bytes, colour, dpr};
    auto it = cache.find(key);
    if (it == cache.end()) {
        // Room for the ink wherever it reaches past the text's box, as
        // letters with overhangs do, and a pixel for the smoothing.
        const QRect ink = QFontMetrics(font.font).boundingRect(text.text()).translated(0, font.ascent);
        const QRect box = ink.united(QRect(QPoint(0, 0), text.size().toSize())).adjusted(-1, -1, 1, 1);
        QImage image((QSizeF(box.size()) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.setFont(font.font);
            p.setPen(QColor::fromRgba(colour));
            p.drawStaticText(-box.topLeft(), text);
        }
        bytesHeld += static_cast<std::size_t>(image.sizeInBytes()) + bytes.size();
        it = cache.emplace(std::move(key), TextPicture{std::move(image), box.topLeft()}).first;
    }
    return it->second;
}

bool none(std::uint32_t colour)
{
    return (colour & kNoColour) != 0;
}

// The pixels QPainter sets for one wide line from (0, 0) to (dx, dy), drawn
// once into a small image by QPainter itself.
struct PixelOffset {
    int dx, dy;
};
const std::vector<PixelOffset>& widePen(int dx, int dy, int width)
{
    static std::map<std::tuple<int, int, int>, std::vector<PixelOffset>> shapes;
    const auto key = std::make_tuple(dx, dy, width);
    auto it = shapes.find(key);
    if (it != shapes.end())
        return it->second;
    const int margin = width + 2;
    const int ox = margin + std::max(0, -dx), oy = margin + std::max(0, -dy);
    QImage img(2 * margin + std::abs(dx) + 1, 2 * margin + std::abs(dy) + 1,
               QImage::Format_ARGB32_Premultiplied);
    img.fill(0);
    {
        QPainter p(&img);
        p.setPen(QPen(Qt::white, width));
        p.drawLine(ox, oy, ox + dx, oy + dy);
    }
    std::vector<PixelOffset> pixels;
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (row[x] != 0)
                pixels.push_back({x - ox, y - oy});
    }
    return shapes.emplace(key, std::move(pixels)).first->second;
}

// Many short wide lines (a trail drawn pixel step by pixel step) cost QPainter
// a stroke each. QPainter strokes them sixteen at a time, and a batch that lies
// well inside the clip gets the pixels of its lines' shapes wherever they are;
// such batches are stamped from the shapes QPainter drew once into one layer
// drawn in a single call. Batches near the clip's edges or with long lines,
// and painters that scale or smooth, are left to QPainter in the same batches.
// False when it drew nothing itself.
constexpr int kStampReach = 16;
constexpr int kStampMinLines = 64;
constexpr qsizetype kQPainterBatch = 16;
bool stampWideLines(QPainter& p, const QVector<QLine>& lines, int width, QRgb colour, const QRect& clip,
                    QVector<QLine>& rest)
{
    if (lines.size() < kStampMinLines || width < 2 || clip.isEmpty() ||
        p.deviceTransform().type() != QTransform::TxNone || p.testRenderHint(QPainter::Antialiasing) ||
        p.compositionMode() != QPainter::CompositionMode_SourceOver)
        return false;
    const int margin = 2 * width + 2;
    const QRect inner = clip.adjusted(margin, margin, -margin, -margin);
    if (inner.isEmpty())
        return false;
    QRect box;
    std::vector<qsizetype> batches; // the first line of each stamped batch
    for (qsizetype first = 0; first < lines.size(); first += kQPainterBatch) {
        const qsizetype end = std::min(lines.size(), first + kQPainterBatch);
        QRect span;
        bool stamp = true;
        for (qsizetype i = first; i < end && stamp; ++i) {
            const QLine& l = lines[i];
            stamp = std::abs(l.dx()) <= kStampReach && std::abs(l.dy()) <= kStampReach;
            span = span.united(QRect(l.p1(), l.p2()).normalized());
        }
        if (stamp && inner.contains(span)) {
            batches.push_back(first);
            box = box.united(span);
        } else {
            for (qsizetype i = first; i < end; ++i)
                rest.append(lines[i]);
        }
    }
    if (batches.empty())
        return false;
    box.adjust(-width - 2, -width - 2, width + 2, width + 2);
    QImage layer(box.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(0);
    auto* bits = reinterpret_cast<QRgb*>(layer.bits());
    const qsizetype stride = layer.bytesPerLine() / 4;
    for (const qsizetype first : batches) {
        for (qsizetype i = first; i < std::min(lines.size(), first + kQPainterBatch); ++i) {
            const QLine& l = lines[i];
            const int bx = l.x1() - box.left(), by = l.y1() - box.top();
            for (const PixelOffset& o : widePen(l.dx(), l.dy(), width))
                bits[(by + o.dy) * stride + bx + o.dx] = colour;
        }
    }
    p.drawImage(box.topLeft(), layer);
    return true;
}

// Sets only what changed since the last item: most items share their
// clip, pen and font with the one before.
class Painter {
public:
    Painter(QPainter& p, TextDrawing texts)
        : p_(p), scaled_(p.worldTransform().isScaling()),
          // Pictures of texts only where the painter draws pixels anyway (not
          // into a PDF or a printer, where text stays text).
          textPictures_(texts == TextDrawing::Pictures && p.paintEngine() &&
                        p.paintEngine()->type() == QPaintEngine::Raster),
          dpr_(p.device() ? p.device()->devicePixelRatio() : 1.0)
    {
        p_.save();
    }
    ~Painter() { p_.restore(); }
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    void operator()(const FillItem& f)
    {
        flushLines();
        clip(Rect{});
        p_.fillRect(toQRect(f.rect), toQColor(f.colour));
    }

    void operator()(const FrameItem& f)
    {
        flushLines();
        clip(Rect{});
        const QRect r = toQRect(f.rect);
        const QColor c = toQColor(f.colour);
        const int w = std::min({f.width, (r.width() + 1) / 2, (r.height() + 1) / 2});
        p_.fillRect(QRect(r.left(), r.top(), r.width(), w), c);
        p_.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), c);
        p_.fillRect(QRect(r.left(), r.top() + w, w, r.height() - 2 * w), c);
        p_.fillRect(QRect(r.right() - w + 1, r.top() + w, w, r.height() - 2 * w), c);
    }

    void operator()(const TextItem& t)
    {
        flushLines();
        clip(t.clip);
        if (!font_ || fontFamily_ != t.family || fontHeight_ != t.cellHeight) {
            font_ = &fontFor(t.family, t.cellHeight);
            fontFamily_ = t.family;
            fontHeight_ = t.cellHeight;
            p_.setFont(font_->font);
        }
        pen(t.colour, 0);
        if (t.centred) {
            // A notice's words, centred in their box; shrunk to fit a narrow box.
            const QString s = textFromBytes(t.text);
            const QRect box = toQRect(t.clip);
            QFont f = font_->font;
            const int width = QFontMetrics(f).horizontalAdvance(s);
            if (width > box.width() - 16 && width > 0) {
                f.setPixelSize(std::max(8, f.pixelSize() * (box.width() - 16) / width));
                p_.setFont(f);
            }
            p_.setBackgroundMode(Qt::TransparentMode);
            p_.drawText(box, Qt::AlignCenter, s);
            if (f != font_->font)
                p_.setFont(font_->font);
            return;
        }
        if (t.angleDeg != 0) {
            // A name along a road: laid out as drawn, turned about its corner.
            p_.save();
            p_.translate(t.x, t.y);
            p_.rotate(t.angleDeg);
            p_.setBackgroundMode(Qt::TransparentMode);
            p_.drawText(QPoint(0, font_->ascent), textFromBytes(t.text));
            p_.restore();
            return;
        }
        if (!scaled_) {
            // At 1:1 the text's layout is kept between repaints; a background
            // box is filled under it first. Text origins are the top left of
            // the cell.
            const QStaticText& text = staticText(*font_, t.text);
            if (!none(t.background))
                p_.fillRect(QRectF(QPointF(t.x, t.y), text.size()), toQColor(t.background));
            if (textPictures_) {
                const TextPicture& picture =
                    textPicture(*font_, text, t.text, toQColor(t.colour).rgba(), dpr_);
                p_.drawImage(QPoint(t.x, t.y) + picture.offset, picture.image);
            } else {
                p_.drawStaticText(QPoint(t.x, t.y), text);
            }
            return;
        }
        // Scaled, a kept layout would keep its letters' 1:1 places and run
        // them into each other, so the text is laid out as drawn.
        if (none(t.background)) {
            p_.setBackgroundMode(Qt::TransparentMode);
        } else {
            p_.setBackgroundMode(Qt::OpaqueMode);
            p_.setBackground(toQColor(t.background));
        }
        p_.drawText(QPoint(t.x, t.y + font_->ascent), textFromBytes(t.text));
    }

    // One-pixel lines are handed to the painter in runs of one pen and clip.
    void operator()(const PolylineItem& l)
    {
        if (l.points.size() < 2)
            return;
        if (!run_.isEmpty() && (runColour_ != l.colour || runWidth_ != l.width || !(runClip_ == l.clip)))
            flushLines();
        runColour_ = l.colour;
        runWidth_ = l.width;
        runClip_ = l.clip;
        for (std::size_t i = 1; i < l.points.size(); ++i)
            run_.append(QLine(l.points[i - 1].x, l.points[i - 1].y, l.points[i].x, l.points[i].y));
    }

    void operator()(const EllipseItem& e)
    {
        flushLines();
        clip(Rect{});
        const QRect r = toQRect(e.rect);
        pen(e.pen, e.width);
        if (e.spanDeg >= 360 || e.spanDeg <= -360) {
            p_.setBrush(none(e.fill) ? QBrush(Qt::NoBrush) : QBrush(toQColor(e.fill)));
            p_.drawEllipse(r);
            p_.setBrush(Qt::NoBrush);
        } else if (none(e.fill)) {
            p_.drawArc(r, e.startDeg * 16, e.spanDeg * 16);
        } else {
            p_.setBrush(toQColor(e.fill));
            p_.drawPie(r, e.startDeg * 16, e.spanDeg * 16);
            p_.setBrush(Qt::NoBrush);
        }
    }

    void operator()(const IconItem& i)
    {
        flushLines();
        clip(Rect{});
        p_.drawImage(QPoint(i.x, i.y), isEditorIcon(i.icon) ? editorIcon(i.icon) : cameraTypeIcon(i.icon));
    }

    void operator()(const RasterItem& r)
    {
        flushLines();
        clip(Rect{});
        if (!r.image || r.image->width <= 0 || r.image->height <= 0 ||
            r.image->pixels.size() < std::size_t(r.image->width) * std::size_t(r.image->height))
            return;
        // 0xAABBGGRR words are the bytes R, G, B, A in memory on this machine.
        const QImage img(reinterpret_cast<const uchar*>(r.image->pixels.data()), r.image->width,
                         r.image->height, r.image->width * 4, QImage::Format_RGBA8888);
        p_.drawImage(QPoint(r.x, r.y), img);
    }

    void flushLines()
    {
        if (run_.isEmpty())
            return;
        clip(runClip_);
        pen(runColour_, runWidth_);
        if (!none(runColour_) && !(runClip_ == Rect{})) {
            QVector<QLine> rest;
            if (stampWideLines(p_, run_, runWidth_, toQColor(runColour_).rgba(), toQRect(runClip_), rest)) {
                if (!rest.isEmpty())
                    p_.drawLines(rest);
                run_.clear();
                return;
            }
        }
        p_.drawLines(run_);
        run_.clear();
    }

private:
    void clip(const Rect& r)
    {
        if (clipSet_ && r == clip_)
            return;
        clipSet_ = true;
        clip_ = r;
        if (r == Rect{})
            p_.setClipping(false);
        else
            p_.setClipRect(toQRect(r));
    }

    void pen(std::uint32_t colour, int width)
    {
        if (penSet_ && colour == penColour_ && width == penWidth_)
            return;
        penSet_ = true;
        penColour_ = colour;
        penWidth_ = width;
        if (none(colour))
            p_.setPen(Qt::NoPen);
        else
            p_.setPen(QPen(toQColor(colour), width));
    }

    QPainter& p_;
    const bool scaled_;
    const bool textPictures_;
    const qreal dpr_;
    bool clipSet_ = false;
    Rect clip_;
    bool penSet_ = false;
    std::uint32_t penColour_ = 0;
    int penWidth_ = 0;
    const LayoutFont* font_ = nullptr;
    std::string fontFamily_;
    int fontHeight_ = 0;
    QVector<QLine> run_;
    std::uint32_t runColour_ = 0;
    int runWidth_ = 0;
    Rect runClip_;
};

} // namespace

void paintScene(QPainter& p, const Scene& scene, TextDrawing texts)
{
    Painter painter(p, texts);
    for (const SceneItem& item : scene.items)
        std::visit(painter, item);
    painter.flushLines();
}
