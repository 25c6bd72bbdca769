// The speech agent on screen.
#include "gui/routes/ScreenAgent.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>

#include "base/AsciiCase.h"
#include "base/InputFile.h"

namespace {

// Pixels per character pixel, and the bubble beside it.
constexpr int kScale = 4;
constexpr int kBubbleWidth = 220;
constexpr int kMargin = 8;
// Where the character stands: this far left of the view's right edge (beyond
// its own width) and its top this far above the view's bottom.
constexpr int kAgentRightGap = 100;
constexpr int kAgentBottomGap = 200;
// A character file is a few kilobytes; anything much larger is not one.
constexpr std::uintmax_t kMaxCharacterBytes = 1 << 20;

} // namespace

// Draws the character's frame and the bubble; the frames turn while it talks.
class AgentWidget final : public QWidget {
public:
    AgentWidget(const varno::speech::AgentCharacter& c, const ScreenAgent::Stage& stage, QWidget* parent)
        : QWidget(parent), character_(c), stage_(stage)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setObjectName(QStringLiteral("speechAgent"));
        animation_.setInterval(180);
        connect(&animation_, &QTimer::timeout, this, [this] {
            ++tick_;
            update();
        });
        quiet_.setSingleShot(true);
        connect(&quiet_, &QTimer::timeout, this, [this] {
            bubble_.clear();
            animation_.stop();
            update();
        });
        parent->installEventFilter(this);
        place();
    }

    void say(const QString& text)
    {
        bubble_ = text;
        animation_.start();
        // Long enough to read, and about as long as the speech takes.
        quiet_.start(std::max(3000, 90 * static_cast<int>(text.size())));
        appear();
        update();
    }
    // Shown where the stage lets it stand; hidden, and shown again when the
    // view changes back, where it does not.
    void appear()
    {
        wanted_ = true;
        place();
        if (onStage_) {
            show();
            raise();
        }
    }
    const QString& bubble() const { return bubble_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched != parentWidget())
            return false;
        if (e->type() == QEvent::Resize)
            place();
        // A repaint may have changed the view shown: a look once it is done.
        else if (e->type() == QEvent::Paint && stage_ && !placing_) {
            placing_ = true;
            QTimer::singleShot(0, this, [this] {
                placing_ = false;
                place();
            });
        }
        return false;
    }

    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const varno::speech::AgentFrame& f = character_.frame(!bubble_.isEmpty(), tick_);
        const int cw = charSize_.width(), ch = charSize_.height();
        const int x0 = width() - cw, y0 = height() - ch;
        const double pixel = double(cw) / character_.width;
        for (int y = 0; y < character_.height; ++y)
            for (int x = 0; x < character_.width; ++x) {
                const std::uint32_t px = f.pixels[static_cast<std::size_t>(y * character_.width + x)];
                if (px >> 24)
                    p.fillRect(QRectF(x0 + x * pixel, y0 + y * pixel, pixel, pixel), QColor::fromRgb(px));
            }
        if (bubble_.isEmpty())
            return;
        QFont font(QStringLiteral("Arial"));
        // The bubble grows with the character.
        const double grow = double(charSize_.width()) / (character_.width * kScale);
        font.setPixelSize(std::max(14, int(14 * grow + 0.5)));
        p.setFont(font);
        const QRect textArea(kMargin, 0, width() - cw - 2 * kMargin, height() - kMargin);
        QRect need = p.fontMetrics().boundingRect(textArea, Qt::TextWordWrap, bubble_);
        need.adjust(-6, -4, 6, 4);
        need.moveBottom(y0 + ch / 2);
        QPainterPath path;
        path.addRoundedRect(need, 8, 8);
        path.moveTo(need.right(), need.bottom() - 14);
        path.lineTo(x0 + 4, y0 + ch / 2 - 6);
        path.lineTo(need.right(), need.bottom() - 4);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(255, 255, 225));
        p.drawPath(path.simplified());
        p.setPen(Qt::black);
        p.drawText(need.adjusted(6, 4, -6, -4), Qt::TextWordWrap, bubble_);
    }

