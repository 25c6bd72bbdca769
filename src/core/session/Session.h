// What the one view owns, and the sequences that cross its pieces.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Clock.h"
#include "base/Prompt.h"
#include "cameras/CameraWarner.h"
#include "cameras/VoicePlayer.h"
#include "gps/CNmeaDecoder.h"
#include "gps/GpsControl.h"
#include "gps/NmeaLog.h"
#include "gps/SentenceMailbox.h"
#include "gps/SerialPort.h"
#include "poi/PoiList.h"
#include "record/RecordFile.h"
#include "routes/RouteGuide.h"
#include "session/ColourScheme.h"
#include "session/SentenceRoad.h"
#include "session/ViewState.h"
#include "settings/Settings.h"
#include "speech/SpeechAgent.h"
#include "views/Scene.h"
#include "views/TrackLogging.h"
#include "views/Trail.h"
#include "views/ViewMode.h"

namespace varno::roads {
class RoadFollower;
}
namespace varno::trackedit {
class Editor;
}

namespace varno::session {

// Start while a log is being replayed.
inline constexpr std::string_view kStopReplayFirst =
    "A log file is being replayed.\nStop the replay (Esc) before starting the GPS.";
// Starting a replay while the receiver runs.
inline constexpr std::string_view kStopGpsForReplay = "Stop the GPS for the replay?";

// The composition root of the window: the decoder and fix, the mailbox from
// the reader, the NMEA log, the GPS control, the view flags and the colour
// scheme (and, as their features land, the cameras, routes, POI and tracks).
// Each piece is its own type; Session runs the sequences that involve several:
// start-up, view switching, Check Registry. A handed-over sentence takes the
// SentenceRoad, which the session owns and wires to its pieces.
// Each map view is a views::ViewMode; the current one is the view state's.
//
// UI thread only, except what the reader thread reaches through the mailbox
// and the log, which guard themselves.
class Session : private views::ViewSteps {
public:
    struct Deps {
        settings::Settings& settings;
        Prompt& prompt;
        const Clock& clock;
        gps::SerialPort& port;
        // Where "C:\VARNO" lives on this machine (automatic NMEA logs go below it).
        std::string dataRoot;
        // The waits of a port open; tests pass a no-op.
        std::function<void(std::chrono::milliseconds)> sleep = {};
        // Plays the camera warnings; silent when null.
        cameras::VoicePlayer* voicePlayer = nullptr;
        // Called with true before the waits of a port open and with false after
        // them, so the window can show that it is busy opening the port.
        std::function<void(bool busy, const std::string& port)> opening = {};
        // Speaks the route texts; a quiet recorder when null.
        speech::SpeechAgent* speechAgent = nullptr;
        // Queues a function to the UI thread: Start then opens the port on a
        // worker, so the window stays live through the open's waits. Empty:
        // the open runs on the calling thread (tests, the command line).
        UiBridge::Post postToUi = {};
        // A note for the status bar that needs no answer: a camera or POI file
        // read with lines too long to be records. Dropped when empty.
        std::function<void(const std::string& note)> note = {};
    };

    // View construction: reads the kept settings, loads the day scheme and runs
    // the version check.
    explicit Session(Deps deps);
    // View destruction: stops the reader, closes the port and the NMEA log,
    // frees the lists.
    ~Session() override;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The view's initial update: the first-run question. When it wrote the
    // defaults, the data folders are made and the welcome page is due
    // (FirstRunPending).
    void initialUpdate();
    // The folders the first start could not make ("folder: reason").
    const std::vector<std::string>& folderFailures() const { return folderFailures_; }

    // The start-up actions, run when the window is first shown: auto start of
    // the GPS, the automatic NMEA log toggle, the start timers and route, the night timer.
    void autoStart();

    // --- the sentence road ---
    // The order a handed-over sentence takes to the painted view: the
    // window's view, its replay and the record commands drive it.
    SentenceRoad& road() { return road_; }
    const SentenceRoad& road() const { return road_; }

    // --- the road map ---
    // Opens the road map RoadMapFile names, in place of the one open; an
    // empty name closes it (every view as without one). A file that cannot be
    // opened is reported once and leaves no road map. True when one is open.
    bool reloadRoadMap();
    bool roadMapOpen() const { return roadMap_ != nullptr; }

    // --- the record file ---
    // File > Open: stops the GPS and restores the fix and the track log; a
    // complete read then reloads the cameras around the fix and runs the
    // camera logic once. The caller repaints when the file was opened.
    record::RecordOpenResult openRecord(const std::string& path);
    // File > Save and Save As: the fix time, position and track log.
    void saveRecord(const std::string& path, FileSync* sync);

