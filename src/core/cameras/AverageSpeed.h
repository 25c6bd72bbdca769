// Average-speed ("specs") zones: the driver's own average speed between paired cameras.
#pragma once

#include <string>

#include "base/Prompt.h"
#include "geo/LatLon.h"
#include "gps/Fix.h"
#include "settings/Settings.h"

namespace varno::cameras {

class CameraStore;
class Voice;
struct CameraPoint;

// Within this distance [m] of a specs camera a measurement starts.
inline constexpr double kSpecsStartDistance = 300.0;
// Within this distance [m] of the next specs camera the measurement restarts there.
inline constexpr double kSpecsNextDistance = 200.0;
// Movements of at most this many metres count as standing still.
inline constexpr double kSpecsJitter = 2.0;
// The average-speed line holds at most this many characters.
inline constexpr std::size_t kAverageLineCapacity = 79;

inline constexpr const char* kSpecsStartLine = "Specs camera, calcs speed cam to cam";
inline constexpr const char* kSpecsNoPositionLine = "No position, can't set Specs start.";

class AverageSpeed {
public:
    AverageSpeed(settings::Settings& settings, Voice& voice);

    // Ends any measurement and reads AverageSpeed again (1 = on).
    void reset();
    // The space key: a running measurement is reset, otherwise one starts here by hand.
    void spaceKey(const gps::Fix& fix);
    void handStart(const gps::Fix& fix);
    // One fix of the per-fix processing; called only while enabled.
    void process(CameraStore& store, const gps::Fix& fix, int speedUnits);

    // "Specs options" dialog: whether the box opens checked, and OK's write.
    // False when the write failed (the message has been shown). The caller
    // then calls reset() and redraws, OK or Cancel.
    bool dialogChecked() const;

    // The running clock [s] at the last processed fix (what startTime counts on).
    double clock() const { return days_ * 24 * 3600.0 + lastTimeOfDay_; }
    bool storeDialogChoice(bool checked);

    bool enabled = false;
    bool manual = false;
    bool inZone = false;
    geo::LatLon zone;               // camera the measurement started at; none by hand
    double startTime = 0.0;         // [s] on the running clock (see clockAt)
    double totalDistance = 0.0;     // [m]
    geo::LatLon prev;               // where the distance was last advanced
    double prevSpecsDistance = 0.0; // [m]
    bool say = false;               // play "Specs.wav" with the next average shown
    std::string line;               // the average-speed line

    // The average on the line [m/s]; negative while the line shows none.
    double average = -1.0;
    // The speed limit of the camera the measurement started at (in the unit
    // speeds are shown in); 0 when it has none or was started by hand.
    int zoneLimit = 0;

    // The average-speed aid (off unless chosen; the caller sets them before
    // each fix). words: the line reads "Avg 50 mph over 690 m, 31 s".
    // stopAtEnd: a specs camera reached with no other specs camera ahead of
    // it ends the measurement there; the final average stays on the line
    // until that camera is kSpecsStartDistance behind, then the line empties.
    bool words = false;
    bool stopAtEnd = false;

private:
    double segment(const gps::Fix& fix) const;
    // The distance is measured on from this fix.
    void advanceTo(const gps::Fix& fix);
    // The measurement starts again at this fix: clock and distance from zero.
    void restartAt(double now, const gps::Fix& fix);
    // Sets the line to the average; false (and the start line) when no time
    // has passed or the fix time went back.
    bool showAverage(double now, int speedUnits, bool trip);
    void sayOnce();
    // stopAtEnd: whether the specs camera just reached ends the stretch.
    bool endsStretch(const CameraStore& store, const CameraPoint& reached, const gps::Fix& fix) const;
    // The words form of the average line.
    void wordsLine(double elapsed, double averageMs, int speedUnits, bool trip);
    // The fix's time on a clock that runs on across midnight UTC [s]: the
    // seconds of the day plus a day for each time the fix time of day fell by
    // more than half a day from the fix before (a day less for each rise by
    // as much: an earlier fix seen late). A smaller step back stays a step back.
    double clockAt(const gps::Fix& fix);

    settings::Settings& settings_;
    Voice& voice_;
    geo::LatLon endedAt_;         // the specs camera the last measurement ended at (stopAtEnd)
    double days_ = 0.0;           // whole days the running clock is ahead of the fix time
    double lastTimeOfDay_ = -1.0; // [s] of the fix before; negative before the first
};

// Seconds since midnight of the fix's UTC time.
double fixSeconds(const gps::Fix& fix);

} // namespace varno::cameras
