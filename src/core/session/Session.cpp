// What the one view owns, and the sequences that cross its pieces.
#include "session/Session.h"

#include <algorithm>

#include "base/DataPath.h"
#include "base/Numbers.h"
#include "cameras/MarkLocation.h"
#include "roads/RoadFollower.h"
#include "session/FirstRun.h"
#include "trackedit/Editor.h"
#include "settings/StartupChecks.h"

namespace varno::session {
namespace {

namespace keys = settings::keys;

// SpeedUnits as the views use it: 0 mph, 1 kph, 2 knots.
int speedUnitsOf(settings::Settings& s)
{
    return static_cast<int>(std::min<int64_t>(s.read(keys::SpeedUnits), 1 << 30));
}

} // namespace

Session::Session(Deps deps)
    : deps_(std::move(deps)), gps_(deps_.port, mailbox_, log_, deps_.prompt, deps_.settings,
                                   gps::GpsControl::Hooks{deps_.sleep, deps_.opening,
                                                          [this] { resetAverageSpeed(); }, deps_.postToUi}),
      trackEditor_(std::make_unique<trackedit::Editor>(deps_.prompt)), modes_(trackEditor_.get()),
      warner_(deps_.settings, deps_.prompt, deps_.voicePlayer ? *deps_.voicePlayer : silentVoice_,
              deps_.dataRoot),
      track_(deps_.settings, deps_.prompt),
      routes_(deps_.settings, deps_.prompt, deps_.speechAgent ? *deps_.speechAgent : quietAgent_,
              deps_.dataRoot),
      road_({decoder_, mailbox_, view_, modes_, &warner_, &routes_, &track_,
             [this](views::SceneInput& in) { dressScene(in); }})
{
    // A camera file that cannot be loaded stops the GPS, as every load failure does.
    warner_.store.stopGps = [this] { stopGps(); };
    warner_.store.noted = deps_.note;
    poi_.noted = deps_.note;
    warner_.beforePeriodicReload = [this] { viewMode().beforePeriodicReload(*this); };
    // The route's exclusion lines silence their cameras while it is loaded.
    warner_.store.excludedByRoute = [this](std::string_view line) { return routes_.excludes(line); };
    routes_.onLoaded = [this] { warner_.store.CameraReloadCount = 0; };
    routes_.onOutOfMemory = [this] { stopGps(); };
    // A character that fails to load while the guidance speaks (inside a
    // repaint) is reported after the repaint, where the window can show it.
    if (deps_.postToUi)
        routes_.agent().reportLater = [post = deps_.postToUi,
                                       &prompt = deps_.prompt](const std::string& text) {
            post([&prompt, text] { prompt.message(text); });
        };

    auto& s = deps_.settings;
    track_.load();
    timeZone_ = s.read(keys::TimeZone);
    receiverNotices_ = s.read(keys::ReceiverNotice) == 1;
    trackEditor_->refreshRate = std::max(300, leadingInt(s.read(keys::Speed).value_or("4800")));
    loadDayColours();
    resetAverageSpeed();
    settings::runVersionCheck(s);
    speedUnits_ = speedUnitsOf(s);
    warner_.speedUnits = speedUnits_;
    warner_.scale.reload();
    routes_.readLabelFlags();
    routes_.readRoadTypes();
}

Session::~Session()
{
    if (gps_.portOpen())
        gps_.StopGps();
    // A reader whose device went away has ended on its own but is not joined yet.
    gps_.reader().stop();
    freeCameraList();
    freeRouteList();
    freePoiList();
    track_.switchOff();
    log_.close();
    releaseAgent();
}

void Session::initialUpdate()
{
    using settings::FirstRunResult;
    const FirstRunResult r = settings::runFirstRunCheck(deps_.settings);
    if (r == FirstRunResult::DefaultsWritten || r == FirstRunResult::WriteFailed) {
        track_.switchOff();
        reloadKeptSettings();
    }
    if (r == FirstRunResult::DefaultsWritten) {
        // A fresh profile: the folders the settings name, so that every
        // Browse opens where its files belong, and the welcome page to come.
        folderFailures_ = makeFolders(dataFolders(deps_.settings, deps_.dataRoot));
        deps_.settings.write(keys::FirstRunPending, true);
    }
    reloadRoadMap();
}

bool Session::reloadRoadMap()
{
    road_.setRoadMap(nullptr);
    roadMap_.reset();
    const std::string stored = deps_.settings.read(keys::RoadMapFile).value_or("");
    if (stored.empty())
        return false;
    roads::OpenedRoadMap opened = roads::openRoadMap(mapDataPath(stored, deps_.dataRoot));
    if (!opened.source) {
        deps_.prompt.message(opened.error);
        return false;
    }
    roadMap_ = std::make_unique<roads::RoadFollower>(std::move(opened.source));
    road_.setRoadMap(roadMap_.get());
    return true;
}

void Session::reloadKeptSettings()
{
    auto& s = deps_.settings;
    loadDayColours();
    track_.reloadFlags();
    timeZone_ = s.read(keys::TimeZone);
    receiverNotices_ = s.read(keys::ReceiverNotice) == 1;
    resetAverageSpeed();
    speedUnits_ = speedUnitsOf(s);
    warner_.speedUnits = speedUnits_;
    warner_.aids.on = cameras::readAidSwitches(s);
    warner_.scale.reload();
}

bool Session::applyRecommendedProfile(std::string_view locale)
{
    const bool ok = writeRecommendedProfile(deps_.settings, locale);
    reloadKeptSettings();
    return ok;
}

void Session::checkRegistry()
{
    track_.switchOff();
    deps_.settings.writeDefaults();
    reloadKeptSettings();
    deps_.prompt.message(std::string(settings::kRegistryCheckFinished));
}

void Session::doOnDraw()
{
    decoder_.Latitude = 51.384223;
    decoder_.Longitude = -1.337132;
    reloadCameras();
    mailbox_.replace("$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B");
}

void Session::snapTo(geo::LatLon place)
{
    decoder_.Latitude = place.latDeg();
    decoder_.Longitude = place.lonDeg();
    decoder_.Course = 0.0;
    reloadCameras();
    mailbox_.replace("");
}

void Session::reloadUnits()
{
    speedUnits_ = speedUnitsOf(deps_.settings);
    warner_.speedUnits = speedUnits_;
    timeZone_ = deps_.settings.read(keys::TimeZone);
}

// --- the record file ---

record::RecordOpenResult Session::openRecord(const std::string& path)
{
    const record::RecordOpenResult r =
        record::openRecordFile(path, decoder_, track_, deps_.prompt, [this] { stopGps(); });
    if (r.refreshCameras())
        road_.restoredFix();
    return r;
}

void Session::saveRecord(const std::string& path, FileSync* sync)
{
    record::saveRecordFile(path, decoder_.fix(), timeZone_, track_, deps_.prompt, sync);
}

// --- cameras and the map ---

void Session::reloadCameras()
{
    warner_.reloadCameras(decoder_.fix());
}

void Session::resetAverageSpeed()
{
    warner_.specs.reset();
}

void Session::updateCameraWarnings()
{
    warner_.UpdateCameraWarnings(decoder_.fix());
}

bool Session::zoomIn()
{
    if (!warner_.zoomIn())
        return false;
    viewMode().rebuildForRadius(*this);
    return true;
}

bool Session::zoomOut()
{
    if (!warner_.zoomOut())
        return false;
    viewMode().rebuildForRadius(*this);
    return true;
}

void Session::afterMapScaleDialog()
{
    warner_.scale.reload();
    viewMode().rebuildForRadius(*this);
}

bool Session::markLocation()
{
    return cameras::markLocation(deps_.settings, deps_.prompt, deps_.dataRoot, deps_.clock,
                                 decoder_.fix().position);
}

// What a scene shows that the road does not hold.
void Session::dressScene(views::SceneInput& in) const
{
    in.windowFill = colours_.windowFill();
    in.boxBackground = colours_.boxBackground();
    in.boxText = colours_.boxText();
    in.timeZone = timeZone_;
    in.receiverNotice = receiverNotices_;
    in.linkNotice = linkNotice_;
    in.night = colours_.isNight();
    if (view_.current() == MapView::Poi)
        in.pois = &poi_;
    in.gpxTrail = gpxTrail();
}

// --- POI, trail, Manual Location ---

void Session::loadPoiList()
{
    const auto status = poi_.load(decoder_.fix().position, warner_.scale.MapRadius, deps_.settings,
                                  deps_.prompt, deps_.dataRoot);
    if (poi::PoiList::stopsGps(status))
        stopGps();
    if (status == poi::PoiList::Status::Loaded)
        warner_.store.CameraReloadCount = 0;
}

void Session::afterSelectPoiFiles()
{
    if (view_.current() == MapView::Poi)
        loadPoiList();
    else
        reloadCameras();
}

std::string Session::loadTrail(const std::string& path)
{
    return useTrail(views::loadTrail(path));
}

std::string Session::useTrail(views::TrailLoad load)
{
    const std::string message = load.message();
    // A file that could not be opened, or a load the user cancelled, leaves
    // the loaded trail as it was.
    if (!(load.error && (load.error->line == 0 || load.error->stopped)))
        gpxTrail_ = std::move(load.trail);
    return message;
}

void Session::beginManualLocation()
{
    manualWasMuted_ = warner_.voice.Muted;
    warner_.voice.Muted = true;
    unloadAgent();
    manualRouteSpeech_ = deps_.settings.read(keys::RouteUseMSAgent) == 1;
    if (manualRouteSpeech_)
        deps_.settings.write(keys::RouteUseMSAgent, false);
    decoder_.Course = 0.0;
}

void Session::moveFixTo(double latDeg, double lonDeg)
{
    decoder_.Latitude = latDeg;
    decoder_.Longitude = lonDeg;
    forceCameraReload();
    updateCameraWarnings();
}

void Session::endManualLocation()
{
    if (manualRouteSpeech_)
        deps_.settings.write(keys::RouteUseMSAgent, true);
    warner_.voice.Muted = manualWasMuted_;
    const MapView v = view_.current();
    if (v == MapView::Route || v == MapView::Pointer || v == MapView::Trail) {
        resetRouteGuidance();
        loadAgentIfRouteSpeech();
    }
}

// --- view switching ---

void Session::toggleView(MapView v)
{
    if (v == MapView::Camera)
        showCameraMap();
    else if (view_.isOn(v))
        switchView(MapView::Camera, views::ViewSwitch::ToggleBack);
    else
        switchView(v, views::ViewSwitch::Toggle);
}

void Session::showCameraMap()
{
    switchView(MapView::Camera, views::ViewSwitch::Always);
}

void Session::showPoiAlways()
{
    switchView(MapView::Poi, views::ViewSwitch::Always);
}

void Session::showRouteAlways()
{
    switchView(MapView::Route, views::ViewSwitch::Always);
}

void Session::nextView()
{
    switchView(ViewState::nextOf(view_.current()), views::ViewSwitch::Next);
}

// --- colours ---

bool Session::setLinkNotice(std::string words)
{
    if (words == linkNotice_)
        return false;
    linkNotice_ = std::move(words);
    return true;
}

void Session::loadDayColours()
{
    colours_.loadDay([this](const settings::ColourKey& key) { return deps_.settings.read(key); });
    view_.markBackgroundChanged();
}

void Session::loadNightColours()
{
    colours_.loadNight([this](const settings::ColourKey& key) { return deps_.settings.read(key); },
                       deps_.settings.read(keys::NightPalette) == 1);
    view_.markBackgroundChanged();
}

// --- GPS ---

void Session::startGps()
{
    // One source feeds the road at a time: a replay's positions and the
    // receiver's would take turns in the fix.
    if (road_.replaying()) {
        deps_.prompt.message(std::string(kStopReplayFirst));
        return;
    }
    gps_.StartGps();
}

bool Session::gpsRunning() const
{
    return gps_.portOpen() || gps_.opening();
}

void Session::stopGps()
{
    gps_.StopGps();
}

} // namespace varno::session