    // --- view switching ---
    // The toggling View items (and the letter keys that do the same).
    void toggleView(MapView v);
    // Camera Map, F6, B: always the camera map.
    void showCameraMap();
    // F7: always the POI view.
    void showPoiAlways();
    // F8: always the route view.
    void showRouteAlways();
    // V and F5.
    void nextView();
    // The current view's mode.
    views::ViewMode& viewMode() { return modes_.mode(view_.current()); }
    const views::ViewMode& viewMode() const { return modes_.mode(view_.current()); }
    // Mouse and keys on the view, for the current view; true when it wants a repaint.
    bool pointer(const views::PointerEvent& e) { return viewMode().onPointer(e); }
    bool key(const views::KeyPress& k) { return viewMode().onKey(k); }

    // --- colours ---
    void loadDayColours();
    // The stored night scheme, or the dimmed night colours when NightPalette is on.
    void loadNightColours();

    // --- the receiver notice ---
    // What the window knows of the link, for the big words over the view
    // (session::ReceiverState::linkNotice); true when they changed.
    bool setLinkNotice(std::string words);
    // ReceiverNotice is on: the view shows the receiver's state in big words.
    bool receiverNotices() const { return receiverNotices_; }

    // --- GPS ---
    // Opens the receiver; refused with kStopReplayFirst while a replay feeds the road.
    void startGps();
    void stopGps();
    // The receiver's port is open or being opened.
    bool gpsRunning() const;

    // Test menu: Check Registry (writes every default, reloads, reports).
    void checkRegistry();
    // Test menu "Do a ondraw": a fixed position and sentence, as if received.
    void doOnDraw();
    // Test menu "Snap to route": the fix moved to a route point (course 0), the
    // cameras around it loaded and an empty sentence handed over for the repaint.
    void snapTo(geo::LatLon place);
    // After the Speed Setup and Time Zone dialogs: the units the view shows.
    void reloadUnits();
    // "Recommended for driving" on the welcome page of a new profile: writes
    // the recommended values for the locale (see writeRecommendedProfile) and
    // reads back what the view keeps. False when a write failed.
    bool applyRecommendedProfile(std::string_view locale);

    // --- cameras and the map ---
    // Test menu "Load camera file": the cameras around the fix, now.
    void loadCameraFile() { reloadCameras(); }
    // The zoom commands: along the radius ladder, then the object list is
    // rebuilt for the new radius. False when the radius was at its limit and
    // nothing changed.
    bool zoomIn();
    bool zoomOut();
    // "Set Map Scale" closed (OK or Cancel): the radius is read again and the
    // object list rebuilt.
    void afterMapScaleDialog();
    // "Specs options" closed: the average speed starts over with the stored choice.
    void afterSpecsDialog() { resetAverageSpeed(); }
    // "Track logging options" closed: the ring follows the stored options.
    void afterTrackDialog() { track_.afterDialog(); }
    // Mark Location: the fix appended to the mark file. True when a line was written.
    bool markLocation();
    // Any of the Mute commands.
    void toggleMute() { warner_.toggleMute(); }
    bool muted() const { return warner_.voice.Muted; }
    // The space key: starts or clears the average-speed measurement.
    void spaceKey() { warner_.spaceKey(decoder_.fix()); }

    // --- POI ---
    // "Select Poi Files" closed (OK or Cancel): the POI list when the POI view
    // is shown, else the camera list, for the current radius.
    void afterSelectPoiFiles();
    const poi::PoiList& poiList() const { return poi_; }

    // --- trail ---
    // "Load trail": replaces the trail with the file's; returns the message to show.
    std::string loadTrail(const std::string& path);
    // The same with a trail read elsewhere (off the UI thread): a file that
    // could not be opened or a cancelled read keeps the trail as it was.
    std::string useTrail(views::TrailLoad load);
    // "Unload trail".
    void unloadTrail() { gpxTrail_.reset(); }
    const views::Trail* gpxTrail() const { return gpxTrail_ ? &*gpxTrail_ : nullptr; }
    // The track editor: its map file, edited track and view.
    trackedit::Editor& trackEditor() { return *trackEditor_; }

    // --- Manual Location ---
    // Before the dialog: mutes the warnings, drops the speech agent, turns
    // route speech off for the while, sets the course to 0.
    void beginManualLocation();
    // A button of the dialog: the fix moves there, the cameras around it are
    // reloaded and the per-fix camera processing runs; the caller redraws.
    void moveFixTo(double latDeg, double lonDeg);
    // After the dialog: what beginManualLocation changed is put back.
    void endManualLocation();

    // --- what the window's features ask for ---
    // The receiver: the fix, the latitude and longitude as the decoder holds
    // them (0.0 before a fix; the dialogs show them so), and its state for
    // the status bar.
    gps::Fix fix() const { return decoder_.fix(); }
    geo::LatLon position() const { return {decoder_.Latitude, decoder_.Longitude}; }
    const gps::CNmeaDecoder& receiver() const { return decoder_; }
    // The camera commands' dialogs: the list around the fix and what they edit.
    struct CameraDialogs {
        const cameras::CameraList& cameras;
        geo::MapScale& scale;
        cameras::AverageSpeed& specs;
        cameras::DriverAids& aids;
        views::TrackLogging& track;
    };
    CameraDialogs cameraDialogs()
    {
        return {warner_.store.cameras(), warner_.scale, warner_.specs, warner_.aids, track_};
    }

