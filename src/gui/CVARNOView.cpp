// The one view: takes the pending sentence at each repaint and draws the current map view.
#include "CVARNOView.h"

#include <QFontMetrics>
#include <QPainter>

#include "CameraViewPainter.h"
#include "ColourConvert.h"

using varno::session::MapView;
using varno::session::Session;

CVARNOView::CVARNOView(Session& session, QWidget* parent) : QWidget(parent), session_(session)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

QFont CVARNOView::cellFont(const QString& family, int cellHeight)
{
    // The layout gives heights of the whole character cell (ascent + descent);
    // Qt sizes fonts by the em, which is a little smaller.
    QFont f(family);
    f.setPixelSize(cellHeight);
    f.setWeight(QFont::Normal);
    const int h = QFontMetrics(f).height();
    if (h > 0 && h != cellHeight)
        f.setPixelSize(std::max(1, cellHeight * cellHeight / h));
    return f;
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

    QPainter p(this);
    p.fillRect(rect(), toQColor(session_.colours().windowFill()));
    session_.viewState().clearBackgroundChanged();

    const MapView v = session_.viewState().current();
    const bool editor = v == MapView::TrackEditor;
    // Before the first sentence there is nothing to show but the fill.
    if (!editor && in.nothingReceived) {
        stripText_.clear();
        session_.finishIntake(in);
        return;
    }
    scene_ = buildScene();
    const BoxColours colours{toQColor(session_.colours().boxBackground()),
                             toQColor(session_.colours().boxText())};
    if (!editor)
        paintTopLines(p, scene_, colours);
    // The other views draw themselves here as they arrive; the camera view is the dashboard.
    if (v == MapView::Camera)
        paintDashboard(p, scene_, colours);

    // Records the track point and consumes the sentence; the strip shows it.
    session_.finishIntake(in);
    drawStrip(p, in);
}

varno::views::CameraViewScene CVARNOView::buildScene() const
{
    const auto& warner = session_.cameraWarner();
    const auto& track = session_.trackLogging();
    varno::views::CameraViewInput in;
    in.windowWidth = width();
    in.windowHeight = height();
    in.fix = &session_.decoder();
    in.timeZone = session_.timeZone();
    in.speedUnits = warner.speedUnits;
    in.mapRadius = warner.scale.MapRadius;
    in.panel = &warner.panel;
    in.averageSpeedText = warner.specs.line;
    if (warner.store.cameras())
        in.cameras = &*warner.store.cameras();
    if (track.displayTrack())
        in.trail = &track.ring();
    return varno::views::buildCameraViewScene(in);
}

void CVARNOView::drawStrip(QPainter& p, const Session::Intake& in)
{
    stripText_.clear();
    const MapView v = session_.viewState().current();
    if (v == MapView::Trail || v == MapView::TrackEditor)
        return;
    if (width() < kStripMinWidth || height() < kStripMinHeight)
        return;
    // A one-pixel grey frame around a black fill.
    p.fillRect(kStripRect, QColor(190, 190, 190));
    p.fillRect(kStripRect.adjusted(1, 1, -1, -1), Qt::black);
    if (!in.taken)
        return;
    stripText_ = textFromBytes(in.stripText());
    const QFont font = cellFont(QStringLiteral("Times New Roman"), 24);
    p.setFont(font);
    // The day scheme's text is black, which would vanish on the black strip.
    const std::uint32_t text = session_.colours().boxText();
    p.setPen(text == varno::session::ColourScheme::kBlack ? QColor(Qt::white) : toQColor(text));
    p.setBackground(Qt::black);
    p.setBackgroundMode(Qt::OpaqueMode);
    // Text origins are the top left of the character cell.
    p.drawText(QPoint(4, 460 + QFontMetrics(font).ascent()), stripText_);
}

void CVARNOView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!autoStarted_) {
        autoStarted_ = true;
        session_.autoStart();
    }
}
