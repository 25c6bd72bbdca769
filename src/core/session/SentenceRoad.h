// The one road a receiver sentence takes from the mailbox to a scene ready to paint.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "session/ViewState.h"
#include "views/HeadingLag.h"
#include "views/Scene.h"
#include "views/SceneInput.h"
#include "views/ViewScale.h"

namespace varno::cameras {
class CameraWarner;
}
namespace varno::gps {
class CNmeaDecoder;
class SentenceMailbox;
} // namespace varno::gps
namespace varno::roads {
class RoadFollower;
}
namespace varno::routes {
class RouteGuide;
}
namespace varno::views {
class TrackLogging;
class ViewMode;
class ViewModes;
} // namespace varno::views

namespace varno::session {

// Every sentence a source hands over takes this road, in this order, whoever
// drives it: the window's view, the window's replay, the record commands and
// the varno-cli commands that replay or read a receiver.
//
//  1. A reader or a replay puts the sentence in the mailbox; it is pending.
//  2. notify(), when the reader's message reaches the UI thread:
//     a. the camera warner runs on the fix as it stands, which is still the
//        PREVIOUS sentence's fix: the pending one is decoded only at the next
//        intake. So the warning for a fix is decided on the intake after it;
//     b. with a road map, the same fix is matched to its road;
//     c. the shown view's per-fix step.
//  3. repaint(), when the view repaints (nothing while the camera list is
//     being rebuilt):
//     a. take: the pending sentence is read (the slot stays pending, so the
//        live reader cannot change it meanwhile) and decoded into the fix in
//        a view that takes fixes; any other view only tests its checksum;
//     b. guidance: the route, pointer and trail views step the route guidance
//        (the route view only in a window it fits);
//     c. heading: the compass, pointer and trail views take one step of the
//        rose's lag, and the pointer and trail views the guidance's marks;
//     d. scene: what the shown view draws, with the sentence in its strip;
//     e. track: a taken sentence in a view that takes fixes, over 1 knot,
//        is a point of the track log;
//     f. consume: the pending flag is cleared; the reader may hand over the next.
//  A sentence no repaint comes for (a hidden window during a replay) still
//  reaches the fix: take() runs 3a, 3e and 3f alone.
//  A log replay hands each line over, repaints and then notifies, waiting for
//  each: its warner runs on the line just decoded. replayStarted() and
//  replayEnded() bracket it.
//
// A rule for every fix belongs in these steps, here, not in their drivers.
// UI thread only (the driver's thread on the command line); the mailbox
// guards itself against the reader.
class SentenceRoad {
public:
    // The pieces the road runs through. A piece left null takes no part.
    struct Parts {
        gps::CNmeaDecoder& decoder;
        gps::SentenceMailbox& mailbox;
        // Which view is shown, and its mode.
        ViewState& view;
        views::ViewModes& modes;
        cameras::CameraWarner* warner = nullptr;
        routes::RouteGuide* routes = nullptr;
        views::TrackLogging* track = nullptr;
        // What a scene shows that the road does not hold: the colours, time
        // zone, POI list and GPX trail of the session.
        std::function<void(views::SceneInput&)> dressScene = {};
    };
    explicit SentenceRoad(Parts parts);

    // What step 3a took from the mailbox.
    struct Intake {
        bool taken = false;      // a new sentence was pending
        bool checksumOk = false; // and it passed its checksum test
        std::string sentence;    // the sentence as handed over
        // Nothing has been handed over since start-up: the view draws no more than its fill.
        bool nothingReceived = false;
        // The strip text: the sentence, with " Bad" when its checksum failed.
        std::string stripText() const { return checksumOk ? sentence : sentence + " Bad"; }
    };

    // The window a repaint draws in: its size in device-independent pixels and
    // whether a larger one shows the layout scaled up. A repaint that does not
    // draw (the command line) builds no scene.
    struct Window {
        int width = views::kLayoutWidth;
        int height = views::kLayoutHeight;
        bool scaleWithWindow = false;
        bool draws = true;
    };
    // What a repaint gives: the sentence it took, and the scene with its scale.
    struct Painted {
        Intake intake;
        views::ViewScale scale;
        views::Scene scene;
    };

    // Step 1: where the sources hand their sentences over.
    gps::SentenceMailbox& mailbox() { return parts_.mailbox; }

    // Step 2.
    void notify();
    // A fix that came from elsewhere (a record file opened): the cameras
    // around it load, then step 2 runs on it.
    void restoredFix();
    // Step 3, all of it; nullopt while the camera list is being rebuilt.
    std::optional<Painted> repaint(const Window& window);
    // Steps 3a, 3e and 3f, for a sentence no repaint comes for.
    Intake take();

    // The road map the fixes are matched to and the views draw; null for none.
    // The caller keeps it alive while it is set.
    void setRoadMap(roads::RoadFollower* roads) { roads_ = roads; }
    roads::RoadFollower* roadMap() const { return roads_; }

    // A log replay starts, and ends: the cameras around the replayed positions load soon.
    void replayStarted();
    void replayEnded();
    // A replay feeds the road. One source at a time: the receiver is not
    // started while it runs, and a replay stops the receiver first.
    bool replaying() const { return replaying_; }

    // The steps of 3 one at a time, for tests and benchmarks.
    bool canPaint() const;
    Intake intake();
    void guidanceStep(int windowWidth, int windowHeight);
    void prepareDraw();
    views::Scene buildScene(int windowWidth, int windowHeight, const Intake& taken) const;
    void finishIntake(const Intake& taken);

    // The route, pointer or trail view is shown: the views that guide.
    bool guidingViewShown() const;
    // The rose's displayed heading after the last draw.
    double displayedHeading() const { return heading_.displayed(); }

private:
    views::ViewMode& shownMode() const;
    // What the last guidance step gave, as the pointer and trail views draw it.
    views::RouteMarks routeMarks() const;

    Parts parts_;
    // The rose's heading: one lag step per draw of a heading view, taken
    // with the sentence of that draw.
    views::HeadingLag heading_;
    double headingBefore_ = 0.0;
    // What the route guidance step of the last draw gave.
    views::RouteMarks routeMarks_;
    bool replaying_ = false;
    roads::RoadFollower* roads_ = nullptr;
};

} // namespace varno::session