    const ViewState& viewState() const { return view_; }
    ViewState& viewState() { return view_; }
    const ColourScheme& colours() const { return colours_; }
    gps::NmeaLog& nmeaLog() { return log_; }
    gps::GpsControl& gps() { return gps_; }
    settings::Settings& settings() { return deps_.settings; }
    Prompt& prompt() { return deps_.prompt; }
    const Clock& clock() const { return deps_.clock; }
    // Where "C:\VARNO" lives on this machine.
    const std::string& dataRoot() const { return deps_.dataRoot; }

    // The pieces themselves, for tests and benchmarks that set a fix or look
    // inside; the window goes through the narrow calls above.
    gps::CNmeaDecoder& decoder() { return decoder_; }
    const gps::CNmeaDecoder& decoder() const { return decoder_; }
    cameras::CameraWarner& cameraWarner() { return warner_; }
    const cameras::CameraWarner& cameraWarner() const { return warner_; }
    views::TrackLogging& trackLogging() { return track_; }
    const views::TrackLogging& trackLogging() const { return track_; }

    int speedUnits() const { return speedUnits_; }
    const TimeZone& timeZone() const { return timeZone_; }
    double mapRadius() const { return warner_.scale.MapRadius; }
    bool logTrack() const { return track_.logTrack(); }
    bool displayTrack() const { return track_.displayTrack(); }
    int trackLength() const { return track_.trackLength(); }
    // The route, its guidance and the speech agent.
    routes::RouteGuide& routes() { return routes_; }
    const routes::RouteGuide& routes() const { return routes_; }
    // The route, pointer or trail view is shown.
    bool routeViewShown() const { return road_.guidingViewShown(); }
    // The route the start-up actions asked to load, if any.
    const std::optional<std::string>& startupRoute() const { return startupRoute_; }
    int cameraReloadCounter() const { return warner_.store.CameraReloadCount; }

    // The start timers of the show notification: the route file of the first
    // enabled timer whose window holds the local time now; nullopt when none.
    std::optional<std::string> startTimerRoute();
    // The night timer: enabled and the local time inside its window.
    bool nightTimerActive();

private:
    // The steps a switch of view takes (see views::ViewSteps).
    void releaseAgentRequest() override { routes_.guidance().clearSpeakRequest(); }
    void loadPoiList() override;
    void freePoiList() override { poi_.free(); }
    void resetRouteGuidance() override { routes_.readRoadTypes(); }
    void loadAgentIfRouteSpeech() override { routes_.loadAgentIfRouteSpeech(); }
    void unloadAgent() override { routes_.agent().unload(); }
    void reloadCameras() override;
    void forceCameraReload() override { warner_.forceReload(); }
    void releaseAgent() { routes_.agent().unload(); }
    // The camera list is a member; it goes with the session.
    void freeCameraList() {}
    void freeRouteList() { routes_.free(); }
    void switchView(MapView to, views::ViewSwitch how)
    {
        const MapView from = view_.current();
        view_.switchTo(to);
        modes_.switchTo(from, to, how, *this);
    }
    void resetAverageSpeed();
    void updateCameraWarnings();
    void dressScene(views::SceneInput& in) const;
    void loadRoute(const std::string& name);

    // Reads what the view keeps of the settings (step 5 of writing the defaults).
    void reloadKeptSettings();

    Deps deps_;
    gps::CNmeaDecoder decoder_;
    gps::SentenceMailbox mailbox_;
    gps::NmeaLog log_;
    gps::GpsControl gps_;
    ViewState view_;
    std::unique_ptr<trackedit::Editor> trackEditor_;
    views::ViewModes modes_;
    ColourScheme colours_;
    cameras::SilentVoicePlayer silentVoice_;
    cameras::CameraWarner warner_;
    views::TrackLogging track_;
    speech::RecordingSpeechAgent quietAgent_;
    routes::RouteGuide routes_;
    poi::PoiList poi_;
    std::optional<views::Trail> gpxTrail_;
    SentenceRoad road_;
    std::unique_ptr<roads::RoadFollower> roadMap_;
    // What Manual Location changed while its dialog is open.
    bool manualWasMuted_ = false;
    bool manualRouteSpeech_ = false;

    int speedUnits_ = 0;
    TimeZone timeZone_;
    bool receiverNotices_ = false;
    std::string linkNotice_;
    std::optional<std::string> startupRoute_;
    std::vector<std::string> folderFailures_;
};

} // namespace varno::session
