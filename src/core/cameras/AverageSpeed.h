// Average-speed ("specs") zones: the driver's own average speed between paired cameras.
#pragma once

#include <string>

#include "base/Prompt.h"
#include "settings/Settings.h"

namespace varno::gps {
class CNmeaDecoder;
}

namespace varno::cameras {

class CameraStore;
class Voice;

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
    void spaceKey(const gps::CNmeaDecoder& fix);
    void handStart(const gps::CNmeaDecoder& fix);
    // One fix of the per-fix processing; called only while enabled.
    void process(CameraStore& store, const gps::CNmeaDecoder& fix, int speedUnits);

    // "Specs options" dialog: whether the box opens checked, and OK's write.
    // False when the write failed (the message has been shown). The caller
    // then calls reset() and redraws, OK or Cancel.
    bool dialogChecked() const;
    bool storeDialogChoice(bool checked);

    bool enabled = false;
    bool manual = false;
    bool inZone = false;
    double zoneLat = 0.0, zoneLon = 0.0; // [deg] camera the measurement started at; 0 by hand
    double startTime = 0.0;              // [s] since midnight UTC
    double totalDistance = 0.0;          // [m]
    double prevLat = 0.0, prevLon = 0.0; // [deg] where the distance was last advanced
    double prevSpecsDistance = 0.0;      // [m]
    bool say = false;                    // play "Specs.wav" with the next average shown
    std::string line;                    // the average-speed line

private:
    double segment(const gps::CNmeaDecoder& fix) const;
    // The distance is measured on from this fix.
    void advanceTo(const gps::CNmeaDecoder& fix);
    // The measurement starts again at this fix: clock and distance from zero.
    void restartAt(double now, const gps::CNmeaDecoder& fix);
    // Sets the line to the average; false (and the start line) when no time
    // has passed or the clock went back over midnight.
    bool showAverage(double now, int speedUnits, bool trip);
    void sayOnce();

    settings::Settings& settings_;
    Voice& voice_;
};

// Seconds since midnight of the fix's UTC time.
double fixSeconds(const gps::CNmeaDecoder& fix);

} // namespace varno::cameras
