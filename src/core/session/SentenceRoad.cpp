// The one road a receiver sentence takes from the mailbox to a scene ready to paint.
#include "session/SentenceRoad.h"

#include "base/Numbers.h"
#include "cameras/CameraDistance.h"
#include "cameras/CameraWarner.h"
#include "gps/CNmeaDecoder.h"
#include "gps/Intake.h"
#include "gps/NmeaChecksum.h"
#include "gps/SentenceMailbox.h"
#include "roads/RoadFollower.h"
#include "routes/RouteGuide.h"
#include "views/RouteViewScene.h"
#include "views/TrackLogging.h"
#include "views/ViewMode.h"

namespace varno::session {
namespace {

// The over-limit aid against the road's limit: on, no camera within the
// aid's range gives a limit of its own, and the speed is over the road's.
bool overRoadLimit(const cameras::CameraWarner& w, const roads::RoadMatch& road, const gps::Fix& fix)
{
    if (!w.aids.on.chime)
        return false;
    if (const cameras::CameraPoint* c = w.store.nearestCamera()) {
        const double d = cameras::CameraDistance(*c, fix.position);
        if (d >= 0.0 && d <= cameras::kChimeRangeM && leadingInt(c->SpeedLimit) > 0)
            return false;
    }
    return roads::overRoadLimit(road, fix.speedKnots, w.speedUnits);
}

} // namespace

SentenceRoad::SentenceRoad(Parts parts) : parts_(std::move(parts)) {}

views::ViewMode& SentenceRoad::shownMode() const
{
    return parts_.modes.mode(parts_.view.current());
}

bool SentenceRoad::guidingViewShown() const
{
    const MapView v = parts_.view.current();
    return v == MapView::Route || v == MapView::Pointer || v == MapView::Trail;
}

// --- 2: the reader's notify ---

void SentenceRoad::notify()
{
    // A position the receiver itself calls invalid warns of nothing: the
    // warner keeps what it said last and speaks again with the next valid fix.
    if (parts_.warner && parts_.decoder.receiverHasFix())
        parts_.warner->UpdateCameraWarnings(parts_.decoder.fix());
    if (roads_)
        roads_->onFix(parts_.decoder.fix(), parts_.decoder.receiverHasFix());
    shownMode().onFix();
}

void SentenceRoad::restoredFix()
{
    if (parts_.warner)
        parts_.warner->forceReload();
    notify();
}

void SentenceRoad::replayStarted()
{
    replaying_ = true;
    if (parts_.warner)
        parts_.warner->replayStarted();
}

void SentenceRoad::replayEnded()
{
    replaying_ = false;
    if (parts_.warner)
        parts_.warner->replayEnded();
}

// --- 3: the repaint ---

bool SentenceRoad::canPaint() const
{
    return !parts_.warner || !parts_.warner->store.CameraListBusy;
}

std::optional<SentenceRoad::Painted> SentenceRoad::repaint(const Window& window)
{
    if (!canPaint())
        return std::nullopt;
    Painted p;
    p.intake = intake();
    // The scene is built at the logical size and painted through the scale.
    p.scale =
        views::viewScaleFor(window.width, window.height, window.scaleWithWindow, shownMode().fixedLayout());
    guidanceStep(p.scale.logicalWidth, p.scale.logicalHeight);
    prepareDraw();
    if (window.draws) {
        parts_.view.clearBackgroundChanged();
        p.scene = buildScene(p.scale.logicalWidth, p.scale.logicalHeight, p.intake);
    }
    finishIntake(p.intake);
    return p;
}

SentenceRoad::Intake SentenceRoad::take()
{
    Intake in = intake();
    if (in.taken)
        finishIntake(in);
    return in;
}

SentenceRoad::Intake SentenceRoad::intake()
{
    Intake in;
    const gps::SentenceMailbox::Snapshot snap = parts_.mailbox.snapshot();
    in.nothingReceived = snap.sentence.empty();
    if (!snap.pending)
        return in;
    in.taken = true;
    in.sentence = snap.sentence;
    if (shownMode().takesFixes())
        in.checksumOk = gps::intakeSentence(parts_.decoder, in.sentence);
    else
        in.checksumOk = gps::NmeaChecksumOk(in.sentence);
    return in;
}

void SentenceRoad::guidanceStep(int windowWidth, int windowHeight)
{
    if (!parts_.routes || !guidingViewShown() || !parts_.decoder.receiverHasFix())
        return;
    if (parts_.view.current() == MapView::Route && !views::routeViewFits(windowWidth, windowHeight))
        return;
    parts_.routes->step(parts_.decoder.fix().position);
}

views::RouteMarks SentenceRoad::routeMarks() const
{
    views::RouteMarks m;
    if (!parts_.routes)
        return m;
    const routes::RouteGuide& r = *parts_.routes;
    const auto& points = r.route().points();
    const routes::Guidance& g = r.guidance();
    for (std::size_t i = 0; i < points.size(); ++i)
        if (points[i].measured)
            m.labels.push_back(
                {routes::labelText(points[i], static_cast<int>(i) + 1, r.labelFlags()), points[i].place});
    const auto n = g.nearest();
    if (!g.foundNearest() || !n || *n >= points.size())
        return m;
    m.hasNearest = true;
    m.nearestText = g.nearestText();
    m.nextText = g.nextText();
    m.nearest = points[*n].place;
    m.nearestIsFirst = *n == 0;
    if (*n > 0)
        m.previous = points[*n - 1].place;
    if (*n + 1 < points.size())
        m.following = points[*n + 1].place;
    return m;
}

void SentenceRoad::prepareDraw()
{
    const MapView v = parts_.view.current();
    if (v != MapView::Compass && v != MapView::Pointer && v != MapView::Trail)
        return;
    headingBefore_ = heading_.displayed();
    heading_.step(parts_.decoder.Course, parts_.decoder.SpeedKnots);
    routeMarks_ = v == MapView::Compass ? views::RouteMarks{} : routeMarks();
}

views::Scene SentenceRoad::buildScene(int windowWidth, int windowHeight, const Intake& taken) const
{
    views::SceneInput in;
    in.windowWidth = windowWidth;
    in.windowHeight = windowHeight;
    in.fix = parts_.decoder.fix();
    in.noFix = !parts_.decoder.receiverHasFix();
    if (parts_.decoder.GgaCount > 0)
        in.satellites = parts_.decoder.Satellites;
    if (const cameras::CameraWarner* w = parts_.warner) {
        in.speedUnits = w->speedUnits;
        in.mapRadius = w->scale.MapRadius;
        in.panel = &w->panel;
        in.averageSpeedText = w->specs.line;
        // The coach's advice goes on the same line, after the average when that is shown.
        if (const std::string& coach = w->aids.coachLine; !coach.empty())
            in.averageSpeedText = w->specs.enabled ? in.averageSpeedText + "  " + coach : coach;
        in.overLimit = w->aids.overLimit;
        in.distanceOverLimit = w->aids.overLimit && !in.noFix;
        in.averageOverLimit = w->aids.averageOverLimit;
        if (w->store.cameras())
            in.cameras = &*w->store.cameras();
    }
    if (parts_.track && parts_.track->displayTrack())
        in.trail = &parts_.track->ring();
    if (parts_.routes) {
        in.route = &parts_.routes->route();
        in.guidance = &parts_.routes->guidance();
        in.routeLabels = parts_.routes->labelFlags();
    }
    if (roads_) {
        in.roadMap = roads_;
        if (const auto& road = roads_->road()) {
            // The road and its limit on the average-speed line, after what it shows.
            if (const std::string line = roads::roadLine(*road, in.speedUnits); !line.empty())
                in.averageSpeedText = in.averageSpeedText.empty() ? line : in.averageSpeedText + "  " + line;
            if (parts_.warner && !in.overLimit)
                in.overLimit = overRoadLimit(*parts_.warner, *road, in.fix);
        }
    }
    in.nothingReceived = taken.nothingReceived;
    in.headingBefore = headingBefore_;
    in.heading = heading_.displayed();
    in.routeMarks = &routeMarks_;
    if (taken.taken)
        in.stripText = taken.stripText();
    if (parts_.dressScene)
        parts_.dressScene(in);
    return views::composeScene(shownMode(), in);
}

void SentenceRoad::finishIntake(const Intake& taken)
{
    if (parts_.track && taken.taken && shownMode().takesFixes() && parts_.decoder.SpeedKnots > 1.0)
        parts_.track->recordFix(true, parts_.decoder.fix());
    parts_.mailbox.clearPending();
}

} // namespace varno::session
