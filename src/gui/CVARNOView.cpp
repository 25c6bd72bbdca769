// The one view: takes the pending sentence at each repaint and paints the current map view's scene.
#include "CVARNOView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <utility>
#include <QPainter>

#include "ColourConvert.h"
#include "ScenePainter.h"
#include "views/CameraViewScene.h"

using varno::session::Session;
using varno::views::KeyPress;
using varno::views::PointerEvent;

CVARNOView::CVARNOView(Session& session, QWidget* parent) : QWidget(parent), session_(session)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void CVARNOView::onNewSentence()
{
    session_.onSentence();
    repaint();
}

void CVARNOView::paintEvent(QPaintEvent*)
{
    if (!session_.canPaint())
        return;
    const Session::Intake in = session_.intake();
    // The route, pointer and trail views guide on every repaint.
    session_.guidanceStep(width(), height());
    session_.prepareDraw();
    session_.viewState().clearBackgroundChanged();
    scene_ = session_.buildScene(width(), height(), in);
    // Records the track point and consumes the sentence; the strip shows it.
    session_.finishIntake(in);

    const auto* strip = scene_.textAt(varno::views::kStripTextX, varno::views::kStripTextY);
    stripText_ = strip ? textFromBytes(strip->text) : QString();
    QPainter p(this);
    paintScene(p, scene_);
}

void CVARNOView::pointer(QMouseEvent* event, PointerEvent::Kind kind)
{
    PointerEvent e;
    e.kind = kind;
    switch (event->button()) {
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
    const QPoint at = event->position().toPoint();
    e.x = at.x();
    e.y = at.y();
    e.wheelDelta = std::exchange(wheelDelta_, 0);
    if (session_.pointer(e))
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
    QMouseEvent at(QEvent::MouseMove, event->position(), event->globalPosition(), Qt::NoButton, event->buttons(),
                   event->modifiers());
    wheelDelta_ = event->angleDelta().y();
    pointer(&at, PointerEvent::Kind::Wheel);
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