private:
    // The character's top left at (right - its width - 100, bottom - 200) of
    // the view, where the agent of old stood whenever the view reached the
    // screen's right edge (it stood just outside the view otherwise, where a
    // character drawn in the view cannot go); kept inside the view. The
    // bubble is to its left.
    // With a stage, where it says, scaled as the view.
    void place()
    {
        const QWidget* v = parentWidget();
        const QSize natural(character_.width * kScale, character_.height * kScale);
        QRect at;
        if (stage_) {
            const std::optional<QRect> spot = stage_(natural);
            onStage_ = spot.has_value();
            if (!onStage_) {
                hide();
                return;
            }
            at = *spot;
        } else {
            at = QRect(QPoint(std::max(0, v->width() - natural.width() - kAgentRightGap),
                              std::max(0, v->height() - kAgentBottomGap)),
                       natural);
        }
        charSize_ = at.size();
        const int cw = at.width(), ch = at.height();
        const double grow = double(cw) / natural.width();
        const int w = int(kBubbleWidth * grow) + cw;
        const int h = std::max(ch, int(120 * grow));
        // The character stands at the widget's bottom right.
        const QRect g(at.left() + cw - w, at.top() + ch - h, w, h);
        if (g != geometry())
            setGeometry(g);
        if (wanted_ && !isVisible()) {
            show();
            raise();
        }
    }

public:
    QRect characterRect() const
    {
        return QRect(geometry().right() + 1 - charSize_.width(), geometry().bottom() + 1 - charSize_.height(),
                     charSize_.width(), charSize_.height());
    }

private:
    const varno::speech::AgentCharacter& character_;
    const ScreenAgent::Stage& stage_;
    QSize charSize_;
    // Shown by the session (greeted or talking), and whether the view has a place for it now.
    bool wanted_ = false;
    bool onStage_ = true;
    bool placing_ = false;
    QString bubble_;
    unsigned tick_ = 0;
    QTimer animation_;
    QTimer quiet_;
};

ScreenAgent::ScreenAgent(varno::cameras::VoicePlayer* voice, QString bundledCharacter, QObject* parent)
    : QObject(parent), voice_(voice), bundled_(std::move(bundledCharacter))
{
}

ScreenAgent::~ScreenAgent()
{
    unloadCharacter();
}

void ScreenAgent::attach(QWidget* view)
{
    unloadCharacter();
    view_ = view;
}

bool ScreenAgent::loadCharacter(const std::string& path)
{
    unloadCharacter();
    // Microsoft Agent's own files are not read: a name of one stands for the bundled character.
    const bool acs =
        path.size() >= 4 && varno::equalsNoCase(std::string_view(path).substr(path.size() - 4), ".acs");
    const std::string file = acs ? bundled_.toStdString() : path;
    const varno::FileHandle f = varno::openForReading(file, nullptr, kMaxCharacterBytes);
    if (!f)
        return false;
    std::string text;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f.get())) > 0;)
        text.append(buf, n);
    character_ = varno::speech::parseAgentCharacter(text);
    if (!character_)
        return false;
    soundPath_.clear();
    if (!character_->sound.empty())
        soundPath_ =
            QFileInfo(QString::fromStdString(file)).dir().filePath(QString::fromStdString(character_->sound));
    if (view_) {
        widget_ = new AgentWidget(*character_, stage_, view_);
        widget_->hide();
    }
    return true;
}

void ScreenAgent::unloadCharacter()
{
    delete widget_.data();
    character_.reset();
}

void ScreenAgent::setStage(Stage stage)
{
    stage_ = std::move(stage);
}

void ScreenAgent::showAndGreet()
{
    if (widget_)
        widget_->appear();
    if (soundEffects_ && voice_ && !soundPath_.isEmpty())
        voice_->play(soundPath_.toStdString());
}

void ScreenAgent::speak(const std::string& text)
{
    if (!character_)
        return;
    if (widget_)
        widget_->say(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    if (voice_)
        voice_->speak(text);
}

QString ScreenAgent::bubbleText() const
{
    return widget_ && widget_->isVisible() ? widget_->bubble() : QString();
}

QRect ScreenAgent::characterRect() const
{
    return widget_ ? widget_->characterRect() : QRect();
}

bool ScreenAgent::shown() const
{
    return widget_ && widget_->isVisible();
}
