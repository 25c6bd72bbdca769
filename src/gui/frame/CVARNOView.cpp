// The one view: takes the pending sentence at each repaint and paints the current map view's scene.
#include "gui/frame/CVARNOView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPainter>

#include "gui/paint/ColourConvert.h"
#include "gui/paint/ScenePainter.h"
#include "settings/Settings.h"
#include "views/AgentSpot.h"
#include "views/CameraViewScene.h"

using varno::session::SentenceRoad;
using varno::session::Session;
using varno::views::KeyPress;
using varno::views::PointerEvent;

CVARNOView::CVARNOView(Session& session, QWidget* parent) : QWidget(parent), session_(session)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    scaleWithWindow_ = session_.settings().read(varno::settings::keys::ScaleWithWindow) == 1;
}

void CVARNOView::setScaleWithWindow(bool on)
{
    scaleWithWindow_ = on;
    update();
}

void CVARNOView::onNewSentence()
{
    session_.road().notify();
    repaint();
}

void CVARNOView::paintEvent(QPaintEvent*)
{
    auto painted = session_.road().repaint({width(), height(), scaleWithWindow_});
    if (!painted)
        return;
    scale_ = painted->scale;
    scene_ = std::move(painted->scene);
    const SentenceRoad::Intake& in = painted->intake;

    const auto* strip = scene_.textAt(varno::views::kStripTextX, varno::views::kStripTextY);
    stripText_ = strip ? textFromBytes(strip->text) : QString();
    QPainter p(this);
    if (!scale_.identity()) {
        // Letterbox in the window fill, then the layout scaled and centred.
        const auto* fill =
            scene_.items.empty() ? nullptr : std::get_if<varno::views::FillItem>(&scene_.items[0]);
        p.fillRect(rect(), fill ? toQColor(fill->colour) : QColor(Qt::white));
        p.translate(scale_.dx, scale_.dy);
        p.scale(scale_.factor, scale_.factor);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
    }
    paintScene(p, scene_);
    if (in.taken)
        emit sentenceTaken(in.checksumOk);
}

std::optional<QRect> CVARNOView::agentSpot(QSize character) const
{
    const auto spot = varno::views::agentSpot(scene_, session_.viewState().current(), scale_.logicalWidth,
                                              scale_.logicalHeight, character.width(), character.height());
    if (!spot)
        return std::nullopt;
    const auto at = [this](int x, int y) {
        return QPoint(int(scale_.dx + x * scale_.factor + 0.5), int(scale_.dy + y * scale_.factor + 0.5));
    };
    return QRect(at(spot->left, spot->top), at(spot->right, spot->bottom) - QPoint(1, 1));
}

PointerEvent CVARNOView::pointerEvent(const QMouseEvent& event, PointerEvent::Kind kind) const
{
    PointerEvent e;
    e.kind = kind;
    switch (event.button()) {
    case Qt::LeftButton:
        e.button = PointerEvent::Button::Left;
        break;
    case Qt::RightButton:
        e.button = PointerEvent::Button::Right;
        break;
    case Qt::MiddleButton:
        e.button = PointerEvent::Button::Middle;
        break;
    default:
        break;
    }
    const auto at = scale_.toLogical(event.position().x(), event.position().y());
    e.x = at.x;
    e.y = at.y;
    return e;
}

void CVARNOView::pointer(QMouseEvent* event, PointerEvent::Kind kind)
{
    if (session_.pointer(pointerEvent(*event, kind)))
        update();
}

void CVARNOView::mousePressEvent(QMouseEvent* event)
{
    pointer(event, PointerEvent::Kind::Press);
}

void CVARNOView::mouseMoveEvent(QMouseEvent* event)
{
    pointer(event, PointerEvent::Kind::Move);
}

void CVARNOView::mouseReleaseEvent(QMouseEvent* event)
{
    pointer(event, PointerEvent::Kind::Release);
}

void CVARNOView::mouseDoubleClickEvent(QMouseEvent* event)
{
    pointer(event, PointerEvent::Kind::DoubleClick);
}

void CVARNOView::wheelEvent(QWheelEvent* event)
{
    // A wheel turn goes the way of the mouse events, position and all.
    const QMouseEvent at(QEvent::MouseMove, event->position(), event->globalPosition(), Qt::NoButton,
                         event->buttons(), event->modifiers());
    PointerEvent e = pointerEvent(at, PointerEvent::Kind::Wheel);
    e.wheelDelta = event->angleDelta().y();
    if (session_.pointer(e))
        update();
    event->accept();
}

void CVARNOView::keyPressEvent(QKeyEvent* event)
{
    using Key = KeyPress::Key;
    KeyPress k;
    switch (event->key()) {
    case Qt::Key_Left:
        k.key = Key::Left;
        break;
    case Qt::Key_Right:
        k.key = Key::Right;
        break;
    case Qt::Key_Up:
        k.key = Key::Up;
        break;
    case Qt::Key_Down:
        k.key = Key::Down;
        break;
    case Qt::Key_PageUp:
        k.key = Key::PageUp;
        break;
    case Qt::Key_PageDown:
        k.key = Key::PageDown;
        break;
    case Qt::Key_Home:
        k.key = Key::Home;
        break;
    case Qt::Key_End:
        k.key = Key::End;
        break;
    case Qt::Key_Delete:
        k.key = Key::Delete;
        break;
    case Qt::Key_Escape:
        k.key = Key::Escape;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        k.key = Key::Enter;
        break;
    default:
        break;
    }
    const QString text = event->text();
    if (text.size() == 1 || (text.size() == 2 && text.at(0).isHighSurrogate()))
        k.text = text.toUcs4().value(0);
    if (session_.key(k))
        update();
    else
        QWidget::keyPressEvent(event);
}

void CVARNOView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!autoStarted_) {
        autoStarted_ = true;
        session_.autoStart();
    }
}
